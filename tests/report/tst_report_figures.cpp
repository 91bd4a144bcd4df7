// The report's figures against the analysis library's for the same entries,
// over a table of periods: each choice of period, a range over the year's
// end, an empty period, and entries whose date is no calendar day.

#include "analysis/FigureEngine.h"
#include "analysis/TableText.h"
#include "report/ReportFigures.h"
#include "support/CoreTestUtil.h"

#include <QtTest>
#include <algorithm>
#include <limits>

using coretest::Day;
using coretest::Entry;
using namespace report;

Q_DECLARE_METATYPE(report::PeriodKind)

namespace {

const double kNoDay = std::numeric_limits<double>::quiet_NaN();

// "Go" is known only from an entry without calendar day; "java" counts
// towards "Java".
void Fill(TDataBase& db) {
    db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2026, 9, 15), 30, "September"));
    db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2026, 10, 1), 10, "erster Oktober"));
    db.AddRecord(Entry("java", "Eins-daneben-Fehler", "Lager", Day(2026, 10, 15), 45, "Mitte"));
    db.AddRecord(Entry("Rust",
                       "\xDC"
                       "berlauf",
                       "Neu", Day(2026, 10, 31) + 0.999, 100, "sp\xE4t"));
    db.AddRecord(Entry("Python", "Zeigerfehler", "Kasse", Day(2026, 11, 2), 5));
    db.AddRecord(Entry("Go", "Zeigerfehler", "Lager", Day(2026, 11, 3), 12));
    db.AddRecord(Entry("Java", "Zeigerfehler", "Lager", Day(2026, 7, 10), 60));
    db.AddRecord(Entry("C++", "Eins-daneben-Fehler", "Kasse", Day(2025, 12, 31), 20));
    db.AddRecord(Entry("Fortran", "Zeigerfehler", "Alt", -1.25, 3)); // 29.12.1899, 6:00
    db.AddRecord(Entry("Go", "Zeigerfehler", "Kasse", kNoDay, 7));
    db.AddRecord(Entry("Basic", "Zeigerfehler", "Kasse", 1e7, 8)); // after 9999
}

CivilDate Civil(const QString& text) {
    return *ParseDate(text.toStdString());
}

QString Text(const Period& period) {
    return QString::fromStdString(FormatDate(static_cast<double>(period.first)) + "-" +
                                  FormatDate(static_cast<double>(period.last)));
}

// The entries whose calendar day lies from `first` to `last`, chosen here
// by their decoded day.
std::vector<const TDataRecord*> Between(const TDataBase& db, const QString& span) {
    const CivilDate first = Civil(span.section('-', 0, 0));
    const CivilDate last = Civil(span.section('-', 1, 1));
    const auto key = [](const CivilDate& d) { return d.year * 10000 + d.month * 100 + d.day; };
    std::vector<const TDataRecord*> chosen;
    for (const TDataRecord* record : analysis::ListedEntries(db))
        if (const auto day = DecodeDate(record->Date))
            if (key(*day) >= key(first) && key(*day) <= key(last))
                chosen.push_back(record);
    return chosen;
}

QStringList Cells(const std::vector<analysis::TableRow>& rows) {
    QStringList cells;
    for (const analysis::TableRow& row : rows)
        for (int c = 0; c < analysis::TableColumns; ++c)
            cells << QString::fromLatin1(
                analysis::CellText(row, static_cast<analysis::TableColumn>(c)));
    return cells;
}

QStringList Texts(const std::vector<std::string>& values) {
    QStringList texts;
    for (const std::string& value : values)
        texts << QString::fromLatin1(value);
    return texts;
}

} // namespace

