#include "cli/Arguments.h"
#include "core/DateUtil.h"

#include <QtTest>

namespace {
std::vector<std::string> Split(const QStringList& list) {
    std::vector<std::string> args;
    for (const QString& arg : list)
        args.push_back(arg.toStdString());
    return args;
}
const QStringList AddBase = {"add",        "f.mvd",      "--language", "C++",
                             "--category", "Zeiger",     "--project",  "P",
                             "--date",     "05.03.2001", "--minutes",  "15"};
// The verb of a parse that should work; otherwise `why` gets the usage error.
std::optional<Verb> ParseOk(const QStringList& args, QByteArray& why) {
    auto parsed = ParseArguments(Split(args));
    if (auto* error = std::get_if<UsageError>(&parsed)) {
        why = QByteArray::fromStdString(error->message);
        return std::nullopt;
    }
    return std::get<Verb>(std::move(parsed));
}
} // namespace

class TestArguments : public QObject {
    Q_OBJECT
private slots:
    void verbs_data();
    void verbs();
    void addEntry_data();
    void addEntry();
    void exportSettings_data();
    void exportSettings();
    void usageErrors_data();
    void usageErrors();
};

void TestArguments::verbs_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("sources");
    QTest::newRow("help") << QStringList{"--help"} << int(VerbKind::Help) << "" << QStringList{};
    QTest::newRow("-h") << QStringList{"-h"} << int(VerbKind::Help) << "" << QStringList{};
    QTest::newRow("version") << QStringList{"--version"} << int(VerbKind::Version) << ""
                             << QStringList{};
    QTest::newRow("help of a command")
        << QStringList{"help", "stats"} << int(VerbKind::Help) << "" << QStringList{};
    QTest::newRow("--help after a verb, before its options")
        << QStringList{"add", "f.mvd", "--help", "--minutes"} << int(VerbKind::Help) << ""
        << QStringList{};
    QTest::newRow("list") << QStringList{"list", "a.mvd"} << int(VerbKind::List) << "a.mvd"
                          << QStringList{};
    QTest::newRow("check") << QStringList{"check", "b"} << int(VerbKind::Check) << "b"
                           << QStringList{};
    QTest::newRow("merge") << QStringList{"merge", "a", "b", "c"} << int(VerbKind::Merge) << "a"
                           << QStringList{"b", "c"};
    QTest::newRow("dash file after --")
        << QStringList{"list", "--", "-x.mvd"} << int(VerbKind::List) << "-x.mvd" << QStringList{};
    QTest::newRow("merge with dash source") << QStringList{"merge", "a", "--", "--b"}
                                            << int(VerbKind::Merge) << "a" << QStringList{"--b"};
    QTest::newRow("import") << QStringList{"import", "a", "b.csv", "c.csv"} << int(VerbKind::Import)
                            << "a" << QStringList{"b.csv", "c.csv"};
    QTest::newRow("export") << QStringList{"export", "a"} << int(VerbKind::Export) << "a"
                            << QStringList{};
}

void TestArguments::verbs() {
    QFETCH(QStringList, args);
    QFETCH(int, kind);
    QFETCH(QString, file);
    QFETCH(QStringList, sources);
    QByteArray why;
    const std::optional<Verb> verb = ParseOk(args, why);
    QVERIFY2(verb, why.constData());
    QCOMPARE(int(verb->kind), kind);
    QCOMPARE(QString::fromStdString(verb->file), file);
    QCOMPARE(verb->sources, Split(sources));
}

void TestArguments::addEntry_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<uint>("minutes");
    QTest::addColumn<QString>("date");
    QTest::newRow("base") << AddBase << QByteArray("C++") << QByteArray() << 15u << "05.03.2001";
    QTest::newRow("equals form and umlaut to cp1252")
        << AddBase + QStringList{"--description=Gr\u00F6\u00DFe \u20AC"} << QByteArray("C++")
        << QByteArray("Gr\xF6\xDF"
                      "e \x80")
        << 15u << "05.03.2001";
    QTest::newRow("value that starts with a dash")
        << AddBase + QStringList{"--description", "-x"} << QByteArray("C++") << QByteArray("-x")
        << 15u << "05.03.2001";
    QTest::newRow("options before the file")
        << QStringList{"add", "--minutes",  "15",     "--date",     "5.3.2001", "--project",
                       "P",   "--category", "Zeiger", "--language", "C++",      "f.mvd"}
        << QByteArray("C++") << QByteArray() << 15u << "05.03.2001";
}

void TestArguments::addEntry() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, language);
    QFETCH(QByteArray, description);
    QFETCH(uint, minutes);
    QFETCH(QString, date);
    QByteArray why;
    const std::optional<Verb> verb = ParseOk(args, why);
    QVERIFY2(verb, why.constData());
    QCOMPARE(verb->file, std::string("f.mvd"));
    QCOMPARE(QByteArray::fromStdString(verb->entry.Language), language);
    QCOMPARE(QByteArray::fromStdString(verb->entry.Project), QByteArray("P"));
    QCOMPARE(QByteArray::fromStdString(verb->entry.Description), description);
    QCOMPARE(verb->entry.TimeNeeded, minutes);
    QCOMPARE(QString::fromStdString(FormatDate(verb->entry.Date)), date);
}

