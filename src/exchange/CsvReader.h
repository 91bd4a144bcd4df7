#pragma once

#include "core/DataRecord.h"
#include "exchange/Progress.h"
#include "exchange/RefusedRows.h"
#include "exchange/RowTexts.h"
#include "fileio/FileStamp.h"

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

struct CsvReadResult {
    // The rows read as entries, in file order, ready for TDataBase::AddRecords;
    // their texts lie in `texts`.
    std::vector<TRecordView> entries;
    std::vector<std::size_t> lines; // where each entry's row starts
    RowTexts texts;

    // The refused rows, in file order, and what their reasons are found again
    // with (RefusedRows.h) from their bytes: RecordOf while the bytes are
    // kept, else from the file.
    std::vector<RefusedRow> refused;
    RowLayout layout;
    // The bytes read: the caller's for ReadCsv; the file's own for
    // ReadCsvFile, kept only when rows were refused (ReleaseSource drops
    // them), with the stamp of the file they were read from (empty when it
    // changed during the read).
    std::string_view source;
    std::unique_ptr<const char[]> ownedSource;
    fileio::FileStamp sourceStamp;
    // The bytes of a refused row while the source is kept, else empty.
    [[nodiscard]] std::string_view RecordOf(const RefusedRow& row) const {
        return row.offset + row.length <= source.size() ? source.substr(row.offset, row.length)
                                                        : std::string_view();
    }
    void ReleaseSource() {
        source = {};
        ownedSource.reset();
    }

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
