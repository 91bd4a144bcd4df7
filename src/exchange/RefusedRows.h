#pragma once

#include "exchange/RowConverter.h"
#include "fileio/FileStamp.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fileio {
class PlacedReader;
}

// The refused rows of an import, kept compactly (line, kind of reason, the
// row's place in the file) and told in full only when they are reported:
// the reason and the row's text are found again from the row's bytes.
namespace exchange {

struct RefusedRow {
    std::uint64_t line = 0;   // the physical line on which the row starts
    std::uint64_t offset = 0; // where its bytes start in the file
    std::uint32_t length = 0; // its bytes up to the end of its last line
    RefusalKind kind = RefusalKind::FieldCount;
};

// The reason of `row` (German), found again in `record`, its bytes as the
// file holds them. When they do not give the same kind of reason (the file
// has changed) or are empty (it could not be read), the general reason of
// the row's kind.
std::string RefusalReason(const RowLayout& layout, const RefusedRow& row, std::string_view record);
// The row's text for showing it (UTF-8), cut after 500 characters.
std::string RefusedRowText(const RowLayout& layout, std::string_view record);
// "Zeile 7: <reason>", then the row's text indented on the following lines.
std::string RefusedRowReport(const RowLayout& layout, const RefusedRow& row,
                             std::string_view record);

// The records of refused rows read again from the file that the import read
// (for a report that shows them when it needs them). Only the very file of
// that read is read, as its stamp says; for any other, or when it cannot be
// read, every record is empty.
class RefusedRecords {
public:
    RefusedRecords(const std::string& path, const fileio::FileStamp& stamp);
    ~RefusedRecords();
    RefusedRecords(const RefusedRecords&) = delete;
    RefusedRecords& operator=(const RefusedRecords&) = delete;

    // False when the records cannot be read (the file is gone or changed;
    // a change is noticed at each read from the file).
    [[nodiscard]] bool Readable() const { return file_ != nullptr; }
    // The bytes of `row`, valid until the next call. Rows read in file order
    // are read in blocks.
    std::string_view Record(const RefusedRow& row);

private:
    fileio::FileStamp stamp_;
    std::unique_ptr<fileio::PlacedReader> file_;
    std::vector<char> block_;
    std::uint64_t blockStart_ = 0;
    std::size_t blockSize_ = 0; // bytes of block_ that hold the file from blockStart_
};

} // namespace exchange
