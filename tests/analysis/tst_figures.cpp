// The analysis figures on a small database with hand-computed values, the
// chart data, and single updates against a full count after random edits.

#include "analysis/FigureEngine.h"
#include "analysis/GroupKeys.h"
#include "analysis/HeapOrder.h"
#include "analysis/TableText.h"
#include "support/CoreTestUtil.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace analysis;
using coretest::Day;
using coretest::Entry;

Q_DECLARE_METATYPE(analysis::Grouping)
Q_DECLARE_METATYPE(analysis::Measure)

namespace {

// "java"/"JAVA" belong to "Java", "kasse" to "Kasse"; two dates are no day.
void FillSmall(TDataBase& db) {
    const double noDay = std::numeric_limits<double>::quiet_NaN();
    db.AddRecord(Entry("Java", "Zeigerfehler", "Kasse", Day(2024, 6, 3), 10));
    db.AddRecord(Entry("java", "Zeigerfehler", "Lager", Day(2024, 6, 4), 20));
    db.AddRecord(Entry("JAVA", "falscher logischer Ausdruck", "Kasse", Day(2024, 6, 9), 30));
    db.AddRecord(Entry("Java", "falscher logischer Ausdruck", "kasse", Day(2024, 7, 16), 100));
    db.AddRecord(Entry("C++", "Parameter verwechselt", "Lager", noDay, 5));
    db.AddRecord(Entry("c++", "Parameter verwechselt", "Lager", Day(2024, 10, 7), 15));
    db.AddRecord(Entry("Basic", "vergessene Anweisung", "Kasse", 1e7, 40));
}

// A table row as its cells, joined by "|".
QStringList Rows(const std::vector<TableRow>& table) {
    QStringList rows;
    for (const TableRow& row : table) {
        QStringList cells;
        for (int c = 0; c < TableColumns; ++c)
            cells << QString::fromStdString(CellText(row, static_cast<TableColumn>(c)));
        rows << cells.join('|');
    }
    return rows;
}

} // namespace

