#include "cli/Commands.h"
#include "cli/DatabaseSession.h"

#include <ostream>

int RunCheck(const Command& command, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    const bool loaded = session.Open(command.file);
    const LoadReport& load = session.LastLoad();
    out << "Eintr\u00E4ge: " << session.db.Count() << '\n'
        << "Doppelte \u00FCbersprungen: " << load.Duplicates << '\n'
        << "Ladefehler: " << (loaded ? std::string("keiner") : load.Error) << '\n';
    out.flush();
    return loaded ? 0 : 1;
}
