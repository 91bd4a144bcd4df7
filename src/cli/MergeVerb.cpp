#include "cli/DatabaseSession.h"
#include "cli/Verbs.h"

#include <ostream>

int RunMerge(const Verb& verb, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    if (!session.OpenForChange(verb.file, /*missingIsNew=*/false))
        return 1;

    const int before = session.db.Count();
    bool sourcesComplete = true;
    for (const std::string& source : verb.sources)
        sourcesComplete = session.Import(source) && sourcesComplete;
    const int added = session.db.Count() - before;

    // Entries read from a damaged SOURCE before the damage are merged, as the
    // program's import keeps them too.
    if (added > 0 && !session.Save())
        return 1;
    out << added << (added == 1 ? " Eintrag" : " Eintr\u00E4ge") << " hinzugef\u00FCgt.\n";
    return sourcesComplete ? 0 : 1;
}
