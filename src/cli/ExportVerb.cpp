#include "cli/DatabaseSession.h"
#include "cli/EntryList.h"
#include "cli/Interruption.h"
#include "cli/TerminalProgress.h"
#include "cli/Verbs.h"
#include "core/Errors.h"
#include "exchange/CsvWriter.h"
#include "exchange/XlsxWriter.h"

#include <ostream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

int RunExport(const Verb& verb, std::ostream& out, std::ostream& err) {
    // Writing over the database itself would lose it.
    struct stat database {
    }, output{};
    if (!verb.exported.output.empty() && stat(verb.file.c_str(), &database) == 0 &&
        stat(verb.exported.output.c_str(), &output) == 0 && database.st_dev == output.st_dev &&
        database.st_ino == output.st_ino) {
        err << "mvd: Die Ausgabedatei ist die Datenbank selbst; sie wurde nicht "
               "\u00FCberschrieben.\n";
        return 1;
    }
    const Interruption interruption;
    DatabaseSession session(err);
    // As with `list`, the entries read before a load error are exported.
    const bool loaded = session.Open(verb.file);
    const std::vector<const TDataRecord*> entries = AllEntries(session.db);
    const ExportSettings& settings = verb.exported;
    bool complete = true;
    try {
        // CSV on a terminal shows itself; the progress would run through it.
        TerminalProgress shown("mvd: Export",
                               settings.output.empty() && ::isatty(STDOUT_FILENO) == 1);
        if (settings.format == ExportFormat::Xlsx) {
            const auto outcome =
                exchange::ExportXlsxFile(settings.output, entries, shown.Callback());
            complete = !outcome.cancelled;
            if (outcome.shortenedTexts > 0)
                err << "mvd: " << exchange::ShortenedTextsNote(outcome.shortenedTexts) << '\n';
        } else {
            exchange::CsvFormat format = exchange::SpreadsheetCsv;
            format.separator = settings.delimiter;
            if (settings.output.empty()) {
                complete = exchange::WriteCsv(
                    [&out](std::string_view block) { out.write(block.data(), std::ssize(block)); },
                    entries, format, shown.Callback());
                if (!out.flush()) {
                    err << "mvd: Die Ausgabe konnte nicht geschrieben werden.\n";
                    return 1;
                }
            } else {
                complete =
                    exchange::ExportCsvFile(settings.output, entries, format, shown.Callback());
            }
        }
    } catch (const std::exception& e) {
        err << "mvd: " << settings.output << ": " << GeneralReportText(e.what()) << '\n';
        return 1;
    }
    if (!complete) {
        err << (settings.output.empty() ? "mvd: Abgebrochen.\n"
                                        : "mvd: Abgebrochen; es wurde nichts geschrieben.\n");
        return Interruption::ExitStatus();
    }
    return loaded ? 0 : 1;
}
