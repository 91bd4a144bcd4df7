// German number texts of the analysis.

#include "GermanNumbers.h"

#include <QtTest>
#include <cmath>

using namespace analysis;

class NumbersTest : public QObject {
    Q_OBJECT

private slots:
    void format_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << QString::fromStdString(FormatInteger(0)) << "0";
        QTest::newRow("below thousand") << QString::fromStdString(FormatInteger(999)) << "999";
        QTest::newRow("thousand") << QString::fromStdString(FormatInteger(1000)) << "1.000";
        QTest::newRow("million") << QString::fromStdString(FormatInteger(1234567)) << "1.234.567";
        QTest::newRow("decimal grouped")
            << QString::fromStdString(FormatDecimal(1234.56, 1)) << "1.234,6";
        QTest::newRow("half away from zero")
            << QString::fromStdString(FormatDecimal(0.25, 1)) << "0,3";
        QTest::newRow("negative half") << QString::fromStdString(FormatDecimal(-1.25, 1)) << "-1,3";
        QTest::newRow("no negative zero")
            << QString::fromStdString(FormatDecimal(-0.04, 1)) << "0,0";
        QTest::newRow("leading zero of decimals")
            << QString::fromStdString(FormatDecimal(2.05, 2)) << "2,05";
        QTest::newRow("no decimals") << QString::fromStdString(FormatDecimal(2.5, 0)) << "3";
        QTest::newRow("not a number")
            << QString::fromStdString(FormatDecimal(std::nan(""), 1)) << "";
        QTest::newRow("percent") << QString::fromStdString(FormatPercent(12.5)) << "12,5 %";
        QTest::newRow("whole percent") << QString::fromStdString(FormatPercent(100)) << "100,0 %";
        QTest::newRow("no minutes") << QString::fromStdString(FormatHoursMinutes(0)) << "0:00";
        QTest::newRow("hour and minutes")
            << QString::fromStdString(FormatHoursMinutes(75)) << "1:15";
        QTest::newRow("many hours")
            << QString::fromStdString(FormatHoursMinutes(100000)) << "1.666:40";
    }

    void format() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }
};

QTEST_GUILESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
