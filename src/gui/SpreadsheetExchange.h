#pragma once

#include "gui/FileDialogSlot.h"

#include <QObject>
#include <vector>

class QWidget;
class TDataRecord;
class TDocument;
class TFileChooser;
class TRecordListPanel;

// The exchange with spreadsheets of the main window: the listed entries, in
// list order, to a CSV file or an Excel workbook, and the import of a CSV
// file's rows through the duplicate rule, with its report. Owns its three
// file dialogs, made at their first use.
class TSpreadsheetExchange : public QObject {
    Q_OBJECT
public:
    TSpreadsheetExchange(QWidget* window, TDocument& document, const TRecordListPanel& list,
                         TFileChooser& chooser);

    void ExportCsv();
    void ExportXlsx();
    void ImportCsv();

private:
    [[nodiscard]] std::vector<const TDataRecord*> listedEntries() const;

    QWidget* window_;
    TDocument& document_;
    const TRecordListPanel& list_;
    TFileChooser& chooser_;
    TFileDialogSlot csvImportDialog_;
    TFileDialogSlot csvExportDialog_; // the filter chooses semicolon or comma
    TFileDialogSlot xlsxExportDialog_;
};
