#include "core/Cp1252.h"
#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "exchange/RefusedRows.h"

#include <QtTest>
#include <sys/stat.h>
#include <thread>

namespace {

const QByteArray Header = "Sprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung\r\n";
const QByteArray Good = "C++;Zeigerfehler;Web;05.03.2001;15;gut\r\n";

// An entry as "language|category|project|date|minutes|description" in UTF-8.
QString Texts(const TDataRecord& entry) {
    QStringList texts;
    for (std::uint8_t field = 1; field <= 5; ++field)
        texts << QString::fromStdString(cp1252::ToUtf8(entry.FieldText(field)));
    texts << QString::fromStdString(cp1252::ToUtf8(entry.View().Description));
    return texts.join('|');
}

// The same texts of an entry not yet adopted.
QString Texts(const TRecordView& entry) {
    const std::string fields[] = {std::string(entry.Language),      std::string(entry.ErrorType),
                                  std::string(entry.Project),       FormatDate(entry.Date),
                                  std::to_string(entry.TimeNeeded), std::string(entry.Description)};
    QStringList texts;
    for (const std::string& field : fields)
        texts << QString::fromStdString(cp1252::ToUtf8(field));
    return texts.join('|');
}

// The rows read as entries, each as "line:" and its texts.
QStringList Texts(const exchange::CsvReadResult& result) {
    QStringList list;
    for (std::size_t k = 0; k < result.entries.size(); ++k)
        list << QString("%1:").arg(result.lines.at(k)) + Texts(result.entries[k]);
    return list;
}

// Everything a read gives, for comparing two reads.
QStringList Outcome(const exchange::CsvReadResult& result) {
    QStringList outcome = Texts(result) << QString::fromStdString(result.failure);
    for (const exchange::RefusedRow& row : result.refused)
        outcome << QString::fromStdString(
            exchange::RefusedRowReport(result.layout, row, result.RecordOf(row)));
    return outcome;
}

// Read in one piece and, which must give the same, in two halves at once.
exchange::CsvReadResult Read(const QByteArray& bytes) {
    const std::string_view text(bytes.constData(), std::size_t(bytes.size()));
    exchange::CsvReadResult whole = exchange::ReadCsv(text, SIZE_MAX);
    QTest::qCompare(Outcome(exchange::ReadCsv(text, 0)), Outcome(whole), "halves", "whole",
                    __FILE__, __LINE__);
    return whole;
}

} // namespace

class TestCsvRead : public QObject {
    Q_OBJECT
private slots:
    void accepted_data();
    void accepted();
    void refusedRows_data();
    void refusedRows();
    void refusedRowsReadAgain_data();
    void refusedRowsReadAgain();
    void refusedFiles_data();
    void refusedFiles();
    void roundTrip_data();
    void roundTrip();
    void pipe();
};