class ReportFiguresTest : public QObject {
    Q_OBJECT

private slots:
    void figures_data() {
        QTest::addColumn<PeriodKind>("kind");
        QTest::addColumn<QString>("today");  // or, for a range, "from-to"
        QTest::addColumn<QString>("period"); // as resolved
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("title");
        QTest::addColumn<double>("median");
        QTest::addColumn<QStringList>("newValues"); // languages|categories|projects
        QTest::addColumn<uint>("firstExpensive");   // its minutes; 0 without

        QTest::newRow("last month: first and last day, time of day")
            << PeriodKind::LastMonth << "05.11.2026"
            << "01.10.2026-31.10.2026"
            << "01.09.2026-30.09.2026"
            << "Oktober 2026" << 45.0 << QStringList{"Rust", "\u00DCberlauf", "Neu"} << 100u;
        QTest::newRow("this month: a value known from an entry without day is not new")
            << PeriodKind::ThisMonth << "20.11.2026"
            << "01.11.2026-30.11.2026"
            << "01.10.2026-31.10.2026"
            << "November 2026" << 8.5 << QStringList{"Python", "", ""} << 12u;
        QTest::newRow("this quarter") << PeriodKind::ThisQuarter << "20.11.2026"
                                      << "01.10.2026-31.12.2026"
                                      << "01.07.2026-30.09.2026"
                                      << "4. Quartal 2026" << 12.0
                                      << QStringList{"Python|Rust", "\u00DCberlauf", "Neu"} << 100u;
        QTest::newRow("last quarter in January")
            << PeriodKind::LastQuarter << "15.01.2027"
            << "01.10.2026-31.12.2026"
            << "01.07.2026-30.09.2026"
            << "4. Quartal 2026" << 12.0 << QStringList{"Python|Rust", "\u00DCberlauf", "Neu"}
            << 100u;
        QTest::newRow("this year")
            << PeriodKind::ThisYear << "01.03.2026"
            << "01.01.2026-31.12.2026"
            << "01.01.2025-31.12.2025"
            << "2026" << 30.0 << QStringList{"Java|Python|Rust", "\u00DCberlauf", "Lager|Neu"}
            << 100u;
        QTest::newRow("last year: nothing before to compare")
            << PeriodKind::LastYear << "01.03.2026"
            << "01.01.2025-31.12.2025"
            << "01.01.2024-31.12.2024"
            << "2025" << 20.0 << QStringList{"C++", "Eins-daneben-Fehler", ""} << 20u;
        QTest::newRow("range over the year's end: as many days before")
            << PeriodKind::Range << "20.12.2025-10.01.2026"
            << "20.12.2025-10.01.2026"
            << "28.11.2025-19.12.2025"
            << "20.12.2025 bis 10.01.2026" << 20.0 << QStringList{"C++", "Eins-daneben-Fehler", ""}
            << 20u;
        QTest::newRow("empty period") << PeriodKind::Range << "01.01.2030-31.12.2030"
                                      << "01.01.2030-31.12.2030"
                                      << "01.01.2029-31.12.2029"
                                      << "2030" << 0.0 << QStringList{"", "", ""} << 0u;
        QTest::newRow("a day before 30.12.1899")
            << PeriodKind::Range << "29.12.1899-29.12.1899"
            << "29.12.1899-29.12.1899"
            << "28.12.1899-28.12.1899"
            << "29.12.1899" << 3.0 << QStringList{"Fortran", "", "Alt"} << 3u;
        QTest::newRow("last month in January of year 1: no day at all")
            << PeriodKind::LastMonth << "15.01.0001"
            << "01.01.0001-31.12.0000"
            << "01.01.0001-31.12.0000"
            << "kein Tag" << 0.0 << QStringList{"", "", ""} << 0u;
    }

