#pragma once

#include "core/DataRecord.h"
#include "exchange/Progress.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Reads entries from a CSV file: the separator (semicolon, comma or tab) is
// taken from the header line, the encoding is UTF-8 (with or without byte
// order mark) or else Windows-1252, and the header names the columns (German
// or English, any order, any letter case; unknown columns are ignored). Each
// further row becomes an entry or is refused with its reason; rows whose
// fields are all blank are skipped. Line numbers are the file's physical lines.
namespace exchange {

// The texts of read rows, in blocks that stay where they are while the
// result lives (also when it is moved).
class RowTexts {
public:
    // Room for `size` bytes after the last text.
    char* Room(std::size_t size);
    // Keeps the first `used` bytes of the room last given (`at`).
    std::string_view Keep(const char* at, std::size_t used);
    // Takes over the texts of `other`.
    void Adopt(RowTexts&& other);

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
};

struct RefusedRow {
    std::size_t line = 0;
    std::string reason; // German, UTF-8
    std::string text;   // the row as it stands in the file (UTF-8, cut when long)
};

struct CsvReadResult {
    // The rows read as entries, in file order, ready for TDataBase::AddRecords;
    // their texts lie in `texts`.
    std::vector<TRecordView> entries;
    std::vector<std::size_t> lines; // where each entry's row starts
    RowTexts texts;

    std::vector<RefusedRow> refused;
    // When the file as a whole is refused (no CSV, header without a required
    // column, file error): the German message; nothing else is filled in.
    std::string failure;
    // The progress cancelled the read: no rows, no refusals, no failure.
    bool cancelled = false;
};

// A text of more than `parallelAbove` bytes is read in two halves at once,
// one of them on a thread of its own; the result is the same. The steps of
// `progress` are bytes of the text.
inline constexpr std::size_t ParallelReadAbove = std::size_t{4} << 20;
CsvReadResult ReadCsv(std::string_view bytes, std::size_t parallelAbove = ParallelReadAbove,
                      const Progress& progress = {});
CsvReadResult ReadCsvFile(const std::string& path, const Progress& progress = {});

} // namespace exchange