void TestCsvRead::accepted_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows"); // "line:" and the entry's texts
    const QString good = "2:C++|Zeigerfehler|Web|05.03.2001|15|gut";
    QTest::newRow("German header, BOM") << "\xEF\xBB\xBF" + Header + Good << QStringList{good};
    QTest::newRow("English, any order and case, unknown column, comma")
        << QByteArray("minutes,Notiz,PROJECT, category ,language,DATE,Description\n"
                      "15,egal,Web,Zeigerfehler,C++,2001-03-05,gut\n")
        << QStringList{good};
    QTest::newRow("tab, CR line ends, no final break")
        << QByteArray("Sprache\tKategorie\tProjekt\tDatum\tAufwand\tBeschreibung\r"
                      "C++\tZeigerfehler\tWeb\t5.3.2001\t 15,0 \tgut")
        << QStringList{good};
    QTest::newRow("Windows-1252") << Header +
                                         "C++;Zeigerfehler;B\xFCro \x80;1.2.2003;0;\x84x\x93\r\n"
                                  << QStringList{QString("2:C++|Zeigerfehler|B\u00FCro "
                                                         "\u20AC|01.02.2003|0|\u201Ex\u201C")};
    QTest::newRow("UTF-8 without BOM, quoted line breaks count as lines")
        << Header + QString("\"a\";b;c;;;\"1\r\n2\n3\"\r\n\r\n;;;;;\r\n \t;;; ;;\r\n"
                            "\u00C4;\u00DF;\u20AC;29.02.2024;4294967295;\"\"\"\"\r\n")
                        .toUtf8()
        << QStringList{"2:a|b|c||0|1\r\n2\r\n3",
                       QString("8:\u00C4|\u00DF|\u20AC|29.02.2024|4294967295|\"")};
    QByteArray lines; // a quoted field across the middle of the file
    for (int i = 0; i < 40; ++i)
        lines += "x\n";
    QTest::newRow("quoted line breaks across the middle")
        << Header + "C;c;p;;;\"" + lines + "\"\r\n" + Good
        << QStringList{"2:C|c|p||0|" + QString(lines).replace("\n", "\r\n"), "43:" + good.mid(2)};
    QTest::newRow("two-digit years: 00-29 in this century, 30-99 in the last")
        << Header + "C;c;p;15.03.23;1;\r\nC;c;p;1.1.30;2;\r\nC;c;p;31.12.29;3;\r\n"
                    "C;c;p;29.2.00;4;\r\nC;c;p;2024-2-9;5;\r\n"
        << QStringList{"2:C|c|p|15.03.2023|1|", "3:C|c|p|01.01.1930|2|", "4:C|c|p|31.12.2029|3|",
                       "5:C|c|p|29.02.2000|4|", "6:C|c|p|09.02.2024|5|"};
    QTest::newRow("minutes with dots between thousands")
        << Header + "C;c;p;;1.000;\r\nC;c;p;;12.345;\r\nC;c;p;;1.000,00;\r\nC;c;p;;\" 1,0\";\r\n"
                    "C;c;p;;4.294.967.295;\r\nC;c;p;;15.00;\r\n"
        << QStringList{"2:C|c|p||1000|", "3:C|c|p||12345|",      "4:C|c|p||1000|",
                       "5:C|c|p||1|",    "6:C|c|p||4294967295|", "7:C|c|p||15|"};
    QTest::newRow("one apostrophe of a text mark taken off")
        << Header + "'=1+1;'+49;'-x;;;\"''\tb\"\r\n'x;'';''@;;;\"'\r\nz\"\r\n"
        << QStringList{"2:=1+1|+49|-x||0|'\tb", "3:'x|''|'@||0|\r\nz"};
    QTest::newRow("line breaks of a description as CR LF")
        << Header + "\"C\nx\";c;p;;;\"a\nb\r\nc\rd\n\"\r\n"
        << QStringList{"2:C\nx|c|p||0|a\r\nb\r\nc\r\nd\r\n"};
    QTest::newRow("only the required columns")
        << QByteArray("Kategorie;Sprache;Projekt\nx;y;z\n") << QStringList{"2:y|x|z||0|"};
}

void TestCsvRead::accepted() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    const exchange::CsvReadResult result = Read(file);
    QCOMPARE(QString::fromStdString(result.failure), QString());
    QCOMPARE(result.refused.size(), std::size_t(0));
    QCOMPARE(Texts(result), rows);
}