    void figures() {
        QFETCH(PeriodKind, kind);
        QFETCH(QString, today);
        QFETCH(QString, period);
        QFETCH(QString, previous);
        QFETCH(QString, title);
        QFETCH(double, median);
        QFETCH(QStringList, newValues);
        QFETCH(uint, firstExpensive);

        TDataBase db;
        Fill(db);
        const Period chosen = kind == PeriodKind::Range ? *RangeOf(Civil(today.section('-', 0, 0)),
                                                                   Civil(today.section('-', 1, 1)))
                                                        : PeriodOf(kind, Civil(today));
        const std::vector<const TDataRecord*> all = analysis::ListedEntries(db);
        const ReportFigures figures = ComputeReport(db, all, chosen);

        if (chosen.Days() > 0) {
            QCOMPARE(Text(figures.period), period);
            QCOMPARE(Text(figures.previous), previous);
        } else {
            QCOMPARE(figures.period.Days(), 0);
            QCOMPARE(figures.previous.Days(), 0);
        }
        QCOMPARE(QString::fromStdString(PeriodTitle(figures.period)), title);
        QCOMPARE(figures.undated, 2u);

        // Totals and Pareto tables are the analysis library's for the
        // entries chosen here.
        const auto inPeriod =
            chosen.Days() > 0 ? Between(db, period) : std::vector<const TDataRecord*>();
        const auto before =
            chosen.Days() > 0 ? Between(db, previous) : std::vector<const TDataRecord*>();
        analysis::FigureEngine engine(db);
        for (const ParetoFigures& pareto : figures.pareto) {
            engine.Recompute(pareto.grouping, inPeriod);
            QCOMPARE(Cells(pareto.rows), Cells(engine.Table(analysis::Measure::Minutes)));
            QCOMPARE(pareto.bars.size(), engine.Pareto(analysis::Measure::Minutes).size());
        }
        QCOMPARE(figures.current.entries, engine.EntryCount());
        QCOMPARE(figures.current.minutes, engine.TotalMinutes());
        QCOMPARE(figures.current.medianMinutes, median);
        if (!inPeriod.empty())
            QCOMPARE(figures.current.meanMinutes,
                     double(engine.TotalMinutes()) / double(engine.EntryCount()));
        engine.Recompute(analysis::Grouping::Language, before);
        QCOMPARE(figures.before.entries, engine.EntryCount());
        QCOMPARE(figures.before.minutes, engine.TotalMinutes());

        // The month trend: twelve months up to the period's end, the
        // library's month figures where it has any.
        // (Twelve months, unless the calendar begins within them.)
        QCOMPARE(figures.trend.size(), chosen.Days() > 0 ? std::size_t{12} : std::size_t{1});
        const analysis::MonthPoint& lastMonth = figures.trend.back();
        const CivilDate end =
            *DecodeDate(double(std::max(figures.period.last, FirstCalendarDay())));
        QCOMPARE(lastMonth.Year * 12 + lastMonth.Month, end.year * 12 + end.month);
        engine.Recompute(analysis::Grouping::Month, Between(db, Text(figures.trendMonths)));
        std::uint64_t trendCount = 0;
        for (const analysis::MonthPoint& point : figures.trend)
            trendCount += point.Count;
        QCOMPARE(trendCount, engine.EntryCount());
        for (const analysis::MonthPoint& point : engine.MonthSeries()) {
            const auto at = std::find_if(figures.trend.begin(), figures.trend.end(),
                                         [&](const analysis::MonthPoint& p) {
                                             return p.Year == point.Year && p.Month == point.Month;
                                         });
            QVERIFY(at != figures.trend.end());
            QCOMPARE(at->Minutes, point.Minutes);
        }

        // Most expensive first, at most ten; values met for the first time.
        QCOMPARE(figures.expensive.size(), std::min<std::size_t>(inPeriod.size(), 10));
        QCOMPARE(figures.expensive.empty() ? 0u : figures.expensive.front().minutes,
                 firstExpensive);
        QVERIFY(std::is_sorted(figures.expensive.begin(), figures.expensive.end(),
                               [](const ExpensiveEntry& a, const ExpensiveEntry& b) {
                                   return a.minutes > b.minutes;
                               }));
        QCOMPARE(Texts(figures.firstSeen.languages).join('|'), newValues[0]);
        QCOMPARE(Texts(figures.firstSeen.categories).join('|'), newValues[1]);
        QCOMPARE(Texts(figures.firstSeen.projects).join('|'), newValues[2]);
    }
};

QTEST_GUILESS_MAIN(ReportFiguresTest)
#include "tst_report_figures.moc"
