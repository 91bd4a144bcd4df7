// The program body: the application titled "Mavrolin", the login and the
// windows, the event loop, and the main window's destruction at the end.
#include "GuardedApplication.h"
#include "MainForm.h"
#include "ProgramStart.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
    TGuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mavrolin"));
    // The program speaks German whatever the locale, and so should Qt's own
    // dialogs (file dialog, overwrite question, context menus of text fields).
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    // The login library lies beside the program.
    std::unique_ptr<TMainForm> form = StartProgram(QApplication::applicationDirPath());
    if (!form)
        return 1;
    QApplication::setWindowIcon(form->windowIcon());
    form->show();
    const int result = QApplication::exec();
    form->FormDestroy();
    return result;
}
