#include "gui/GuardedApplication.h"

#include "gui/ErrorReport.h"

TGuardedApplication::TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    ErrorReport::Guard(activeWindow(), [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