class FiguresTest : public QObject {
    Q_OBJECT

private slots:
    void table_data() {
        QTest::addColumn<Grouping>("grouping");
        QTest::addColumn<Measure>("measure");
        QTest::addColumn<QStringList>("rows");
        // Group|Anzahl|Anteil|kumuliert|Aufwand|Anteil|Mittel|Median
        QTest::newRow("language by count: case folded, even median")
            << Grouping::Language << Measure::Count
            << QStringList{"Java|4|57,1 %|57,1 %|2:40|72,7 %|40,0|25,0",
                           "C++|2|28,6 %|85,7 %|0:20|9,1 %|10,0|10,0",
                           "Basic|1|14,3 %|100,0 %|0:40|18,2 %|40,0|40,0"};
        QTest::newRow("language by minutes")
            << Grouping::Language << Measure::Minutes
            << QStringList{"Java|4|57,1 %|72,7 %|2:40|72,7 %|40,0|25,0",
                           "Basic|1|14,3 %|90,9 %|0:40|18,2 %|40,0|40,0",
                           "C++|2|28,6 %|100,0 %|0:20|9,1 %|10,0|10,0"};
        QTest::newRow("category: ties in list order, not byte order")
            << Grouping::Category << Measure::Count
            << QStringList{"falscher logischer Ausdruck|2|28,6 %|28,6 %|2:10|59,1 %|65,0|65,0",
                           "Parameter verwechselt|2|28,6 %|57,1 %|0:20|9,1 %|10,0|10,0",
                           "Zeigerfehler|2|28,6 %|85,7 %|0:30|13,6 %|15,0|15,0",
                           "vergessene Anweisung|1|14,3 %|100,0 %|0:40|18,2 %|40,0|40,0"};
        QTest::newRow("category by minutes")
            << Grouping::Category << Measure::Minutes
            << QStringList{"falscher logischer Ausdruck|2|28,6 %|59,1 %|2:10|59,1 %|65,0|65,0",
                           "vergessene Anweisung|1|14,3 %|77,3 %|0:40|18,2 %|40,0|40,0",
                           "Zeigerfehler|2|28,6 %|90,9 %|0:30|13,6 %|15,0|15,0",
                           "Parameter verwechselt|2|28,6 %|100,0 %|0:20|9,1 %|10,0|10,0"};
        QTest::newRow("project") << Grouping::Project << Measure::Count
                                 << QStringList{"Kasse|4|57,1 %|57,1 %|3:00|81,8 %|45,0|35,0",
                                                "Lager|3|42,9 %|100,0 %|0:40|18,2 %|13,3|15,0"};
        QTest::newRow("month: no day, ties chronological")
            << Grouping::Month << Measure::Count
            << QStringList{"06.2024|3|42,9 %|42,9 %|1:00|27,3 %|20,0|20,0",
                           "ohne Datum|2|28,6 %|71,4 %|0:45|20,5 %|22,5|22,5",
                           "07.2024|1|14,3 %|85,7 %|1:40|45,5 %|100,0|100,0",
                           "10.2024|1|14,3 %|100,0 %|0:15|6,8 %|15,0|15,0"};
        QTest::newRow("weekday: no day last among ties")
            << Grouping::Weekday << Measure::Count
            << QStringList{"Montag|2|28,6 %|28,6 %|0:25|11,4 %|12,5|12,5",
                           "Dienstag|2|28,6 %|57,1 %|2:00|54,5 %|60,0|60,0",
                           "ohne Datum|2|28,6 %|85,7 %|0:45|20,5 %|22,5|22,5",
                           "Sonntag|1|14,3 %|100,0 %|0:30|13,6 %|30,0|30,0"};
        QTest::newRow("weekday by minutes")
            << Grouping::Weekday << Measure::Minutes
            << QStringList{"Dienstag|2|28,6 %|54,5 %|2:00|54,5 %|60,0|60,0",
                           "ohne Datum|2|28,6 %|75,0 %|0:45|20,5 %|22,5|22,5",
                           "Sonntag|1|14,3 %|88,6 %|0:30|13,6 %|30,0|30,0",
                           "Montag|2|28,6 %|100,0 %|0:25|11,4 %|12,5|12,5"};
    }

    void table() {
        QFETCH(Grouping, grouping);
        QFETCH(Measure, measure);
        QFETCH(QStringList, rows);
        TDataBase db;
        FillSmall(db);
        FigureEngine engine(db);
        engine.Recompute(grouping, ListedEntries(db));
        QCOMPARE(Rows(engine.Table(measure)), rows);
        QCOMPARE(engine.EntryCount(), 7u);
        QCOMPARE(engine.TotalMinutes(), 220u);
    }

    void charts() {
        TDataBase db;
        FillSmall(db);
        FigureEngine engine(db);
        engine.Recompute(Grouping::Month, ListedEntries(db));
        QStringList series;
        for (const MonthPoint& p : engine.MonthSeries())
            series << QString("%1.%2:%3/%4").arg(p.Month).arg(p.Year).arg(p.Count).arg(p.Minutes);
        QCOMPARE(series, QStringList({"6.2024:3/60", "7.2024:1/100", "8.2024:0/0", "9.2024:0/0",
                                      "10.2024:1/15"}));

        // 14 projects, the p-th with p entries: the 12 largest and the rest.
        TDataBase many;
        for (int p = 1; p <= 14; ++p)
            for (int i = 0; i < p; ++i)
                many.AddRecord(Entry("C++", "Zeigerfehler", "P" + std::to_string(100 + p),
                                     Day(2024, 1, 1 + i), 1));
        FigureEngine projects(many);
        projects.Recompute(Grouping::Project, ListedEntries(many));
        const std::vector<ParetoBar> bars = projects.Pareto(Measure::Count);
        QCOMPARE(bars.size(), std::size_t{13});
        QCOMPARE(bars.front().Group, "P114");
        QCOMPARE(bars.front().Value, 14u);
        QCOMPARE(bars[11].Group, "P103");
        QVERIFY(!bars[11].Rest && bars.back().Rest);
        QCOMPARE(bars.back().Group, RestLabel);
        QCOMPARE(bars.back().Value, 3u); // P102 and P101
        QCOMPARE(bars.back().Cumulative, 100.0);
        QCOMPARE(bars[11].Cumulative, 100.0 * 102 / 105);
        QCOMPARE(engine.Pareto(Measure::Count).size(), std::size_t{4}); // no rest bar
    }

