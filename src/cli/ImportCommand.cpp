#include "cli/Commands.h"
#include "cli/DatabaseSession.h"
#include "cli/Interruption.h"
#include "cli/TerminalProgress.h"
#include "core/Errors.h"
#include "exchange/CsvImport.h"

#include <ostream>

int RunImport(const Command& command, std::ostream& /*out*/, std::ostream& err) {
    const Interruption interruption;
    DatabaseSession session(err);
    if (!session.OpenForChange(command.file, /*missingIsNew=*/true))
        return 1;

    bool everyRowTaken = true;
    std::size_t imported = 0;
    for (const std::string& source : command.sources) {
        exchange::CsvReadResult read;
        {
            TerminalProgress shown("mvd: Import " + source);
            read = exchange::ReadCsvFile(source, shown.Callback());
        }
        if (read.cancelled)
            break;
        if (!read.failure.empty()) {
            err << source << ": " << GeneralReportText(read.failure)
                << " Es wurde nichts importiert.\n";
            everyRowTaken = false;
            continue;
        }
        const std::size_t refused = read.refused.size();
        const exchange::AddOutcome added =
            exchange::AddImportedRows(session.db, std::move(read.rows));
        imported += added.imported;
        err << source << ": " << exchange::ImportSummary(added.imported, added.duplicates, refused)
            << '\n';
        for (const exchange::RefusedRow& row : read.refused)
            err << "  " << exchange::RefusedRowReport(row) << '\n';
        everyRowTaken = everyRowTaken && refused == 0;
    }
    // An interrupted import saves nothing, also not the files read before.
    if (Interruption::Signal() != 0) {
        err << "mvd: Abgebrochen; " << command.file << " wurde nicht ver\u00E4ndert.\n";
        return Interruption::ExitStatus();
    }
    // Saved only when something was added; the good rows are kept even when
    // others were refused.
    if (imported > 0 && !session.Save())
        return 1;
    return everyRowTaken ? 0 : 1;
}
