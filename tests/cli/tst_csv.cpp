#include "Csv.h"

#include <QtTest>

class TestCsv : public QObject {
    Q_OBJECT
private slots:
    void field_data();
    void field();
    void row();
};

void TestCsv::field_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain") << QByteArray("C++") << QByteArray("C++");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("blanks stay unquoted") << QByteArray(" a b ") << QByteArray(" a b ");
    QTest::newRow("comma") << QByteArray("a,b") << QByteArray("\"a,b\"");
    QTest::newRow("quote doubled")
        << QByteArray("sagt \"nein\"") << QByteArray("\"sagt \"\"nein\"\"\"");
    QTest::newRow("only a quote") << QByteArray("\"") << QByteArray("\"\"\"\"");
    QTest::newRow("CRLF kept") << QByteArray("Zeile 1\r\nZeile 2")
                               << QByteArray("\"Zeile 1\r\nZeile 2\"");
    QTest::newRow("lone LF") << QByteArray("a\nb") << QByteArray("\"a\nb\"");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("\"a\rb\"");
    QTest::newRow("umlauts untouched") << QByteArray("Gr\xC3\xB6\xC3\x9F"
                                                     "e")
                                       << QByteArray("Gr\xC3\xB6\xC3\x9F"
                                                     "e");
    QTest::newRow("semicolon is no separator") << QByteArray("a;b") << QByteArray("a;b");
}

void TestCsv::field() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(csv::Field(text.toStdString())), expected);
}

void TestCsv::row() {
    std::string out = "x";
    csv::AppendRow(out, {"1", "", "a,b", "q\""});
    csv::AppendRow(out, {""});
    QCOMPARE(QByteArray::fromStdString(out), QByteArray("x1,,\"a,b\",\"q\"\"\"\r\n\r\n"));
}

QTEST_APPLESS_MAIN(TestCsv)
#include "tst_csv.moc"
