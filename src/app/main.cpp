// The program body: the application with its title, and the main window on a
// new, empty database with the designed columns ("Sprache", "Kategorie",
// "Datum"), sorted by entry ID with the entry added last at the top.
#include "GuardedApplication.h"
#include "MainForm.h"

int main(int argc, char** argv) {
    TGuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mavrolin"));
    TMainForm form;
    QApplication::setWindowIcon(form.windowIcon());
    form.RebuildList();
    form.show();
    return QApplication::exec();
}
