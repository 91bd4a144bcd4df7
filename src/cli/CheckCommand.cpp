#include "Commands.h"
#include "DatabaseSession.h"
#include "RecordCount.h"

#include <ostream>

int RunCheck(const Command& command, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    const bool loaded = session.Open(command.file);
    const auto entries = static_cast<std::uint64_t>(session.db.Count());

    // Every complete record that is not in the database was refused as a
    // duplicate. (A record the load was reading when it failed is not complete.)
    const std::uint64_t complete = CountCompleteRecords(command.file);
    const std::uint64_t duplicates = complete > entries ? complete - entries : 0;

    out << "Eintr\u00E4ge: " << entries << '\n'
        << "Doppelte \u00FCbersprungen: " << duplicates << '\n'
        << "Ladefehler: " << (loaded ? std::string("keiner") : session.LastLoadError()) << '\n';
    out.flush();
    return loaded ? 0 : 1;
}
