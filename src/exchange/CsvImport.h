#pragma once

#include "exchange/CsvReader.h"

#include <cstddef>
#include <string>

// The report of an import (the read entries go to TDataBase::AddRecords, or
// to the command layer's import).
namespace exchange {

// "n Einträge importiert, k Duplikate übersprungen, f Zeilen fehlerhaft"
std::string ImportSummary(std::size_t imported, std::size_t duplicates, std::size_t refused);
// "Zeile 7: <reason>", then the row's text indented on the following lines.
std::string RefusedRowReport(const RefusedRow& row);

} // namespace exchange
