// The program's command line: its own options, Qt's options left for Qt, the
// file name, and usage errors.

#include "app/CommandLine.h"

#include <QProcess>
#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(Action)

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void startWithoutDisplay_data();
    void startWithoutDisplay();
};

void CommandLineTest::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    // The file name for Action::Run, the message for Action::UsageError.
    QTest::addColumn<QString>("detail");

    QTest::newRow("nothing") << QStringList{} << Action::Run << QString();
    QTest::newRow("help beats version") << QStringList{"-h", "--version"} << Action::Help << "";
    QTest::newRow("version") << QStringList{"--version"} << Action::Version << "";
    QTest::newRow("Qt options with their values")
        << QStringList{"-style",        "Fusion",    "--platform",
                       "offscreen",     "-reverse",  "-stylesheet=a.qss",
                       "-qwindowtitle", "--version", "a.mvd"}
        << Action::Run << "a.mvd";
    QTest::newRow("file name after --") << QStringList{"--", "-x.mvd"} << Action::Run << "-x.mvd";
    QTest::newRow("unknown option wins over help")
        << QStringList{"--help", "-platform=xcb"} << Action::UsageError
        << QString::fromUtf8("Unbekannte Option „-platform=xcb“.");
    QTest::newRow("Qt option without value")
        << QStringList{"-style"} << Action::UsageError
        << QString::fromUtf8("Der Option „-style“ fehlt ihr Wert.");
    QTest::newRow("second file") << QStringList{"a.mvd", "b.mvd"} << Action::UsageError
                                 << QString::fromUtf8("Überzähliges Argument „b.mvd“.");
    QTest::newRow("empty file name")
        << QStringList{""} << Action::UsageError << QStringLiteral("Der Dateiname ist leer.");
}

void CommandLineTest::parse() {
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, detail);

    std::vector<std::string> storage{"mavrolin"};
    for (const QString& argument : arguments)
        storage.push_back(argument.toStdString());
    std::vector<const char*> argv;
    for (const std::string& argument : storage)
        argv.push_back(argument.c_str());

    const CommandLine parsed = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(parsed.RequestedAction, action);
    const std::string& actual = action == Action::UsageError ? parsed.Error : parsed.FileName;
    QCOMPARE(QString::fromStdString(actual), detail);
    if (action == Action::Version)
        QCOMPARE(QString::fromStdString(VersionText()), QStringLiteral("Mavrolin 1.5\n"));
}

void CommandLineTest::startWithoutDisplay_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display"); // empty: unset
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error"); // how standard error begins
    QTest::newRow("no display at all")
        << QStringList{} << "" << 1
        << QString::fromUtf8("mavrolin: Mavrolin braucht eine grafische Anzeige, aber es wurde "
                             "keine gefunden (DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt).\n");
    QTest::newRow("a display that no server serves")
        << QStringList{"a.mvd"} << ":4711" << 1
        << QString::fromUtf8("mavrolin: Die grafische Anzeige ließ sich nicht öffnen "
                             "(DISPLAY „:4711“, WAYLAND_DISPLAY nicht gesetzt).\n"
                             "Qt meldet: ");
    QTest::newRow("--version needs none") << QStringList{"--version"} << "" << 0 << "";
}

// The real program, started without a usable display: a German explanation and
// status 1, not Qt's abort.
void CommandLineTest::startWithoutDisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, status);
    QFETCH(QString, error);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MAVROLIN_PATH), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(error.isEmpty() ? err.isEmpty() : err.startsWith(error), qPrintable(err));
    if (status != 0)
        QVERIFY2(err.endsWith(QStringLiteral("xvfb-run -a mavrolin\n")), qPrintable(err));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
