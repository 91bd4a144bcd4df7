#include "gui/PanelSplitter.h"

#include "gui/ErrorReport.h"

#include <QMouseEvent>
#include <QSplitterHandle>

TPanelSplitter::TPanelSplitter(QWidget* list, QWidget* detail, int handleWidth, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("Splitter"));
    setHandleWidth(handleWidth);
    setChildrenCollapsible(false);
    addWidget(list);
    addWidget(detail);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
    setOpaqueResize(true); // a release never moves the splitter on its own
    handle(1)->installEventFilter(this);
}

void TPanelSplitter::SetHooks(CanResize canResize, Resize resize) {
    canResize_ = std::move(canResize);
    resize_ = std::move(resize);
}

void TPanelSplitter::showEvent(QShowEvent* event) {
    if (resize_)
        resize_(planned_);
    QSplitter::showEvent(event);
}

void TPanelSplitter::hideEvent(QHideEvent* event) {
    planned_ = sizes().value(1);
    QSplitter::hideEvent(event);
}

bool TPanelSplitter::eventFilter(QObject* watched, QEvent* event) {
    auto* handle = qobject_cast<QSplitterHandle*>(watched);
    if (!handle || !canResize_)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // Measured from the visible bar: a thin handle's widget reaches
        // beyond it on both sides.
        if (mouse->button() == Qt::LeftButton)
            grabOffset_ = static_cast<int>(mouse->position().x()) - handle->contentsRect().left();
        return false; // the handle keeps its pressed look
    }
    if (event->type() != QEvent::MouseMove)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (!(mouse->buttons() & Qt::LeftButton))
        return false;
    const int handleLeft =
        static_cast<int>(mapFromGlobal(mouse->globalPosition()).x()) - grabOffset_;
    int detailWidth = width() - handleLeft - handleWidth();
    bool accept = true;
    ErrorReport::Guard(window(), [&] { canResize_(detailWidth, accept); });
    if (accept && resize_)
        resize_(detailWidth);
    return true;
}
