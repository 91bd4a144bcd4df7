#include "gui/ErrorReport.h"

#include "core/Errors.h"
#include "gui/Prompt.h"

#include <QCoreApplication>

namespace ErrorReport {

QString ReportText(const QString& message) {
    return QString::fromStdString(GeneralReportText(message.toStdString()));
}

void Show(QWidget* parent, const QString& message) {
    try {
        Prompt::Message(parent, Prompt::Kind::General, ReportText(message), Prompt::Ok,
                        QCoreApplication::applicationName());
    } catch (...) {
        // A report that cannot be shown must not throw into the event loop.
    }
}

void Show(QWidget* parent, const std::exception& error) {
    Show(parent, QString::fromUtf8(error.what()));
}

} // namespace ErrorReport
