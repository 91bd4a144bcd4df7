// The program body: the command line, the application titled "Mavrolin", the
// login and the windows, the event loop, and the main window's destruction at
// the end.
#include "app/CommandLine.h"
#include "app/DisplayGuard.h"
#include "app/ProgramStart.h"
#include "gui/GuardedApplication.h"
#include "gui/MainForm.h"
#include "login/LoginStep.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <iostream>
#include <memory>

namespace {

// --help, --version and usage errors are answered before the application
// object exists, so they need no display. Returns the exit status, or -1 to
// start the program.
int AnswerCommandLine(const CommandLine& commandLine) {
    switch (commandLine.RequestedAction) {
    case CommandLine::Action::Run:
        return -1;
    case CommandLine::Action::Help:
        std::cout << HelpText() << std::flush;
        return std::cout ? 0 : 1;
    case CommandLine::Action::Version:
        std::cout << VersionText() << std::flush;
        return std::cout ? 0 : 1;
    case CommandLine::Action::UsageError:
        std::cerr << UsageErrorText(commandLine.Error) << std::flush;
        return 2;
    }
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine commandLine = ParseCommandLine(argc, argv);
    if (const int status = AnswerCommandLine(commandLine); status >= 0)
        return status;

    std::unique_ptr<TGuardedApplication> application;
    {
        const DisplayGuard noDisplayIsNoAbort;
        application = std::make_unique<TGuardedApplication>(argc, argv);
    }
    QApplication::setApplicationName(QStringLiteral("Mavrolin"));
    // Ties the windows to the installed desktop entry (Wayland app id, task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral(MAVROLIN_APP_ID));
    // The program speaks German whatever the locale, and so should Qt's own
    // dialogs (file dialog, overwrite question, context menus of text fields).
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    std::unique_ptr<TMainForm> form =
        StartProgram(LoginLibraryFolder(QApplication::applicationDirPath()), commandLine.FileName);
    if (!form)
        return 1;
    QApplication::setWindowIcon(form->windowIcon());
    form->show();
    const int result = QApplication::exec();
    form->FormDestroy();
    return result;
}
