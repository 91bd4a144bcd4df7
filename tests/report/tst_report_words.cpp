// The words and scales a report and a printout put on paper: the filter and
// the search in words, and the minute axis of a chart.
#include "core/DataBase.h"
#include "report/ChartScale.h"
#include "report/FilterWords.h"
#include "support/CoreTestUtil.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using coretest::Entry;
using namespace report;

namespace {

// Ticks exactly the `ticked` values of `list` (names in Windows-1252).
void Tick(TValueList& list, const QStringList& ticked) {
    for (int i = 0; i < list.Count(); ++i)
        list.Filter(i).Checked = ticked.contains(QString::fromLatin1(list.Value(i).c_str()));
}

// Steps that read well, up to `most`: minutes below an hour, then 1, 2, 5
// times an hour times a power of ten.
std::vector<double> StepsReadingWell(double most) {
    std::vector<double> steps{1.0, 2.0, 5.0, 10.0, 15.0, 30.0};
    for (double decade = 60.0; decade <= most; decade *= 10.0)
        for (const double factor : {1.0, 2.0, 5.0})
            steps.push_back(factor * decade);
    return steps;
}

} // namespace

class ReportWordsTest : public QObject {
    Q_OBJECT
private slots:
    void filterInWords_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<bool>("andFilter");
        QTest::addColumn<QString>("words");
        const QStringList all{"C++", "Java", "Go"};
        const QStringList kinds{"Logik", QStringLiteral("B\u00FCro")};
        QTest::newRow("no filter")
            << all << kinds << false << QString("alle Eintr\u00E4ge (kein Filter)");
        QTest::newRow("one ticked of three")
            << QStringList{"Java"} << kinds << false
            << QString("Sprache: Java \u00B7 Kategorie: alle \u00B7 Projekt: alle "
                       "(verkn\u00FCpft mit ODER)");
        QTest::newRow("all but one, with AND")
            << QStringList{"C++", "Go"} << QStringList{QStringLiteral("B\u00FCro")} << true
            << QString("Sprache: alle au\u00DFer Java \u00B7 Kategorie: B\u00FCro \u00B7 "
                       "Projekt: alle (verkn\u00FCpft mit UND)");
        QTest::newRow("none ticked") << QStringList{} << kinds << false
                                     << QString("Sprache: keine \u00B7 Kategorie: alle \u00B7 "
                                                "Projekt: alle (verkn\u00FCpft mit ODER)");
    }
    void filterInWords() {
        QFETCH(QStringList, languages);
        QFETCH(QStringList, categories);
        QFETCH(bool, andFilter);
        QFETCH(QString, words);
        TDataBase db;
        db.Languages.Clear(); // without the lists a new database starts with
        db.ErrorTypes.Clear();
        for (const char* language : {"C++", "Java", "Go"})
            for (const char* category : {"Logik", "B\xFCro"})
                db.AddRecord(Entry(language, category, "P", 36000.0, 5));
        Tick(db.Languages, languages);
        Tick(db.ErrorTypes, categories);
        db.AndFilter = andFilter;
        QCOMPARE(FilterInWords(db), words);
    }

    // Beyond six named values the rest are counted.
    void manyValuesAreCounted() {
        TDataBase db;
        db.Languages.Clear();
        QStringList ticked;
        for (int i = 0; i < 20; ++i) {
            const std::string name = (i < 10 ? "L0" : "L") + std::to_string(i);
            db.AddRecord(Entry(name, "K", "P", 36000.0, 5));
            if (i < 12)
                ticked << QString::fromStdString(name);
        }
        Tick(db.Languages, ticked);
        QVERIFY2(FilterInWords(db).startsWith(
                     "Sprache: alle au\u00DFer L12, L13, L14, L15, L16, L17 und 2 weitere \u00B7"),
                 qPrintable(FilterInWords(db)));
    }

    void selectionInWords_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("words");
        QTest::newRow("no search") << QString("  ") << QString("alle Eintr\u00E4ge (kein Filter)");
        QTest::newRow("search, spaces folded")
            << QString(" Zeiger   null ")
            << QString("alle Eintr\u00E4ge (kein Filter); Suche: \u201EZeiger null\u201C");
    }
    void selectionInWords() {
        QFETCH(QString, search);
        QFETCH(QString, words);
        TDataBase db;
        db.AddRecord(Entry("C++", "Logik", "P", 36000.0, 5));
        QCOMPARE(SelectionInWords(db, search), words);
    }

    // The axis reaches the largest value in at most five steps that read
    // well, the smallest such step; nothing to show keeps the default.
    void minuteScale_data() {
        QTest::addColumn<double>("largest");
        for (const double largest :
             {0.5, 4.0, 7.0, 59.0, 60.0, 61.0, 149.0, 151.0, 1000.0, 24.0 * 60.0, 99999.0, 4.0e9})
            QTest::addRow("%g min", largest) << largest;
    }
    void minuteScale() {
        QFETCH(double, largest);
        const ChartScale scale = MinuteScale(largest);
        const std::vector<double> steps = StepsReadingWell(scale.step);
        QVERIFY(std::find(steps.begin(), steps.end(), scale.step) != steps.end());
        QVERIFY(scale.top >= largest);
        QVERIFY(scale.top / scale.step <= 5.0);
        QCOMPARE(std::fmod(scale.top, scale.step), 0.0);
        for (const double smaller : steps)
            QVERIFY(smaller >= scale.step || std::ceil(largest / smaller) > 5.0);
    }
    void minuteScaleWithoutValues() {
        for (const double nothing : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity()}) {
            const ChartScale scale = MinuteScale(nothing);
            QCOMPARE(scale.top, 60.0);
            QCOMPARE(scale.step, 15.0);
        }
        // An hour in quarters, as the axis of 61 minutes shows it, one more.
        QCOMPARE(MinuteScale(61.0).top, 75.0);
        QCOMPARE(MinuteScale(61.0).step, 15.0);
    }
};

QTEST_GUILESS_MAIN(ReportWordsTest)
#include "tst_report_words.moc"
