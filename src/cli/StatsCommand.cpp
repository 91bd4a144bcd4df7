#include "analysis/FigureEngine.h"
#include "analysis/TableCsv.h"
#include "cli/Commands.h"
#include "cli/DatabaseSession.h"
#include "cli/EntryList.h"

#include <ostream>

int RunStats(const Command& command, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    // As with `list`, the entries read before a load error are counted.
    const bool loaded = session.Open(command.file);
    analysis::FigureEngine figures(session.db);
    figures.Recompute(command.stats.grouping, AllEntries(session.db));
    out << analysis::TableCsv(figures.Table(command.stats.measure), command.stats.grouping);
    out.flush();
    if (!out) {
        err << "mvd: Die Ausgabe konnte nicht geschrieben werden.\n";
        return 1;
    }
    return loaded ? 0 : 1;
}
