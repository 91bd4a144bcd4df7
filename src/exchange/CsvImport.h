#pragma once

#include <cstddef>
#include <string>

// The report of an import (the read entries go to TDataBase::AddRecords, or
// to the command layer's import; the refused rows are told by RefusedRows.h).
namespace exchange {

// "n Einträge importiert, k Duplikate übersprungen, f Zeilen fehlerhaft"
std::string ImportSummary(std::size_t imported, std::size_t duplicates, std::size_t refused);

} // namespace exchange
