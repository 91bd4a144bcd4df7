#pragma once

#include <QApplication>

// The program's QApplication: a last safety net that turns an exception which
// escaped an event handler into the general error report instead of letting it
// cross Qt's event loop. Handlers guard themselves; this catches the rest.
class TGuardedApplication : public QApplication {
public:
    TGuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