void TestArguments::exportSettings_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("format");
    QTest::addColumn<char>("delimiter");
    QTest::addColumn<QString>("output");
    const int csv = int(ExportFormat::Csv), xlsx = int(ExportFormat::Xlsx);
    QTest::newRow("defaults") << QStringList{} << csv << ';' << "";
    QTest::newRow("comma to a file")
        << QStringList{"--delimiter", ",", "--output=o.csv"} << csv << ',' << "o.csv";
    QTest::newRow("tab") << QStringList{"--delimiter=tab", "--format", "csv"} << csv << '\t' << "";
    QTest::newRow("xlsx") << QStringList{"--format", "xlsx", "--output", "o"} << xlsx << ';' << "o";
    QTest::newRow("suffix .XLSX") << QStringList{"--output", "o.XLSX"} << xlsx << ';' << "o.XLSX";
    QTest::newRow("format beats suffix")
        << QStringList{"--output", "o.xlsx", "--format", "csv"} << csv << ';' << "o.xlsx";
}

void TestArguments::exportSettings() {
    QFETCH(QStringList, options);
    QFETCH(int, format);
    QFETCH(char, delimiter);
    QFETCH(QString, output);
    QByteArray why;
    const std::optional<Verb> verb = ParseOk(QStringList{"export", "f.mvd"} + options, why);
    QVERIFY2(verb, why.constData());
    QCOMPARE(int(verb->exported.format), format);
    QCOMPARE(verb->exported.delimiter, delimiter);
    QCOMPARE(QString::fromStdString(verb->exported.output), output);
}

void TestArguments::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("nothing") << QStringList{} << "kein Befehl";
    QTest::newRow("unknown verb") << QStringList{"lsit", "a"} << "Unbekannter Befehl";
    QTest::newRow("help with extra") << QStringList{"--help", "x"} << "keine weiteren";
    QTest::newRow("version with extra") << QStringList{"--version", "x"} << "keine weiteren";
    QTest::newRow("help of an unknown command")
        << QStringList{"help", "lsit"} << "Unbekannter Befehl";
    QTest::newRow("help of two commands")
        << QStringList{"help", "list", "add"} << "h\u00F6chstens einen";
    QTest::newRow("--help as a file name after --")
        << QStringList{"list", "a", "--", "--help"} << "\u00DCberz\u00E4hlig";
    QTest::newRow("list without file") << QStringList{"list"} << "braucht eine Datenbankdatei";
    QTest::newRow("list with two files") << QStringList{"list", "a", "b"} << "\u00DCberz\u00E4hlig";
    QTest::newRow("empty file name") << QStringList{"check", ""} << "leer";
    QTest::newRow("merge without source") << QStringList{"merge", "a"} << "Quelldatei";
    QTest::newRow("import without CSV") << QStringList{"import", "a"} << "CSV-Datei";
    QTest::newRow("export option for import")
        << QStringList{"import", "a", "b", "--format", "csv"} << "Unbekannte Option";
    QTest::newRow("unknown format") << QStringList{"export", "a", "--format", "ods"} << "Format";
    QTest::newRow("unknown delimiter")
        << QStringList{"export", "a", "--delimiter", "|"} << "Trennzeichen";
    QTest::newRow("delimiter for a workbook")
        << QStringList{"export", "a", "--delimiter", ",", "--output", "o.xlsx"}
        << "nur f\u00FCr CSV";
    QTest::newRow("workbook to standard output")
        << QStringList{"export", "a", "--format", "xlsx"} << "Ausgabedatei";
    QTest::newRow("option for list")
        << QStringList{"list", "--language", "C", "a"} << "Unbekannte Option";
    QTest::newRow("unknown add option")
        << AddBase + QStringList{"--colour", "x"} << "Unbekannte Option";
    QTest::newRow("missing language")
        << QStringList{"add", "f",      "--category", "c",         "--project",
                       "p",   "--date", "01.01.2000", "--minutes", "1"}
        << "--language";
    QTest::newRow("value missing at the end")
        << AddBase + QStringList{"--description"} << "fehlt ihr Wert";
    QTest::newRow("option twice") << AddBase + QStringList{"--minutes", "3"} << "mehrfach";
    QTest::newRow("31 February") << QStringList{"add",        "f",          "--language", "C",
                                                "--category", "c",          "--project",  "p",
                                                "--date",     "31.02.2020", "--minutes",  "1"}
                                 << "Datum";
    QTest::newRow("date with words")
        << QStringList{"add",       "f", "--language", "C",     "--category", "c",
                       "--project", "p", "--date",     "heute", "--minutes",  "1"}
        << "Datum";
    const QStringList noMinutes = {"add",       "f", "--language", "C",          "--category", "c",
                                   "--project", "p", "--date",     "01.01.2000", "--minutes"};
    QTest::newRow("negative minutes") << noMinutes + QStringList{"-1"} << "Minutenzahl";
    QTest::newRow("minutes beyond 32 bit")
        << noMinutes + QStringList{"4294967296"} << "Minutenzahl";
    QTest::newRow("minutes with letters") << noMinutes + QStringList{"12a"} << "Minutenzahl";
    QTest::newRow("minutes with plus") << noMinutes + QStringList{"+5"} << "Minutenzahl";
    QTest::newRow("minutes empty") << noMinutes + QStringList{""} << "Minutenzahl";
    QTest::newRow("text beyond Windows-1252")
        << AddBase + QStringList{"--description", "\u65E5\u672C"} << "Windows-1252";
    // "\uFFFF" stands for bytes that are no UTF-8 at all (a QString cannot hold them).
    QTest::newRow("invalid UTF-8")
        << AddBase + QStringList{"--description", "\uFFFF"} << "Windows-1252";
}

void TestArguments::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, fragment);
    std::vector<std::string> raw = Split(args);
    for (std::string& arg : raw)
        if (arg == QString("\uFFFF").toStdString())
            arg = "\xC3\x28";
    auto parsed = ParseArguments(raw);
    const auto* error = std::get_if<UsageError>(&parsed);
    QVERIFY(error);
    QVERIFY2(QString::fromStdString(error->message).contains(fragment), error->message.c_str());
}

QTEST_APPLESS_MAIN(TestArguments)
#include "tst_arguments.moc"