void TestCsvRead::refusedRows_data() {
    QTest::addColumn<QByteArray>("row"); // line 4, after the header and a two-line row
    QTest::addColumn<QString>("reason");
    const auto withDate = [](const char* date) { return QByteArray("C;c;p;") + date + ";5;d\r\n"; };
    const auto badDate = [](const char* date) {
        return QString("ung\u00FCltiges Datum \u201E%1\u201C (erwartet TT.MM.JJJJ oder "
                       "JJJJ-MM-TT)")
            .arg(date);
    };
    QTest::newRow("31 February") << withDate("31.02.2001") << badDate("31.02.2001");
    QTest::newRow("ISO 30 February") << withDate("2001-02-30") << badDate("2001-02-30");
    QTest::newRow("one-digit year") << withDate("5.3.1") << badDate("5.3.1");
    QTest::newRow("three-digit year") << withDate("5.3.201") << badDate("5.3.201");
    QTest::newRow("ISO with two-digit year") << withDate("23-03-15") << badDate("23-03-15");
    QTest::newRow("words") << withDate("heute") << badDate("heute");
    const auto withMinutes = [](const char* minutes) {
        return QByteArray("C;c;p;05.03.2001;") + minutes + ";d\r\n";
    };
    QTest::newRow("negative") << withMinutes("-5") << "negativer Aufwand \u201E-5\u201C";
    QTest::newRow("letters") << withMinutes("12a") << "Aufwand \u201E12a\u201C ist keine Zahl";
    QTest::newRow("fraction") << withMinutes("1,5")
                              << "Aufwand \u201E1,5\u201C ist keine ganze Zahl von Minuten";
    QTest::newRow("comma before three digits")
        << withMinutes("1,000")
        << "Aufwand \u201E1,000\u201C ist mehrdeutig: Tausender werden mit Punkt getrennt "
           "(1.000), Nachkommastellen mit Komma";
    QTest::newRow("fraction after a dot")
        << withMinutes("1.5") << "Aufwand \u201E1.5\u201C ist keine ganze Zahl von Minuten";
    QTest::newRow("groups not of three")
        << withMinutes("1.00.000") << "Aufwand \u201E1.00.000\u201C ist keine Zahl";
    QTest::newRow("exponent") << withMinutes("1e3") << "Aufwand \u201E1e3\u201C ist keine Zahl";
    QTest::newRow("beyond 32 bit") << withMinutes("4294967296")
                                   << "Aufwand \u201E4294967296\u201C ist zu gro\u00DF "
                                      "(h\u00F6chstens 4294967295 Minuten)";
    QTest::newRow("beyond Windows-1252")
        << QString("C;c;\u0141\u00F3d\u017A;05.03.2001;5;d\r\n").toUtf8()
        << "\u201EProjekt\u201C enth\u00E4lt das Zeichen \u201E\u0141\u201C (U+0141), das eine "
           "Mavrolin-Datenbank nicht speichern kann";
    QTest::newRow("too few fields")
        << QByteArray("C;c;p;05.03.2001;5\r\n") << "falsche Anzahl Felder: 5 statt 6";
    QTest::newRow("too many fields")
        << QByteArray("C;c;p;05.03.2001;5;d;x\r\n") << "falsche Anzahl Felder: 7 statt 6";
    QTest::newRow("quote inside a field")
        << QByteArray("C;c\"x;p;05.03.2001;5;d\r\n") << "Anf\u00FChrungszeichen an falscher Stelle";
    QTest::newRow("text after a closing quote") << QByteArray("C;\"c\"x;p;05.03.2001;5;d\r\n")
                                                << "Anf\u00FChrungszeichen an falscher Stelle";
}

void TestCsvRead::refusedRows() {
    QFETCH(QByteArray, row);
    QFETCH(QString, reason);
    // A multi-line row before, and a good row after the refused one.
    const QByteArray multiLine = "C;c;p;1.1.2000;1;\"a\r\nb\"\r\n";
    const QByteArray file = Header + multiLine + row + Good; // the rows' bytes stay
    const exchange::CsvReadResult result = Read(file);
    QVERIFY2(result.failure.empty(), result.failure.c_str());
    QCOMPARE(Texts(result), (QStringList{"2:C|c|p|01.01.2000|1|a\r\nb",
                                         "5:C++|Zeigerfehler|Web|05.03.2001|15|gut"}));
    QCOMPARE(result.refused.size(), std::size_t(1));
    const exchange::RefusedRow& refused = result.refused[0];
    QCOMPARE(refused.line, std::uint64_t(4));
    const std::string_view record = result.RecordOf(refused);
    QCOMPARE(QString::fromStdString(exchange::RefusalReason(result.layout, refused, record)),
             reason);
    QCOMPARE(QString::fromStdString(exchange::RefusedRowText(result.layout, record)),
             QString::fromUtf8(row).trimmed());
}