    void dateGroups_data() {
        QTest::addColumn<double>("date");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<QString>("month");
        const auto row = [](const char* name, double date, const char* weekday, const char* month) {
            QTest::newRow(name) << date << QString(weekday) << QString(month);
        };
        row("Saturday", Day(2024, 6, 1), "Samstag", "06.2024");
        row("time of day", Day(2024, 6, 3) + 0.99, "Montag", "06.2024");
        row("day -1", Day(1899, 12, 29), "Freitag", "12.1899");
        row("day -1 at 6:00", -1.25, "Freitag", "12.1899");
        row("day -6", Day(1899, 12, 24), "Sonntag", "12.1899");
        row("first day", Day(1, 1, 1), "Montag", "01.0001");
        row("last day", Day(9999, 12, 31), "Freitag", "12.9999");
        row("after the last day", Day(9999, 12, 31) + 1, "ohne Datum", "ohne Datum");
        row("infinite", std::numeric_limits<double>::infinity(), "ohne Datum", "ohne Datum");
    }

    void dateGroups() {
        QFETCH(double, date);
        QFETCH(QString, weekday);
        QFETCH(QString, month);
        TDataBase db;
        const TDataRecord* entry = db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", date, 1));
        GroupKeys weekdays(db, Grouping::Weekday), months(db, Grouping::Month);
        QCOMPARE(QString::fromStdString(weekdays.Label(weekdays.GroupOf(*entry))), weekday);
        QCOMPARE(QString::fromStdString(months.Label(months.GroupOf(*entry))), month);
    }

    // Long spellings that agree in their first and last eight bytes, one of
    // them typed in other letter case; and a text that no list holds.
    void spellings() {
        TDataBase db;
        for (int p = 0; p < 300; ++p)
            db.AddRecord(Entry("C++", "Zeigerfehler", "Projekt-" + std::to_string(p) + "-Kasse-01",
                               Day(2024, 1, 1), static_cast<std::uint32_t>(p)));
        db.AddRecord(Entry("C++", "Zeigerfehler", "PROJEKT-7-KASSE-01", Day(2024, 1, 2), 1));
        FigureEngine engine(db);
        engine.Recompute(Grouping::Project, ListedEntries(db));
        const std::vector<TableRow> rows = engine.Table(Measure::Count);
        QCOMPARE(rows.size(), std::size_t{300});
        QCOMPARE(rows.front().Group, "Projekt-7-Kasse-01");
        QCOMPARE(rows.front().Count, 2u);
        QCOMPARE(rows.back().Group, "Projekt-99-Kasse-01"); // the list's order
        TDataBase elsewhere;                                // an entry that db's lists do not hold
        TDataRecord* stranger =
            elsewhere.AddRecord(Entry("C++", "Zeigerfehler", "Fremd", Day(2024, 1, 1), 5));
        stranger->ID = 1000;
        engine.Add(*stranger);
        QCOMPARE(engine.Table(Measure::Count).back().Group, "Fremd");
    }

