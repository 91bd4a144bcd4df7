#include "cli/DatabaseSession.h"
#include "cli/Verbs.h"
#include "core/Errors.h"

#include <ostream>
#include <string>

namespace {

// A description keeps its line breaks as CR LF: a line feed typed without a
// carriage return before it gets one.
std::string WithCrLf(const std::string& text) {
    std::string stored;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            stored += '\r';
        stored += text[i];
    }
    return stored;
}

} // namespace

int RunAdd(const Verb& verb, std::ostream& /*out*/, std::ostream& err) {
    DatabaseSession session(err);
    if (!session.OpenForChange(verb.file, /*missingIsNew=*/true))
        return 1;

    TRecordData record = verb.entry;
    record.Description = WithCrLf(record.Description);
    try {
        session.db.AddRecord(record);
    } catch (const InvalidEntryException& e) {
        err << GeneralReportText(e.what()) << '\n';
        return 1;
    }
    return session.Save() ? 0 : 1;
}
