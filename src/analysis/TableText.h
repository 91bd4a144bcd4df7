#pragma once

#include "analysis/FigureRows.h"
#include "analysis/Grouping.h"

#include <string>

// The analysis table as text, the same in the window and in exported or
// printed tables: captions and German-formatted cells (Windows-1252).
namespace analysis {

enum class TableColumn : std::uint8_t {
    Group,
    Count,
    CountShare,
    Cumulative,
    Minutes,
    MinutesShare,
    MeanMinutes,
    MedianMinutes,
};
constexpr int TableColumns = 8;

// The group column is named after the grouping; the others "Anzahl",
// "Anteil %", "kumuliert %", "Aufwand gesamt", "Anteil %", "Aufwand Mittel",
// "Aufwand Median".
std::string ColumnCaption(TableColumn column, Grouping grouping);
// "1.234", "12,5 %", total minutes as "h:mm", mean and median minutes with one
// decimal.
std::string CellText(const TableRow& row, TableColumn column);

} // namespace analysis
