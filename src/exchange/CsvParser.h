#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// Splits CSV text into records with libcsv (RFC 4180 quoting; quoted fields
// may hold separators, quotes and line breaks). The text is handed to libcsv
// one physical line at a time, so every record knows the line on which it
// starts and its own bytes. Blanks around fields are kept.
namespace exchange {

struct CsvRecord {
    std::size_t line = 0;  // physical line (from 1) on which the record starts
    std::string_view text; // the record's bytes without its final line break
    std::span<const std::string> fields;
};

struct CsvEvents {
    std::function<void(const CsvRecord&)> record;
    // A quote where RFC 4180 allows none (inside an unquoted field, or after
    // a closing quote): the record up to the end of that line is skipped and
    // reading goes on with the next line. `fields` is empty.
    std::function<void(const CsvRecord&)> misplacedQuote;
};

struct CsvEnd {
    // 0 when the text ended properly, otherwise the line on which the quoted
    // field begins that is still open at the end of the text (whose record is
    // not reported).
    std::size_t openQuote = 0;
    std::size_t lines = 0; // physical lines read
};

// Parses `text` (without byte order mark), whose first line has the number
// `firstLine`. Lines end with CR LF, LF or CR; empty lines between records
// are skipped.
CsvEnd ParseCsv(std::string_view text, char separator, const CsvEvents& events,
                std::size_t firstLine = 1);

} // namespace exchange
