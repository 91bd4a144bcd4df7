#pragma once

#include <cstdint>
#include <string>

// What the analysis shows: rows of the table, bars of the Pareto chart and
// points of the monthly series. Texts are Windows-1252 bytes; percentages
// run from 0 to 100 and are 0 when there is nothing to share.
namespace analysis {

struct TableRow {
    std::string Group;
    std::int64_t Order = 0; // place in the grouping's own order, to sort the group column
    std::uint64_t Count = 0;
    double CountShare = 0.0; // of all counted entries
    double Cumulative = 0.0; // of the chosen measure, summed in Pareto order up to this row
    std::uint64_t Minutes = 0;
    double MinutesShare = 0.0; // of all counted minutes
    double MeanMinutes = 0.0;
    double MedianMinutes = 0.0; // of an even count the mean of the two middle values
};

struct ParetoBar {
    std::string Group;
    bool Rest = false;       // the bar "übrige" of every group beyond the largest
    std::uint64_t Value = 0; // of the chosen measure
    double Cumulative = 0.0; // percent, summed in Pareto order up to this bar
};

struct MonthPoint {
    int Year = 0;
    int Month = 0; // 1 .. 12
    std::uint64_t Count = 0;
    std::uint64_t Minutes = 0;
};

} // namespace analysis
