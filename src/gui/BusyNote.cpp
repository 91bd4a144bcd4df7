#include "gui/BusyNote.h"

#include <QCoreApplication>

TBusyNote::TBusyNote(QWidget* parent, const QString& title, const QString& text)
    : dialog_(text, QString(), 0, 0, parent) {
    dialog_.setObjectName(QStringLiteral("BusyNote"));
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setCancelButton(nullptr);
    dialog_.setMinimumDuration(0);
    dialog_.show();
    for (int i = 0; i < 3; ++i) // shown, laid out and painted
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
