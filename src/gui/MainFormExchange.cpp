// Exchange with spreadsheets: the listed entries, in list order, to CSV or an
// Excel workbook, and the import of a CSV file through the duplicate rule
// with its report.
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "exchange/XlsxWriter.h"
#include "gui/ErrorReport.h"
#include "gui/ImportReportForm.h"
#include "gui/MainForm.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

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

// The wait cursor while a long export or import runs.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void TMainForm::createExchange() {
    auto make = [this](const char* name, const QString& caption, const QString& hint) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        ActionList.append(action);
        return action;
    };
    ImportCsvAction =
        make("ImportCsvAction", QStringLiteral("CSV-Datei impor&tieren..."),
             QStringLiteral("fügt die Zeilen einer CSV-Datei der geöffneten Datenbank hinzu"));
    ExportCsvAction =
        make("ExportCsvAction", QStringLiteral("als CSV e&xportieren..."),
             QStringLiteral("schreibt die angezeigten Einträge in eine CSV-Datei für Tabellen"));
    ExportXlsxAction =
        make("ExportXlsxAction", QStringLiteral("als Excel-Arbeitsmappe ex&portieren..."),
             QStringLiteral("schreibt die angezeigten Einträge in eine Excel-Arbeitsmappe"));
    // After the import of databases, before the recent files.
    const QList<QAction*> items = DataBaseItem->actions();
    const qsizetype import = items.indexOf(ImportDataBaseAction);
    QAction* before = import >= 0 && import + 1 < items.size() ? items[import + 1] : nullptr;
    DataBaseItem->insertActions(before, {ImportCsvAction, ExportCsvAction, ExportXlsxAction});

    const auto slot = [this](const char* name, const QString& title, QFileDialog::AcceptMode mode,
                             const QString& suffix, const QStringList& filters) {
        return TFileDialogSlot(
            [=, this] { return MakeDialog(this, name, title, mode, suffix, filters); });
    };
    CsvImportDialog =
        slot("CsvImportDialog", QStringLiteral("CSV-Datei importieren"), QFileDialog::AcceptOpen,
             QStringLiteral("csv"),
             {QStringLiteral("CSV-Dateien (*.csv *.txt)"), QStringLiteral("alle Dateien (*.*)")});
    CsvExportDialog =
        slot("CsvExportDialog", QStringLiteral("als CSV exportieren"), QFileDialog::AcceptSave,
             QStringLiteral("csv"), {SemicolonFilter, CommaFilter});
    XlsxExportDialog =
        slot("XlsxExportDialog", QStringLiteral("als Excel-Arbeitsmappe exportieren"),
             QFileDialog::AcceptSave, QStringLiteral("xlsx"),
             {QStringLiteral("Excel-Arbeitsmappe (*.xlsx)")});
}

std::vector<const TDataRecord*> TMainForm::listedEntries() const {
    std::vector<const TDataRecord*> entries;
    entries.reserve(static_cast<std::size_t>(ItemCount()));
    for (int row = 0; row < ItemCount(); ++row)
        entries.push_back(ItemRecord(row));
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

void TMainForm::ExportCsvActionExecute() {
    const std::optional<QString> chosen =
        chooseFile(*CsvExportDialog, ExportName(DataBase->FileName, "csv"));
    if (!chosen)
        return;
    exchange::CsvFormat format = exchange::SpreadsheetCsv;
    if (CsvExportDialog->selectedNameFilter() == CommaFilter)
        format.separator = ',';
    const WaitCursor wait;
    exchange::ExportCsvFile(nativepath::FromQString(*chosen), listedEntries(), format);
}

void TMainForm::ExportXlsxActionExecute() {
    const std::optional<QString> chosen =
        chooseFile(*XlsxExportDialog, ExportName(DataBase->FileName, "xlsx"));
    if (!chosen)
        return;
    exchange::XlsxOutcome outcome;
    {
        const WaitCursor wait;
        outcome = exchange::ExportXlsxFile(nativepath::FromQString(*chosen), listedEntries());
    }
    if (outcome.shortenedTexts > 0)
        Prompt::Message(this, Prompt::Kind::Warning,
                        QStringLiteral("%1 Texte waren länger als die 32767 Zeichen einer "
                                       "Excel-Zelle und wurden gekürzt.")
                            .arg(outcome.shortenedTexts),
                        Prompt::Ok);
}

void TMainForm::ImportCsvActionExecute() {
    const std::optional<QString> chosen = chooseFile(*CsvImportDialog, QString());
    if (!chosen)
        return;
    const QString name = QFileInfo(*chosen).fileName();
    exchange::CsvReadResult read;
    TImportOutcome added;
    {
        const WaitCursor wait;
        read = exchange::ReadCsvFile(nativepath::FromQString(*chosen));
        if (read.failure.empty()) {
            added = Commands->ImportEntries(QStringLiteral("CSV-Datei importieren"), read.entries);
            // Several entries rebuild the list through the command layer's signal.
            if (added.Added <= 1)
                RebuildList();
        }
    }
    if (!read.failure.empty()) {
        Prompt::Message(
            this, Prompt::Kind::Error,
            QStringLiteral("%1: %2 Es wurde nichts importiert.")
                .arg(name, ErrorReport::ReportText(QString::fromStdString(read.failure))),
            Prompt::Ok);
        return;
    }
    const QString summary = QStringLiteral("%1: %2").arg(
        name, QString::fromStdString(
                  exchange::ImportSummary(added.Added, added.Duplicates, read.refused.size())));
    if (read.refused.empty()) {
        Prompt::Message(this, Prompt::Kind::Information, summary, Prompt::Ok);
        return;
    }
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(read.refused.size()));
    for (const exchange::RefusedRow& row : read.refused)
        rows.append(QString::fromStdString(exchange::RefusedRowReport(row)));
    TImportReportForm report(this);
    report.Execute(summary, rows);
}
