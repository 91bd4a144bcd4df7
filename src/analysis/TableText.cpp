#include "analysis/TableText.h"

#include "analysis/GermanNumbers.h"

namespace analysis {

std::string ColumnCaption(TableColumn column, Grouping grouping) {
    switch (column) {
    case TableColumn::Group:
        return GroupingCaption(grouping);
    case TableColumn::Count:
        return "Anzahl";
    case TableColumn::CountShare:
    case TableColumn::MinutesShare:
        return "Anteil %";
    case TableColumn::Cumulative:
        return "kumuliert %";
    case TableColumn::Minutes:
        return "Aufwand gesamt";
    case TableColumn::MeanMinutes:
        return "Aufwand Mittel";
    case TableColumn::MedianMinutes:
        return "Aufwand Median";
    }
    return {};
}

std::string CellText(const TableRow& row, TableColumn column) {
    switch (column) {
    case TableColumn::Group:
        return row.Group;
    case TableColumn::Count:
        return FormatInteger(row.Count);
    case TableColumn::CountShare:
        return FormatPercent(row.CountShare);
    case TableColumn::Cumulative:
        return FormatPercent(row.Cumulative);
    case TableColumn::Minutes:
        return FormatHoursMinutes(row.Minutes);
    case TableColumn::MinutesShare:
        return FormatPercent(row.MinutesShare);
    case TableColumn::MeanMinutes:
        return FormatDecimal(row.MeanMinutes, 1);
    case TableColumn::MedianMinutes:
        return FormatDecimal(row.MedianMinutes, 1);
    }
    return {};
}

} // namespace analysis
