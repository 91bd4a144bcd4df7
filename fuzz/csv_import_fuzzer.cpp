// Reads arbitrary bytes as an imported CSV file and checks what came out:
// a refused file has no rows, line numbers grow, the reason of every refused
// row is found again from its bytes, every accepted row survives being
// written as CSV and read again unchanged, and adding the rows to a database
// accounts for each of them.

#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "exchange/RefusedRows.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "csv_import_fuzzer: %s\n", what);
        std::abort();
    }
}

bool SameEntry(const TRecordView& a, const TRecordView& b) {
    return a.Language == b.Language && a.ErrorType == b.ErrorType && a.Project == b.Project &&
           FormatDate(a.Date) == FormatDate(b.Date) && a.TimeNeeded == b.TimeNeeded &&
           a.Description == b.Description;
}

std::size_t LineOf(std::size_t line) {
    return line;
}
std::size_t LineOf(const exchange::RefusedRow& row) {
    return row.line;
}

template <class Rows> bool LinesGrow(const Rows& rows) {
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (LineOf(rows[i]) <= LineOf(rows[i - 1]))
            return false;
    return rows.empty() || LineOf(rows.front()) >= 2; // the header comes first
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    exchange::CsvReadResult read = exchange::ReadCsv(bytes);
    if (!read.failure.empty()) {
        Require(read.entries.empty() && read.lines.empty() && read.refused.empty(),
                "a refused file kept rows");
        return 0;
    }
    Require(read.lines.size() == read.entries.size(), "an entry without its line");
    Require(LinesGrow(read.lines) && LinesGrow(read.refused), "line numbers out of order");
    for (const exchange::RefusedRow& row : read.refused) {
        const std::string_view record = read.RecordOf(row);
        Require(!record.empty(), "refused row without its bytes");
        // Found again, the reason is a particular one (bar a misplaced
        // quote's, which has no particulars), not the general one of its kind.
        Require(row.kind == exchange::RefusalKind::MisplacedQuote ||
                    exchange::RefusalReason(read.layout, row, record) !=
                        exchange::RefusalReason(read.layout, row, {}),
                "refused row's reason not found again");
    }

    // Written out and read again, the accepted rows come back unchanged.
    // Each row held by an empty database of its own, so that none is refused.
    // The databases live across runs and are cleared after each: a new one
    // costs its default lists, which took half the run time.
    static std::vector<std::unique_ptr<TDataBase>> holders;
    while (holders.size() < read.entries.size())
        holders.push_back(std::make_unique<TDataBase>());
    std::vector<const TDataRecord*> entries;
    for (std::size_t i = 0; i < read.entries.size(); ++i)
        entries.push_back(holders[i]->AddRecord(read.entries[i]));
    for (const char separator : {';', ',', '\t'}) {
        std::string csv;
        exchange::WriteCsv([&csv](std::string_view block) { csv += block; }, entries,
                           {separator, separator != ',', false});
        exchange::CsvReadResult again = exchange::ReadCsv(csv);
        Require(again.failure.empty() && again.refused.empty(), "own output refused");
        Require(again.entries.size() == read.entries.size(), "own output lost rows");
        for (std::size_t i = 0; i < again.entries.size(); ++i)
            Require(SameEntry(again.entries[i], read.entries[i]), "entry changed");
    }

    // What a run allocates is freed in the same run, or libFuzzer suspects a
    // leak and runs the input again.
    for (std::size_t i = 0; i < entries.size(); ++i)
        holders[i]->Clear();

    static TDataBase db;
    std::vector<std::uint32_t> ids;
    const std::size_t added = db.AddRecords(read.entries, ids);
    Require(added <= read.entries.size(), "rows lost on the way in");
    Require(added == static_cast<std::size_t>(db.Count()) && ids.size() == added,
            "imported count wrong");
    db.Clear();
    return 0;
}
