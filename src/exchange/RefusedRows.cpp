#include "exchange/RefusedRows.h"

#include "exchange/CsvParser.h"
#include "fileio/PlacedReader.h"

#include <stdexcept>

namespace exchange {

namespace {

constexpr std::size_t ShownRowLength = 500;               // characters of a row's text
constexpr std::size_t RecordBlock = std::size_t{1} << 20; // read at once from the file

const char* GeneralReason(RefusalKind kind) {
    switch (kind) {
    case RefusalKind::FieldCount:
        return "falsche Anzahl Felder";
    case RefusalKind::Unstorable:
        return "enth\u00E4lt Zeichen, die eine Mavrolin-Datenbank nicht speichern kann";
    case RefusalKind::Date:
        return "ung\u00FCltiges Datum";
    case RefusalKind::Minutes:
        return "ung\u00FCltiger Aufwand";
    case RefusalKind::MisplacedQuote:
        break;
    }
    return "Anf\u00FChrungszeichen an falscher Stelle";
}

// The refusal of the one row in `record`, as the read found it; nothing when
// the bytes give no refused row.
std::optional<RowRefusal> RefusalOf(const RowLayout& layout, std::string_view record) {
    thread_local RowTexts scratch; // the row's texts are not kept
    std::optional<RowRefusal> found;
    CsvEvents events;
    events.record = [&](const CsvRecord& row) {
        scratch.Rewind();
        TRecordView entry;
        if (!found)
            found = ToEntry(layout, row.fields, scratch, entry);
    };
    events.misplacedQuote = [&](const CsvRecord&) {
        if (!found)
            found =
                RowRefusal{RefusalKind::MisplacedQuote, GeneralReason(RefusalKind::MisplacedQuote)};
    };
    if (ParseCsv(record, layout.separator, events).openQuote != 0)
        return std::nullopt;
    return found;
}

} // namespace

std::string RefusalReason(const RowLayout& layout, const RefusedRow& row, std::string_view record) {
    if (!record.empty())
        if (std::optional<RowRefusal> refusal = RefusalOf(layout, record);
            refusal && refusal->kind == row.kind)
            return std::move(refusal->reason);
    return GeneralReason(row.kind);
}

std::string RefusedRowText(const RowLayout& layout, std::string_view record) {
    return DisplayText(record, layout.encoding, ShownRowLength);
}

std::string RefusedRowReport(const RowLayout& layout, const RefusedRow& row,
                             std::string_view record) {
    std::string report =
        "Zeile " + std::to_string(row.line) + ": " + RefusalReason(layout, row, record);
    if (record.empty())
        return report;
    report += "\n    ";
    for (char c : RefusedRowText(layout, record)) {
        if (c == '\n')
            report += "\n    ";
        else if (c != '\r')
            report += c;
    }
    return report;
}

RefusedRecords::RefusedRecords(const std::string& path, const fileio::FileStamp& stamp)
    : stamp_(stamp) {
    if (!stamp.exists)
        return;
    try {
        file_ = std::make_unique<fileio::PlacedReader>(path);
    } catch (const std::runtime_error&) {
        return;
    }
    if (file_->Stamp() != stamp_)
        file_.reset();
}

RefusedRecords::~RefusedRecords() = default;

std::string_view RefusedRecords::Record(const RefusedRow& row) {
    if (!file_)
        return {};
    if (row.offset < blockStart_ || row.offset + row.length > blockStart_ + blockSize_) {
        // A file that changed since it was read gives no more records.
        if (file_->Stamp() != stamp_) {
            file_.reset();
            return {};
        }
        block_.resize(std::max<std::size_t>(RecordBlock, row.length));
        blockStart_ = row.offset;
        try {
            blockSize_ = file_->ReadAt(row.offset, block_.data(), block_.size());
        } catch (const std::runtime_error&) {
            blockSize_ = 0;
        }
        if (blockSize_ < row.length)
            return {};
    }
    return {block_.data() + (row.offset - blockStart_), row.length};
}

} // namespace exchange
