#pragma once

#include "analysis/FigureRows.h"
#include "analysis/Grouping.h"
#include "report/Period.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class TDataBase;
class TDataRecord;

// The figures of a review report: what the entries of a period cost, by
// category, language and project, compared with the period before, with the
// month trend, the most expensive entries and the values met for the first
// time. Sums, shares, Pareto order and medians are the analysis library's
// own (FigureEngine, MinuteHistogram), counted over the entries of the
// period. Texts are Windows-1252 bytes, as the data core keeps them.
namespace report {

struct Totals {
    std::uint64_t entries = 0;
    std::uint64_t minutes = 0;
    double meanMinutes = 0.0;   // 0 without entries
    double medianMinutes = 0.0; // of an even count the mean of the two middle values
};

// One grouping's Pareto figures, ordered by minutes: every group's table row
// and the chart's bars (the largest groups plus "übrige").
struct ParetoFigures {
    analysis::Grouping grouping = analysis::Grouping::Category;
    std::vector<analysis::TableRow> rows;
    std::vector<analysis::ParetoBar> bars;
};

struct ExpensiveEntry {
    std::uint32_t id = 0;
    double date = 0.0;
    std::uint32_t minutes = 0;
    std::string language;
    std::string category;
    std::string project;
    std::string description; // at most kDescriptionBytes bytes of it
    bool descriptionCut = false;
};

struct FirstSeen {
    std::vector<std::string> languages; // in value-list order
    std::vector<std::string> categories;
    std::vector<std::string> projects;
};

struct ReportFigures {
    Period period;
    Period previous; // the period before, as long (PreviousPeriod)
    Period trendMonths;
    Totals current;
    Totals before;
    std::uint64_t undated = 0; // given entries whose date is no calendar day: in no period
    // By category, language and project, in that order.
    std::array<ParetoFigures, 3> pareto;
    // The months of trendMonths, oldest first, empty months as zero: twelve,
    // unless the calendar begins within them.
    std::vector<analysis::MonthPoint> trend;
    // At most ten entries of the period, most minutes first (equal minutes
    // by date, then by ID).
    std::vector<ExpensiveEntry> expensive;
    FirstSeen firstSeen;
};

constexpr std::size_t kExpensiveEntries = 10;
// A description is kept to this many bytes: two printed lines never need more.
constexpr std::size_t kDescriptionBytes = 400;
// The measure that orders the Pareto tables and charts: the minutes spent.
constexpr analysis::Measure kParetoMeasure = analysis::Measure::Minutes;

// Counts the report of `period` over `entries` (each entry once, e.g. those
// the main list shows or the whole database). The database names and orders
// the groups and must be the entries' own.
ReportFigures ComputeReport(const TDataBase& database, std::span<const TDataRecord* const> entries,
                            const Period& period);

// Change from `before` to `now` in percent; nothing when `before` is zero.
std::optional<double> ChangePercent(double before, double now);

} // namespace report
