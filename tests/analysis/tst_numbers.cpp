// German number texts of the analysis.

#include "analysis/GermanNumbers.h"

#include <QtTest>
#include <cmath>

using namespace analysis;

class NumbersTest : public QObject {
    Q_OBJECT

private slots:
    void format_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const std::string& text, const char* expected) {
            QTest::newRow(name) << QString::fromStdString(text) << QString(expected);
        };
        row("zero", FormatInteger(0), "0");
        row("below thousand", FormatInteger(999), "999");
        row("thousand", FormatInteger(1000), "1.000");
        row("million", FormatInteger(1234567), "1.234.567");
        row("decimal grouped", FormatDecimal(1234.56, 1), "1.234,6");
        row("half away from zero", FormatDecimal(0.25, 1), "0,3");
        row("negative half", FormatDecimal(-1.25, 1), "-1,3");
        row("no negative zero", FormatDecimal(-0.04, 1), "0,0");
        row("leading zero of decimals", FormatDecimal(2.05, 2), "2,05");
        row("no decimals", FormatDecimal(2.5, 0), "3");
        row("not a number", FormatDecimal(std::nan(""), 1), "");
        row("percent", FormatPercent(12.5), "12,5 %");
        row("whole percent", FormatPercent(100), "100,0 %");
        row("no minutes", FormatHoursMinutes(0), "0:00");
        row("hour and minutes", FormatHoursMinutes(75), "1:15");
        row("many hours", FormatHoursMinutes(100000), "1.666:40");
    }

    void format() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }
};

QTEST_GUILESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
