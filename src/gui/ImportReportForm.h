#pragma once

#include <QDialog>
#include <QString>

class QFileDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The report of a CSV import with refused rows: the summary, and the refused
// rows (line, reason, the row's text) in a read-only field whose text can be
// copied to the clipboard or saved as a text file.
class TImportReportForm : public QDialog {
    Q_OBJECT
public:
    explicit TImportReportForm(QWidget* parent = nullptr);

    // Fills the dialog and shows it modally. `summary` is the line above the
    // list, `refusedRows` one report per refused row.
    void Execute(const QString& summary, const QStringList& refusedRows);
    // The whole report as copied and saved: the summary, then the rows.
    QString ReportText() const;

    QLabel* SummaryLabel = nullptr;
    QPlainTextEdit* RefusedMemo = nullptr;
    QPushButton* CopyButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QFileDialog* SaveDialog = nullptr;

    // Handlers.
    void CopyButtonClick();
    // Asks for a file name and writes the report as UTF-8 text; a failure is
    // reported and the dialog stays.
    void SaveButtonClick();
};
