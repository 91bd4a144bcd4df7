#include "cli/DatabaseSession.h"
#include "cli/Verbs.h"
#include "cli/Interruption.h"
#include "cli/TerminalProgress.h"
#include "core/Errors.h"
#include "exchange/CsvImport.h"

#include <cstdint>
#include <ostream>
#include <vector>

int RunImport(const Verb& verb, std::ostream& /*out*/, std::ostream& err) {
    const Interruption interruption;
    DatabaseSession session(err);
    if (!session.OpenForChange(verb.file, /*missingIsNew=*/true))
        return 1;

    bool everyRowTaken = true;
    std::size_t imported = 0;
    for (const std::string& source : verb.sources) {
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
        std::vector<std::uint32_t> ids;
        const std::size_t added = session.db.AddRecords(read.entries, ids);
        imported += added;
        err << source << ": "
            << exchange::ImportSummary(added, read.entries.size() - added, refused) << '\n';
        for (const exchange::RefusedRow& row : read.refused)
            err << "  " << exchange::RefusedRowReport(row) << '\n';
        everyRowTaken = everyRowTaken && refused == 0;
    }
    // An interrupted import saves nothing, also not the files read before.
    if (Interruption::Signal() != 0) {
        err << "mvd: Abgebrochen; " << verb.file << " wurde nicht ver\u00E4ndert.\n";
        return Interruption::ExitStatus();
    }
    // Saved only when something was added; the good rows are kept even when
    // others were refused.
    if (imported > 0 && !session.Save())
        return 1;
    return everyRowTaken ? 0 : 1;
}
