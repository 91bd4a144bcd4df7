// Exchange with spreadsheets: the listed entries, in list order, to CSV or an
// Excel workbook, and the import of a CSV file through the duplicate rule
// with its report.
#include "gui/SpreadsheetExchange.h"

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "exchange/XlsxWriter.h"
#include "gui/Document.h"
#include "gui/ErrorReport.h"
#include "gui/FileChooser.h"
#include "gui/ImportReportForm.h"
#include "gui/NativePath.h"
#include "gui/ProgressRun.h"
#include "gui/Prompt.h"
#include "gui/RecordListPanel.h"
#include "gui/RefusedRowsModel.h"
#include "gui/WaitCursor.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

const QString SemicolonFilter = QStringLiteral("CSV mit Semikolon (*.csv)");
const QString CommaFilter = QStringLiteral("CSV mit Komma (*.csv)");

QFileDialog* MakeDialog(QWidget* parent, const char* name, const QString& title,
                        QFileDialog::AcceptMode mode, const QString& suffix,
                        const QStringList& filters) {
    auto* dialog = new QFileDialog(parent, title);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                        : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(suffix);
    dialog->setNameFilters(filters);
    return dialog;
}

} // namespace

TSpreadsheetExchange::TSpreadsheetExchange(QWidget* window, TDocument& document,
                                           const TRecordListPanel& list, TFileChooser& chooser)
    : QObject(window), window_(window), document_(document), list_(list), chooser_(chooser) {
    setObjectName(QStringLiteral("SpreadsheetExchange"));
    const auto slot = [window](const char* name, const QString& title, QFileDialog::AcceptMode mode,
                               const QString& suffix, const QStringList& filters) {
        return TFileDialogSlot(
            [=] { return MakeDialog(window, name, title, mode, suffix, filters); });
    };
    csvImportDialog_ =
        slot("CsvImportDialog", QStringLiteral("CSV-Datei importieren"), QFileDialog::AcceptOpen,
             QStringLiteral("csv"),
             {QStringLiteral("CSV-Dateien (*.csv *.txt)"), QStringLiteral("alle Dateien (*.*)")});
    csvExportDialog_ =
        slot("CsvExportDialog", QStringLiteral("als CSV exportieren"), QFileDialog::AcceptSave,
             QStringLiteral("csv"), {SemicolonFilter, CommaFilter});
    xlsxExportDialog_ =
        slot("XlsxExportDialog", QStringLiteral("als Excel-Arbeitsmappe exportieren"),
             QFileDialog::AcceptSave, QStringLiteral("xlsx"),
             {QStringLiteral("Excel-Arbeitsmappe (*.xlsx)")});
}

std::vector<const TDataRecord*> TSpreadsheetExchange::listedEntries() const {
    std::vector<const TDataRecord*> entries;
    entries.reserve(static_cast<std::size_t>(list_.ItemCount()));
    for (int row = 0; row < list_.ItemCount(); ++row)
        entries.push_back(list_.ItemRecord(row));
    return entries;
}

namespace {

// The database's name with another suffix, as the name an export proposes.
QString ExportName(const std::string& dataBase, const char* suffix) {
    if (dataBase.empty())
        return {};
    return QFileInfo(nativepath::ToQString(dataBase)).completeBaseName() + QLatin1Char('.') +
           QLatin1String(suffix);
}

} // namespace

void TSpreadsheetExchange::ExportCsv() {
    const std::optional<QString> chosen =
        chooser_.Choose(*csvExportDialog_, ExportName(document_.FileName(), "csv"));
    if (!chosen)
        return;
    exchange::CsvFormat format = exchange::SpreadsheetCsv;
    if (csvExportDialog_->selectedNameFilter() == CommaFilter)
        format.separator = ',';
    const std::vector<const TDataRecord*> entries = listedEntries();
    RunWithProgress(window_, QStringLiteral("Die Einträge werden als CSV exportiert..."),
                    [&](const exchange::Progress& progress) {
                        exchange::ExportCsvFile(nativepath::FromQString(*chosen), entries, format,
                                                progress);
                    });
}

void TSpreadsheetExchange::ExportXlsx() {
    const std::optional<QString> chosen =
        chooser_.Choose(*xlsxExportDialog_, ExportName(document_.FileName(), "xlsx"));
    if (!chosen)
        return;
    const std::vector<const TDataRecord*> entries = listedEntries();
    exchange::XlsxOutcome outcome;
    RunWithProgress(
        window_, QStringLiteral("Die Einträge werden als Excel-Arbeitsmappe exportiert..."),
        [&](const exchange::Progress& progress) {
            outcome = exchange::ExportXlsxFile(nativepath::FromQString(*chosen), entries, progress);
        });
    if (!outcome.cancelled && outcome.shortenedTexts > 0)
        Prompt::Message(
            window_, Prompt::Kind::Warning,
            QString::fromStdString(exchange::ShortenedTextsNote(outcome.shortenedTexts)),
            Prompt::Ok);
}

void TSpreadsheetExchange::ImportCsv() {
    const std::optional<QString> chosen = chooser_.Choose(*csvImportDialog_, QString());
    if (!chosen)
        return;
    const QString name = QFileInfo(*chosen).fileName();
    const std::string path = nativepath::FromQString(*chosen);
    exchange::CsvReadResult read;
    RunWithProgress(
        window_, QStringLiteral("Die CSV-Datei wird gelesen..."),
        [&](const exchange::Progress& progress) { read = exchange::ReadCsvFile(path, progress); });
    if (read.cancelled)
        return; // nothing read, nothing added
    // The report reads refused rows from the file when it shows them.
    read.ReleaseSource();
    TImportOutcome added;
    if (read.failure.empty()) {
        // One step; the list follows the command layer's signal.
        const WaitCursor wait;
        added = document_.Commands().ImportEntries(QStringLiteral("CSV-Datei importieren"),
                                                   read.entries);
    }
    if (!read.failure.empty()) {
        Prompt::Message(
            window_, Prompt::Kind::Error,
            QStringLiteral("%1: %2 Es wurde nichts importiert.")
                .arg(name, ErrorReport::ReportText(QString::fromStdString(read.failure))),
            Prompt::Ok);
        return;
    }
    const QString summary = QStringLiteral("%1: %2").arg(
        name, QString::fromStdString(
                  exchange::ImportSummary(added.Added, added.Duplicates, read.refused.size())));
    if (read.refused.empty()) {
        Prompt::Message(window_, Prompt::Kind::Information, summary, Prompt::Ok);
        return;
    }
    auto refused = std::make_unique<TRefusedRowsModel>(std::move(read.refused), read.layout, path,
                                                       read.sourceStamp);
    read = exchange::CsvReadResult(); // the entries are the database's now
    TImportReportForm report(window_);
    report.Execute(summary, std::move(refused));
}
