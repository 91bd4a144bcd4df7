#include "gui/ToolTipTime.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

class ToolTipTime : public QObject {
public:
    ToolTipTime(int milliseconds, QObject* parent) : QObject(parent), time_(milliseconds) {
        setObjectName(QStringLiteral("ToolTipTime"));
    }
    void SetTime(int milliseconds) { time_ = milliseconds; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->toolTipDuration() != time_)
                widget->setToolTipDuration(time_);
        }
        return false;
    }

private:
    int time_;
};

} // namespace

void SetApplicationToolTipTime(int milliseconds) {
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    if (auto* filter = app->findChild<ToolTipTime*>(QStringLiteral("ToolTipTime"),
                                                    Qt::FindDirectChildrenOnly)) {
        filter->SetTime(milliseconds);
        return;
    }
    app->installEventFilter(new ToolTipTime(milliseconds, app));
}
