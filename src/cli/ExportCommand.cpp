#include "Commands.h"
#include "CsvWriter.h"
#include "DatabaseSession.h"
#include "EntryList.h"
#include "XlsxWriter.h"

#include <ostream>
#include <stdexcept>

int RunExport(const Command& command, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    // As with `list`, the entries read before a load error are exported.
    const bool loaded = session.Open(command.file);
    const std::vector<const TDataRecord*> entries = AllEntries(session.db);
    const ExportSettings& settings = command.exported;
    try {
        if (settings.format == ExportFormat::Xlsx) {
            const auto outcome = exchange::ExportXlsxFile(settings.output, entries);
            if (outcome.shortenedTexts > 0)
                err << "mvd: " << outcome.shortenedTexts
                    << " Texte waren l\u00E4nger als die 32767 Zeichen einer Excel-Zelle und "
                       "wurden gek\u00FCrzt.\n";
        } else {
            exchange::CsvFormat format = exchange::SpreadsheetCsv;
            format.separator = settings.delimiter;
            if (settings.output.empty()) {
                if (!exchange::WriteCsv(out, entries, format)) {
                    err << "mvd: Die Ausgabe konnte nicht geschrieben werden.\n";
                    return 1;
                }
            } else {
                exchange::ExportCsvFile(settings.output, entries, format);
            }
        }
    } catch (const std::exception& e) {
        err << "mvd: " << settings.output << ": " << GeneralReportText(e.what()) << '\n';
        return 1;
    }
    return loaded ? 0 : 1;
}
