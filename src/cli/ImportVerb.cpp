#include "cli/DatabaseSession.h"
#include "cli/Interruption.h"
#include "cli/TerminalProgress.h"
#include "cli/Verbs.h"
#include "core/Errors.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvReader.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

// What is said about one CSV file once the import is saved: its summary (or
// why nothing of it was imported) and its refused rows, kept compactly with
// the file's bytes.
struct SourceReport {
    std::string summary;
    exchange::CsvReadResult read;
};

// Standard error writes through at every insertion; a million refused rows
// go out in blocks instead of three writes a row.
void Print(std::ostream& err, const SourceReport& report) {
    constexpr std::size_t BlockSize = std::size_t{64} << 10;
    std::string block = report.summary + '\n';
    for (const exchange::RefusedRow& row : report.read.refused) {
        block += "  ";
        block += exchange::RefusedRowReport(report.read.layout, row, report.read.RecordOf(row));
        block += '\n';
        if (block.size() >= BlockSize) {
            err.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    err.write(block.data(), static_cast<std::streamsize>(block.size()));
}

} // namespace

int RunImport(const Verb& verb, std::ostream& /*out*/, std::ostream& err) {
    const Interruption interruption;
    DatabaseSession session(err);
    if (!session.OpenForChange(verb.file, /*missingIsNew=*/true))
        return 1;

    bool everyRowTaken = true;
    std::size_t imported = 0;
    std::vector<SourceReport> reports;
    for (const std::string& source : verb.sources) {
        exchange::CsvReadResult read;
        {
            TerminalProgress shown("mvd: Import " + source);
            read = exchange::ReadCsvFile(source, shown.Callback());
        }
        if (read.cancelled)
            break;
        if (!read.failure.empty()) {
            reports.push_back(
                {source + ": " + GeneralReportText(read.failure) + " Es wurde nichts importiert.",
                 {}});
            everyRowTaken = false;
            continue;
        }
        const std::size_t refused = read.refused.size();
        std::vector<std::uint32_t> ids;
        const std::size_t added = session.db.AddRecords(read.entries, ids);
        imported += added;
        std::string summary =
            source + ": " + exchange::ImportSummary(added, read.entries.size() - added, refused);
        // The database holds the entries now; only the refused rows stay.
        std::vector<TRecordView>().swap(read.entries);
        std::vector<std::size_t>().swap(read.lines);
        read.texts = exchange::RowTexts();
        reports.push_back({std::move(summary), std::move(read)});
        everyRowTaken = everyRowTaken && refused == 0;
    }
    // An interrupted import saves nothing, also not the files read before.
    if (Interruption::Signal() != 0) {
        for (const SourceReport& report : reports)
            Print(err, report);
        err << "mvd: Abgebrochen; " << verb.file << " wurde nicht ver\u00E4ndert.\n";
        return Interruption::ExitStatus();
    }
    // Saved only when something was added; the good rows are kept even when
    // others were refused. The reports follow the save, so that an output
    // that closes early ("| head -1") loses nothing of the import.
    const bool saved = imported == 0 || session.Save();
    for (const SourceReport& report : reports)
        Print(err, report);
    if (!saved)
        return 1;
    return everyRowTaken ? 0 : 1;
}
