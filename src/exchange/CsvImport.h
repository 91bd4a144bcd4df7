#pragma once

#include "core/DataBase.h"
#include "exchange/CsvReader.h"

#include <cstdint>
#include <string>
#include <vector>

// Adding read rows to a database through its duplicate rule, and the report
// of an import.
namespace exchange {

struct AddOutcome {
    std::size_t imported = 0;
    std::size_t duplicates = 0; // of the database or of an earlier row
    std::vector<std::uint32_t> addedIds;
};

// Adds the entries in row order; a duplicate stays out and is counted. The
// rows' texts lie in the CsvReadResult that read them, which must still live.
AddOutcome AddImportedRows(TDataBase& db, std::vector<ImportedRow>&& rows);

// "n Einträge importiert, k Duplikate übersprungen, f Zeilen fehlerhaft"
std::string ImportSummary(std::size_t imported, std::size_t duplicates, std::size_t refused);
// "Zeile 7: <reason>", then the row's text indented on the following lines.
std::string RefusedRowReport(const RefusedRow& row);

} // namespace exchange
