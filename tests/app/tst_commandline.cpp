// The program's command line: its own options, Qt's options left for Qt, the
// file name, and usage errors.

#include "app/CommandLine.h"

#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(Action)

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
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

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
