#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "exchange/CsvWriter.h"

#include <QtTest>
#include <sstream>

class TestCsvWrite : public QObject {
    Q_OBJECT
private slots:
    void field_data();
    void field();
    void formats_data();
    void formats();
};

void TestCsvWrite::field_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain") << QByteArray("C++") << ',' << QByteArray("C++");
    QTest::newRow("empty") << QByteArray("") << ';' << QByteArray("");
    QTest::newRow("blanks stay unquoted") << QByteArray(" a b ") << ',' << QByteArray(" a b ");
    QTest::newRow("comma") << QByteArray("a,b") << ',' << QByteArray("\"a,b\"");
    QTest::newRow("comma under semicolon") << QByteArray("a,b") << ';' << QByteArray("a,b");
    QTest::newRow("semicolon") << QByteArray("a;b") << ';' << QByteArray("\"a;b\"");
    QTest::newRow("semicolon under comma") << QByteArray("a;b") << ',' << QByteArray("a;b");
    QTest::newRow("tab") << QByteArray("a\tb") << '\t' << QByteArray("\"a\tb\"");
    QTest::newRow("quote doubled")
        << QByteArray("sagt \"nein\"") << ';' << QByteArray("\"sagt \"\"nein\"\"\"");
    QTest::newRow("only a quote") << QByteArray("\"") << ',' << QByteArray("\"\"\"\"");
    QTest::newRow("CRLF kept") << QByteArray("Zeile 1\r\nZeile 2") << ','
                               << QByteArray("\"Zeile 1\r\nZeile 2\"");
    QTest::newRow("lone LF") << QByteArray("a\nb") << ';' << QByteArray("\"a\nb\"");
    QTest::newRow("lone CR") << QByteArray("a\rb") << ',' << QByteArray("\"a\rb\"");
    QTest::newRow("formula marked as text") << QByteArray("=1+1") << ';' << QByteArray("'=1+1");
    QTest::newRow("plus") << QByteArray("+49 30") << ';' << QByteArray("'+49 30");
    QTest::newRow("minus") << QByteArray("-5 Grad") << ';' << QByteArray("'-5 Grad");
    QTest::newRow("at") << QByteArray("@A1") << ',' << QByteArray("'@A1");
    QTest::newRow("leading tab, tab separator")
        << QByteArray("\tx") << '\t' << QByteArray("\"'\tx\"");
    QTest::newRow("leading CR") << QByteArray("\r\nx") << ';' << QByteArray("\"'\r\nx\"");
    QTest::newRow("own apostrophes before a formula sign")
        << QByteArray("''=x") << ';' << QByteArray("'''=x");
    QTest::newRow("apostrophe before a letter") << QByteArray("'x") << ';' << QByteArray("'x");
    QTest::newRow("signs inside") << QByteArray("a=b-c") << ';' << QByteArray("a=b-c");
    QTest::newRow("leading blank") << QByteArray(" =x") << ';' << QByteArray(" =x");
}

void TestCsvWrite::field() {
    QFETCH(QByteArray, text);
    QFETCH(char, separator);
    QFETCH(QByteArray, expected);
    std::string out = "x";
    exchange::AppendCsvField(out, text.toStdString(), separator);
    QCOMPARE(QByteArray::fromStdString(out), "x" + expected);
}

// Whole files: header, byte order mark, ID column, conversion from the
// database's Windows-1252, dates and minutes.
void TestCsvWrite::formats_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<bool>("id");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray rows = QString("C++;B\u00FCro \u20AC;;05.03.2001;15;\"a;\"\"b\"\"\r\nc\"\r\n"
                                    "Java;x;y;;4294967295;\r\n")
                                .toUtf8();
    QTest::newRow("spreadsheet") << ';' << true << false
                                 << "\xEF\xBB\xBFSprache;Kategorie;Projekt;Datum;Aufwand;"
                                    "Beschreibung\r\n" +
                                        rows;
    QByteArray listed = "ID,Sprache,Kategorie,Projekt,Datum,Aufwand,Beschreibung\r\n" +
                        QString("1,C++,B\u00FCro \u20AC,,05.03.2001,15,\"a;\"\"b\"\"\r\nc\"\r\n"
                                "2,Java,x,y,,4294967295,\r\n")
                            .toUtf8();
    QTest::newRow("list") << ',' << false << true << listed;
}

void TestCsvWrite::formats() {
    QFETCH(char, separator);
    QFETCH(bool, bom);
    QFETCH(bool, id);
    QFETCH(QByteArray, expected);
    TDataBase db; // gives the IDs 1 and 2
    const std::vector<const TDataRecord*> entries{
        db.AddRecord(TRecordData{"C++", "B\xFCro \x80", "", "a;\"b\"\r\nc",
                                 EncodeDate({2001, 3, 5}) + 0.75, 0, 15}),
        db.AddRecord(TRecordData{"Java", "x", "y", "", std::numeric_limits<double>::quiet_NaN(), 0,
                                 4294967295u})};
    std::ostringstream out;
    QVERIFY(exchange::WriteCsv(out, entries, {separator, bom, id}));
    QCOMPARE(QByteArray::fromStdString(out.str()), expected);
}

QTEST_APPLESS_MAIN(TestCsvWrite)
#include "tst_csvwrite.moc"
