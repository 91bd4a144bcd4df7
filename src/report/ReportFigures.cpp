#include "report/ReportFigures.h"

#include "analysis/FigureEngine.h"
#include "analysis/GroupKeys.h"
#include "analysis/MinuteHistogram.h"
#include "analysis/RadixSort.h"
#include "core/DataBase.h"

#include <algorithm>

namespace report {
namespace {

using analysis::FigureEngine;
using analysis::Grouping;

constexpr Grouping kParetoGroupings[] = {Grouping::Category, Grouping::Language, Grouping::Project};

// The median of all minutes by the analysis library's histogram, built from
// sorted runs (adding a million entries one by one would shift its runs).
double MedianMinutes(std::span<const TDataRecord* const> entries) {
    std::vector<std::uint32_t> minutes;
    minutes.reserve(entries.size());
    for (const TDataRecord* record : entries)
        minutes.push_back(record->TimeNeeded);
    analysis::RadixSort(minutes);
    analysis::MinuteHistogram histogram;
    for (std::size_t i = 0; i < minutes.size();) {
        std::size_t end = i + 1;
        while (end < minutes.size() && minutes[end] == minutes[i])
            ++end;
        histogram.Append({minutes[i], static_cast<std::uint32_t>(end - i)});
        i = end;
    }
    return histogram.Median();
}

Totals TotalsOf(const FigureEngine& engine, std::span<const TDataRecord* const> entries) {
    Totals totals;
    totals.entries = engine.EntryCount();
    totals.minutes = engine.TotalMinutes();
    if (totals.entries > 0)
        totals.meanMinutes =
            static_cast<double>(totals.minutes) / static_cast<double>(totals.entries);
    totals.medianMinutes = MedianMinutes(entries);
    return totals;
}

// Every month of `months` (twelve, unless the calendar begins within them),
// empty ones as zero.
std::vector<analysis::MonthPoint> MonthTrend(const FigureEngine& engine, const Period& months) {
    const CivilDate first = *DecodeDate(static_cast<double>(months.first));
    const CivilDate last = *DecodeDate(static_cast<double>(months.last));
    const int firstMonth = first.year * 12 + first.month - 1;
    const int count = last.year * 12 + last.month - firstMonth;
    std::vector<analysis::MonthPoint> trend(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        trend[static_cast<std::size_t>(i)].Year = (firstMonth + i) / 12;
        trend[static_cast<std::size_t>(i)].Month = (firstMonth + i) % 12 + 1;
    }
    for (const analysis::MonthPoint& point : engine.MonthSeries()) {
        const int at = point.Year * 12 + point.Month - 1 - firstMonth;
        if (at >= 0 && at < count)
            trend[static_cast<std::size_t>(at)] = point;
    }
    return trend;
}

std::vector<ExpensiveEntry> MostExpensive(std::span<const TDataRecord* const> entries) {
    std::vector<const TDataRecord*> top(std::min(entries.size(), kExpensiveEntries));
    std::partial_sort_copy(entries.begin(), entries.end(), top.begin(), top.end(),
                           [](const TDataRecord* a, const TDataRecord* b) {
                               if (a->TimeNeeded != b->TimeNeeded)
                                   return a->TimeNeeded > b->TimeNeeded;
                               if (a->Date != b->Date)
                                   return a->Date < b->Date;
                               return a->ID < b->ID;
                           });
    std::vector<ExpensiveEntry> expensive;
    for (const TDataRecord* record : top) {
        const std::string_view description = record->Description();
        expensive.push_back({record->ID, record->Date, record->TimeNeeded, record->Language(),
                             record->ErrorType(), record->Project(),
                             std::string(description.substr(0, kDescriptionBytes)),
                             description.size() > kDescriptionBytes});
    }
    return expensive;
}

// The values of one list that entries of the period have and no entry before
// it: an entry without calendar day may be older than the period, so its
// values count as known.
std::vector<std::string> NewValues(const TDataBase& database, Grouping grouping,
                                   std::span<const TDataRecord* const> entries,
                                   const Period& period) {
    analysis::GroupKeys keys(database, grouping);
    std::vector<std::uint8_t> seen; // bit 0: in the period, bit 1: known before
    for (const TDataRecord* record : entries) {
        const auto day = DayNumber(record->Date);
        std::uint8_t mark = 0;
        if (!day || *day < period.first)
            mark = 2;
        else if (*day <= period.last)
            mark = 1;
        if (mark == 0)
            continue;
        const std::uint32_t group = keys.GroupOfCached(*record);
        if (group >= seen.size())
            seen.resize(std::size_t{group} + 1, 0);
        seen[group] |= mark;
    }
    keys.ForgetSpellings();
    std::vector<std::uint32_t> fresh;
    for (std::uint32_t group = 0; group < seen.size(); ++group)
        if (seen[group] == 1)
            fresh.push_back(group);
    std::sort(fresh.begin(), fresh.end(), [&keys](std::uint32_t a, std::uint32_t b) {
        const auto x = keys.Order(a);
        const auto y = keys.Order(b);
        return x != y ? x < y : keys.Label(a) < keys.Label(b);
    });
    std::vector<std::string> values;
    for (const std::uint32_t group : fresh)
        values.push_back(keys.Label(group));
    return values;
}

} // namespace

ReportFigures ComputeReport(const TDataBase& database, std::span<const TDataRecord* const> entries,
                            const Period& period) {
    ReportFigures figures;
    figures.period = period;
    figures.previous = PreviousPeriod(period);
    figures.trendMonths = TrendMonths(period);

    std::vector<const TDataRecord*> current, before, trend;
    for (const TDataRecord* record : entries) {
        const auto day = DayNumber(record->Date);
        if (!day) {
            ++figures.undated;
            continue;
        }
        if (period.Contains(*day))
            current.push_back(record);
        else if (figures.previous.Contains(*day))
            before.push_back(record);
        if (figures.trendMonths.Contains(*day))
            trend.push_back(record);
    }

    FigureEngine engine(database);
    for (std::size_t i = 0; i < figures.pareto.size(); ++i) {
        ParetoFigures& pareto = figures.pareto[i];
        pareto.grouping = kParetoGroupings[i];
        engine.Recompute(pareto.grouping, current);
        pareto.rows = engine.Table(kParetoMeasure);
        pareto.bars = engine.Pareto(kParetoMeasure);
        if (i == 0)
            figures.current = TotalsOf(engine, current);
    }
    engine.Recompute(Grouping::Month, before);
    figures.before = TotalsOf(engine, before);
    engine.Recompute(Grouping::Month, trend);
    figures.trend = MonthTrend(engine, figures.trendMonths);

    figures.expensive = MostExpensive(current);
    figures.firstSeen.languages = NewValues(database, Grouping::Language, entries, period);
    figures.firstSeen.categories = NewValues(database, Grouping::Category, entries, period);
    figures.firstSeen.projects = NewValues(database, Grouping::Project, entries, period);
    return figures;
}

std::optional<double> ChangePercent(double before, double now) {
    if (before == 0.0)
        return std::nullopt;
    return 100.0 * (now - before) / before;
}

} // namespace report
