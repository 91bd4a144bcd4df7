#pragma once

#include "core/DataRecord.h"
#include "exchange/Progress.h"

#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

// CSV output of entries after RFC 4180: records end with CR LF; a field that
// holds the separator, a double quote, a carriage return or a line feed is
// quoted, its quotes doubled and its line breaks kept. Text is UTF-8, Datum
// dd.mm.yyyy (empty when the date is no calendar day), Aufwand whole minutes.
// For spreadsheets, a text that they would take for a formula is marked as
// text by a leading apostrophe (TextMark.h), which the import takes off.
namespace exchange {

struct CsvFormat {
    char separator = ';';
    bool byteOrderMark = true; // UTF-8 byte order mark before the header
    bool idColumn = false;     // a leading "ID" column with the entry's ID
    bool textMarks = true;     // texts that look like formulas marked with an apostrophe
};

// What German spreadsheets open without a wizard.
inline constexpr CsvFormat SpreadsheetCsv{';', true, false, true};

// Appends one UTF-8 text field for spreadsheets, quoted only when needed and
// marked as text where it would be taken for a formula.
void AppendCsvField(std::string& out, std::string_view utf8, char separator);

// Receives the output in blocks of about 64 KiB.
using CsvSink = std::function<void(std::string_view block)>;

// The header and one record per entry, in the order given; the steps of
// `progress` are entries. Returns false when `progress` cancelled (the sink
// has then had part of the text).
bool WriteCsv(const CsvSink& sink, std::span<const TDataRecord* const> entries,
              const CsvFormat& format, const Progress& progress = {});
// Returns false when the stream failed.
bool WriteCsv(std::ostream& out, std::span<const TDataRecord* const> entries,
              const CsvFormat& format);
// Writes the file `path` (replaced only when complete); throws
// std::runtime_error with a German message when that fails. Returns false
// when `progress` cancelled: then nothing was written.
bool ExportCsvFile(const std::string& path, std::span<const TDataRecord* const> entries,
                   const CsvFormat& format, const Progress& progress = {});

} // namespace exchange
