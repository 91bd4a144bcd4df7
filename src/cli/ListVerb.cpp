#include "cli/DatabaseSession.h"
#include "cli/EntryList.h"
#include "cli/Verbs.h"
#include "exchange/CsvWriter.h"

#include <ostream>

int RunList(const Verb& verb, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    const bool loaded = session.Open(verb.file);

    // Plain CSV for scripts: comma, no byte order mark, the ID in front, the
    // texts as they are (no marks for spreadsheets).
    const exchange::CsvFormat format{',', false, true, false};
    if (!exchange::WriteCsv(out, AllEntries(session.db), format)) {
        err << "mvd: Die Ausgabe konnte nicht geschrieben werden.\n";
        return 1;
    }
    return loaded ? 0 : 1;
}
