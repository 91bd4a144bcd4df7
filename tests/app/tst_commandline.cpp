// The program's command line: its own options, Qt's options left for Qt, the
// file name, and usage errors.

#include "CommandLine.h"

#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(Action)

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void texts();
};

void CommandLineTest::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("error");

    const QString none;
    QTest::newRow("nothing") << QStringList{} << Action::Run << none << none;
    QTest::newRow("help") << QStringList{"--help"} << Action::Help << none << none;
    QTest::newRow("short help") << QStringList{"-h"} << Action::Help << none << none;
    QTest::newRow("version") << QStringList{"--version"} << Action::Version << none << none;
    QTest::newRow("help beats version")
        << QStringList{"--version", "--help"} << Action::Help << none << none;
    QTest::newRow("Qt options with their values")
        << QStringList{"-style",        "Fusion",   "--platform",
                       "offscreen",     "-reverse", "-stylesheet=a.qss",
                       "-qwindowtitle", "--version"}
        << Action::Run << none << none;
    QTest::newRow("file name") << QStringList{"a.mvd"} << Action::Run << "a.mvd" << none;
    QTest::newRow("file name after --")
        << QStringList{"--", "-x.mvd"} << Action::Run << "-x.mvd" << none;
    QTest::newRow("lone dash is a file") << QStringList{"-"} << Action::Run << "-" << none;
    QTest::newRow("unknown option wins over help")
        << QStringList{"--help", "--hilfe"} << Action::UsageError << none
        << QString::fromUtf8("Unbekannte Option „--hilfe“.");
    QTest::newRow("joined value on a plain Qt option")
        << QStringList{"-platform=xcb"} << Action::UsageError << none
        << QString::fromUtf8("Unbekannte Option „-platform=xcb“.");
    QTest::newRow("Qt option without value")
        << QStringList{"-style"} << Action::UsageError << none
        << QString::fromUtf8("Der Option „-style“ fehlt ihr Wert.");
    QTest::newRow("second file") << QStringList{"a.mvd", "b.mvd"} << Action::UsageError << none
                                 << QString::fromUtf8("Überzähliges Argument „b.mvd“.");
    QTest::newRow("empty file name") << QStringList{""} << Action::UsageError << none
                                     << QString::fromUtf8("Der Dateiname ist leer.");
}

void CommandLineTest::parse() {
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, fileName);
    QFETCH(QString, error);

    std::vector<std::string> storage{"mavrolin"};
    for (const QString& argument : arguments)
        storage.push_back(argument.toStdString());
    std::vector<const char*> argv;
    for (const std::string& argument : storage)
        argv.push_back(argument.c_str());

    const CommandLine parsed = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(parsed.RequestedAction, action);
    QCOMPARE(QString::fromStdString(parsed.Error), error);
    if (action == Action::Run)
        QCOMPARE(QString::fromStdString(parsed.FileName), fileName);
}

void CommandLineTest::texts() {
    QCOMPARE(QString::fromStdString(VersionText()), QStringLiteral("Mavrolin 1.5\n"));
    QCOMPARE(QString::fromStdString(UsageErrorText("Kaputt.")),
             QStringLiteral("mavrolin: Kaputt.\nHilfe: mavrolin --help\n"));
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
