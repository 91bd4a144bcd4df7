#pragma once

#include "analysis/FigureRows.h"
#include "analysis/Grouping.h"

#include <string>
#include <vector>

// The analysis table as CSV for spreadsheets, by the exchange's rules: UTF-8
// with a byte order mark, the separator, CR LF after each record, fields
// quoted where needed. The header holds the column captions, each row the
// cells as the window shows them (German numbers, so the separator is a
// semicolon by default).
namespace analysis {

std::string TableCsv(const std::vector<TableRow>& rows, Grouping grouping, char separator = ';');

} // namespace analysis
