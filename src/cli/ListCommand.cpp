#include "Commands.h"
#include "Cp1252.h"
#include "Csv.h"
#include "DatabaseSession.h"

#include <ostream>

int RunList(const Command& command, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    const bool loaded = session.Open(command.file);

    // Written in blocks: a list of a million entries must not go out field by
    // field through the stream.
    std::string block;
    csv::AppendRow(block,
                   {"ID", "Sprache", "Kategorie", "Projekt", "Datum", "Aufwand", "Beschreibung"});
    const int count = session.db.Count();
    for (int i = 0; i < count; ++i) {
        const TDataRecord& record = *session.db.GetRecord(i);
        csv::AppendRow(block, {std::to_string(record.ID), cp1252::ToUtf8(record.Language),
                               cp1252::ToUtf8(record.ErrorType), cp1252::ToUtf8(record.Project),
                               record.FieldText(ckDate), record.FieldText(ckTime),
                               cp1252::ToUtf8(record.Description)});
        if (block.size() >= (1u << 16)) {
            out << block;
            block.clear();
        }
    }
    out << block;
    out.flush();
    if (!out) {
        err << "mvd: Die Ausgabe konnte nicht geschrieben werden.\n";
        return 1;
    }
    return loaded ? 0 : 1;
}
