#include "analysis/FigureEngine.h"
#include "analysis/TableCsv.h"
#include "cli/DatabaseSession.h"
#include "cli/EntryList.h"
#include "cli/Verbs.h"

#include <ostream>

int RunStats(const Verb& verb, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    // As with `list`, the entries read before a load error are counted.
    const bool loaded = session.Open(verb.file);
    analysis::FigureEngine figures(session.db);
    figures.Recompute(verb.stats.grouping, AllEntries(session.db));
    out << analysis::TableCsv(figures.Table(verb.stats.measure), verb.stats.grouping);
    out.flush();
    if (!out) {
        err << "mvd: Die Ausgabe konnte nicht geschrieben werden.\n";
        return 1;
    }
    return loaded ? 0 : 1;
}