// A refused row told again later: from the bytes kept, or from the file as
// long as it is the one read.
void TestCsvRead::refusedRowsReadAgain_data() {
    QTest::addColumn<QString>("afterwards"); // what became of the file after the read
    QTest::addColumn<QString>("reason");     // of its refused row, read again from the file
    QTest::newRow("unchanged") << ""
                               << "negativer Aufwand \u201E-5\u201C";
    QTest::newRow("rewritten") << "rewritten"
                               << "ung\u00FCltiger Aufwand";
    QTest::newRow("removed") << "removed"
                             << "ung\u00FCltiger Aufwand";
}

void TestCsvRead::refusedRowsReadAgain() {
    QFETCH(QString, afterwards);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("zeilen.csv");
    const QByteArray row = "C;c;p;05.03.2001;-5;d";
    const auto write = [&path](const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(Header + Good + row + "\r\n" + Good);
    const exchange::CsvReadResult result = exchange::ReadCsvFile(path.toStdString());
    QCOMPARE(result.refused.size(), std::size_t(1));
    const exchange::RefusedRow& refused = result.refused[0];
    QCOMPARE(QByteArray::fromStdString(std::string(result.RecordOf(refused))), row);
    if (afterwards == "rewritten")
        write(Header + "C;c;p;05.03.2001;-66;d\r\n");
    else if (afterwards == "removed")
        QVERIFY(QFile::remove(path));
    exchange::RefusedRecords records(path.toStdString(), result.sourceStamp);
    QCOMPARE(records.Readable(), afterwards.isEmpty());
    QCOMPARE(QString::fromStdString(
                 exchange::RefusalReason(result.layout, refused, records.Record(refused))),
             reason);
}

void TestCsvRead::refusedFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("no Projekt column") << QByteArray("Sprache;Kategorie;Datum\nC;c;1.1.2000\n")
                                       << "In der Kopfzeile fehlt die Spalte \u201EProjekt\u201C.";
    QTest::newRow("no columns known") << QByteArray("a,b\n1,2\n")
                                      << "In der Kopfzeile fehlen die Spalten \u201ESprache\u201C, "
                                         "\u201EKategorie\u201C und \u201EProjekt\u201C.";
    QTest::newRow("column twice") << QByteArray("Sprache;Kategorie;Projekt;language\n")
                                  << "Die Spalte \u201ESprache\u201C steht mehrfach";
    QTest::newRow("NUL byte") << Header + Good + QByteArray("C;c;p;;;a\0b\r\n", 13)
                              << "Die Datei enth\u00E4lt in Zeile 3 Bin\u00E4rdaten";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                            << "Die Datei enth\u00E4lt in Zeile 3 Bin\u00E4rdaten";
    QTest::newRow("quote open at the end")
        << Header + Good + "C;c;p;;;\"offen\r\n" + Good
        << "Das Feld in Anf\u00FChrungszeichen, das in Zeile 3 beginnt";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFES\0p\0", 6) << "in UTF-16 gespeichert";
    QTest::newRow("empty") << QByteArray("\xEF\xBB\xBF\r\n") << "Die Datei ist leer";
    QTest::newRow("quote in the header")
        << QByteArray("Sprache;Kate\"gorie;Projekt\n") << "Die Kopfzeile (Zeile 1)";
}

