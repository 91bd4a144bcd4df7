#include "cli/DatabaseSession.h"
#include "cli/Verbs.h"

#include <ostream>

int RunCheck(const Verb& verb, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    const bool loaded = session.Open(verb.file);
    const LoadReport& load = session.LastLoad();
    out << "Eintr\u00E4ge: " << session.db.Count() << '\n'
        << "Doppelte \u00FCbersprungen: " << load.Duplicates << '\n'
        << "Ladefehler: " << (loaded ? std::string("keiner") : load.Error) << '\n';
    out.flush();
    return loaded ? 0 : 1;
}