    // Minutes that need all 32 bits, and more spellings than the full count
    // remembers: both take other paths through the count.
    void wideFigures() {
        TDataBase db;
        db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2024, 1, 1), 4000000000u));
        db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2024, 1, 2), 1));
        for (int p = 0; p < 33000; ++p)
            db.AddRecord(
                Entry("Java", "Zeigerfehler", "P" + std::to_string(p), Day(2024, 1, 1), 2));
        FigureEngine engine(db);
        engine.Recompute(Grouping::Language, ListedEntries(db));
        const std::vector<TableRow> rows = engine.Table(Measure::Minutes);
        QCOMPARE(Rows(rows).front(),
                 "C++|2|0,0 %|100,0 %|66.666.666:41|100,0 %|2.000.000.000,5|2.000.000.000,5");
        engine.Recompute(Grouping::Project, ListedEntries(db));
        QCOMPARE(engine.Table(Measure::Count).size(), std::size_t{33001});
        QCOMPARE(engine.Table(Measure::Count).front().Count, 2u);
    }

    // The heap order is a reordering of the entries by address regions.
    void heapOrder() {
        TDataBase db;
        for (int i = 0; i < 200; ++i)
            db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2024, 1, 1),
                               static_cast<std::uint32_t>(i)));
        std::vector<const TDataRecord*> entries = ListedEntries(db);
        std::shuffle(entries.begin(), entries.end(), std::mt19937(5));
        std::vector<const TDataRecord*> ordered = InHeapOrder(entries);
        QCOMPARE(ordered.size(), entries.size());
        QVERIFY(std::is_permutation(ordered.begin(), ordered.end(), entries.begin()));
        std::sort(entries.begin(), entries.end());
        QVERIFY(InHeapOrder(entries).empty()); // in order already
    }

    // Single adds, removals and changes, with groups appearing and vanishing,
    // give the figures of a full count after every so many edits.
    void updatesMatchFullCount_data() {
        QTest::addColumn<Grouping>("grouping");
        for (Grouping g : {Grouping::Language, Grouping::Category, Grouping::Project,
                           Grouping::Month, Grouping::Weekday})
            QTest::newRow(GroupingCaption(g)) << g;
    }

    void updatesMatchFullCount() {
        QFETCH(Grouping, grouping);
        std::mt19937 random(11);
        const auto below = [&random](int n) {
            return static_cast<int>(random() % static_cast<unsigned>(n));
        };
        const auto pick = [&below](std::initializer_list<const char*> values) {
            return std::string(values.begin()[below(static_cast<int>(values.size()))]);
        };
        const auto randomEntry = [&] {
            const double date =
                below(10) == 0 ? std::nan("") : Day(2020 + below(3), 1 + below(12), 1 + below(28));
            return Entry(pick({"Java", "java", "Rust", "RUST", "Go", "C++"}),
                         pick({"Zeigerfehler", "ZEIGERFEHLER", "Typfehler", "Leck"}),
                         pick({"Kasse", "kasse", "Lager", "Web"}), date,
                         static_cast<std::uint32_t>(below(90)));
        };
        TDataBase db;
        FigureEngine engine(db);
        engine.Recompute(grouping, ListedEntries(db));
        for (int edit = 1; edit <= 3000; ++edit) {
            const int size = db.Count();
            const int kind = below(3);
            if (size < 20 || kind == 0) {
                try {
                    engine.Add(*db.AddRecord(randomEntry()));
                } catch (const std::exception&) { // a duplicate: nothing changed
                }
            } else if (kind == 1) {
                const std::uint32_t id = db.GetRecord(below(size))->ID;
                QVERIFY(engine.Remove(id));
                db.DeleteRecord(id);
                QVERIFY(!engine.Remove(id));
            } else {
                auto changed = randomEntry();
                changed.ID = db.GetRecord(below(size))->ID;
                try {
                    engine.Add(*db.ChangeRecord(changed));
                } catch (const std::exception&) {
                }
            }
            if (edit % 250 != 0)
                continue;
            FigureEngine full(db);
            full.Recompute(grouping, ListedEntries(db));
            QCOMPARE(engine.EntryCount(), std::uint64_t(db.Count()));
            for (Measure m : {Measure::Count, Measure::Minutes})
                QCOMPARE(Rows(engine.Table(m)), Rows(full.Table(m)));
            QCOMPARE(engine.MonthSeries().size(), full.MonthSeries().size());
        }
    }
};

QTEST_GUILESS_MAIN(FiguresTest)
#include "tst_figures.moc"