void TestCsvRead::refusedFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    const exchange::CsvReadResult result = Read(file);
    QVERIFY2(QString::fromStdString(result.failure).contains(message), result.failure.c_str());
    QVERIFY(result.entries.empty());
    QVERIFY(result.refused.empty());
}

// Database -> CSV -> database keeps every field shape; a repeated entry and
// a second import count as duplicates.
void TestCsvRead::roundTrip_data() {
    QTest::addColumn<char>("separator");
    QTest::newRow("semicolon") << ';';
    QTest::newRow("comma") << ',';
    QTest::newRow("tab") << '\t';
}

void TestCsvRead::roundTrip() {
    QFETCH(char, separator);
    const double day = EncodeDate({2001, 3, 5});
    std::string everyHighByte;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        everyHighByte += char(byte);
    const TRecordData shapes[] = {
        {"C++", "Zeigerfehler", "", "", day + 0.5, 0, 15},
        {"Object Pascal",
         "unber\xFC"
         "cksichtigter Spezialfall",
         "B\xFCro \x80",
         "Gr\xF6\xDF"
         "e, \"falsch\";\r\nzweite\tZeile",
         day, 0, 90},
        {" a;b ", "c,d", "\"e\"", "\r\n", std::numeric_limits<double>::quiet_NaN(), 0, 0},
        {"x", "y", "z", "lone\rCR and lone\nLF", EncodeDate({1850, 1, 1}), 0, 4294967295u},
        {"=1+1", "+49", "-x", "@A1\r\n=B2", day, 0, 2},
        {"'=a", "''+b", "'c", "\r\nzweite\t'", day, 0, 3},
        {"\t-", "'", "'@", "\t\"Tab\"", day, 0, 4},
        {"", "", "", everyHighByte, 1e300, 0, 1},
    };
    TDataBase source;
    std::vector<const TDataRecord*> entries;
    for (const auto& shape : shapes)
        entries.push_back(source.AddRecord(shape));
    entries.push_back(entries[1]);

    std::string csv;
    exchange::WriteCsv([&csv](std::string_view block) { csv += block; }, entries,
                       {separator, true, false});
    TDataBase target;
    for (int pass = 0; pass < 2; ++pass) {
        exchange::CsvReadResult read = exchange::ReadCsv(csv);
        QVERIFY2(read.failure.empty(), read.failure.c_str());
        QCOMPARE(read.refused.size(), std::size_t(0));
        std::vector<std::uint32_t> ids;
        const std::size_t imported = target.AddRecords(read.entries, ids);
        QCOMPARE(imported, pass == 0 ? std::size_t(8) : std::size_t(0));
        QCOMPARE(read.entries.size() - imported, pass == 0 ? std::size_t(1) : std::size_t(9));
    }
    QCOMPARE(target.Count(), source.Count());
    for (int i = 0; i < source.Count(); ++i) {
        QString expected = Texts(*source.GetRecord(i));
        // Lone line breaks come back as CR LF, as a typed line break is stored.
        expected.replace("lone\rCR and lone\nLF", "lone\r\nCR and lone\r\nLF");
        QCOMPARE(Texts(*target.GetRecord(i)), expected);
    }
}

QTEST_APPLESS_MAIN(TestCsvRead)
// A file without a size (a pipe) is read to its end.
void TestCsvRead::pipe() {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("pipe.csv"));
    QCOMPARE(::mkfifo(path.constData(), 0600), 0);
    QByteArray file = Header;
    for (int i = 0; i < 5000; ++i) // beyond 64 KiB: the buffer grows several times
        file += Good;
    std::thread writer([&] {
        QFile out(QFile::decodeName(path));
        if (out.open(QIODevice::WriteOnly))
            out.write(file);
    });
    const exchange::CsvReadResult result = exchange::ReadCsvFile(path.toStdString());
    writer.join();
    QCOMPARE(result.entries.size(), std::size_t(5000));
    QCOMPARE(result.lines.back(), std::size_t(5001));
}

#include "tst_csvread.moc"
