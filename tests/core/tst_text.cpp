// Windows-1252 conversion against ICU's converter, and the date helpers.

#include "core/Cp1252.h"
#include "core/DateUtil.h"

#include <QtTest>
#include <cmath>
#include <limits>
#include <unicode/ucnv.h>

class TextTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteMatchesIcu() {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* conv = ucnv_open("windows-1252", &status);
        QVERIFY(U_SUCCESS(status));
        std::string all;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            char buffer[16];
            status = U_ZERO_ERROR;
            const int32_t n =
                ucnv_toAlgorithmic(UCNV_UTF8, conv, buffer, sizeof buffer, &byte, 1, &status);
            QVERIFY(U_SUCCESS(status));
            QCOMPARE(cp1252::ToUtf8(std::string(1, byte)),
                     std::string(buffer, static_cast<std::size_t>(n)));
            all += byte;
        }
        ucnv_close(conv);
        const std::string utf8 = cp1252::ToUtf8(all);
        const auto back = cp1252::FromUtf8(utf8);
        QVERIFY(back.has_value());
        QCOMPARE(*back, all);
        QCOMPARE(cp1252::ToUtf16(all).size(), std::size_t(256));
    }

    void fromUtf8Refuses_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::newRow("no cp1252 char")
            << QByteArray("\xe2\x82\xac \xce\xa9"); // Euro ok, Omega not
        QTest::newRow("truncated") << QByteArray("abc\xc3");
        QTest::newRow("overlong") << QByteArray("\xc0\xaf");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
        QTest::newRow("stray continuation") << QByteArray("\x80");
        QTest::newRow("defined C1 code") << QByteArray("\xc2\x80"); // U+0080 has no byte
    }

    void fromUtf8Refuses() {
        QFETCH(QByteArray, utf8);
        QVERIFY(!cp1252::FromUtf8(utf8.toStdString()).has_value());
    }

    void fromUtf8Accepts() {
        QCOMPARE(*cp1252::FromUtf8("\xc3\x84rger \xe2\x82\xac"), std::string("\xc4rger \x80"));
        QCOMPARE(*cp1252::FromUtf8(""), std::string());
    }

    void formatDate_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("epoch") << 0.0 << "30.12.1899";
        QTest::newRow("example") << 36955.0 << "05.03.2001";
        QTest::newRow("time of day") << 36955.99 << "05.03.2001";
        QTest::newRow("negative with time") << -1.25 << "29.12.1899";
        QTest::newRow("just below zero") << -0.5 << "30.12.1899";
        QTest::newRow("leap day 1900?") << 61.0 << "01.03.1900";
        QTest::newRow("leap day 2000") << 36585.0 << "29.02.2000";
        QTest::newRow("first day") << -693593.0 << "01.01.0001";
        QTest::newRow("last day") << 2958465.999 << "31.12.9999";
        QTest::newRow("before first") << -693594.0 << "";
        QTest::newRow("after last") << 2958466.0 << "";
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "";
        QTest::newRow("inf") << std::numeric_limits<double>::infinity() << "";
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << "";
        QTest::newRow("huge") << 1e300 << "";
    }

    void formatDate() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatDate(value)), text);
    }

    // Every calendar day from 0001 to 9999 encodes and decodes to itself, the
    // numbers running on by one a day.
    void everyDayRoundTrips() {
        double expected = -693593.0;
        for (int y = 1; y <= 9999; ++y)
            for (int m = 1; m <= 12; ++m) {
                const QDate first(y, m, 1);
                for (int d = 1; d <= first.daysInMonth(); ++d) {
                    const double value = EncodeDate({y, m, d});
                    if (value != expected)
                        QFAIL(qPrintable(QString("%1.%2.%3").arg(d).arg(m).arg(y)));
                    // Noon: before 30.12.1899 the fraction counts away from zero.
                    const auto back = DecodeDate(value < 0 ? value - 0.5 : value + 0.5);
                    if (!back || back->year != y || back->month != m || back->day != d)
                        QFAIL(qPrintable(QString("%1.%2.%3 back").arg(d).arg(m).arg(y)));
                    expected += 1.0;
                }
            }
        QCOMPARE(expected, 2958466.0);
    }

    void parseDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::newRow("full") << "05.03.2001" << true << 2001 << 3 << 5;
        QTest::newRow("short") << "5.3.2001" << true << 2001 << 3 << 5;
        QTest::newRow("leap") << "29.02.2000" << true << 2000 << 2 << 29;
        QTest::newRow("year 1") << "01.01.0001" << true << 1 << 1 << 1;
        QTest::newRow("no leap") << "29.02.1900" << false << 0 << 0 << 0;
        QTest::newRow("month 13") << "01.13.2001" << false << 0 << 0 << 0;
        QTest::newRow("day 0") << "00.01.2001" << false << 0 << 0 << 0;
        QTest::newRow("year 0") << "01.01.0000" << false << 0 << 0 << 0;
        QTest::newRow("two-digit year") << "01.01.01" << false << 0 << 0 << 0;
        QTest::newRow("letters") << "01.Jan.2001" << false << 0 << 0 << 0;
        QTest::newRow("extra part") << "01.01.2001.1" << false << 0 << 0 << 0;
        QTest::newRow("empty") << "" << false << 0 << 0 << 0;
        QTest::newRow("dashes") << "2001-03-05" << false << 0 << 0 << 0;
    }

    void parseDate() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto date = ParseDate(text.toStdString());
        QCOMPARE(date.has_value(), valid);
        if (valid) {
            QFETCH(int, year);
            QFETCH(int, month);
            QFETCH(int, day);
            QCOMPARE(date->year, year);
            QCOMPARE(date->month, month);
            QCOMPARE(date->day, day);
        }
    }
};

QTEST_GUILESS_MAIN(TextTest)
#include "tst_text.moc"
