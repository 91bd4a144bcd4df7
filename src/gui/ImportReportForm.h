#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

class QFileDialog;
class QLabel;
class QPushButton;
class QTreeView;
class TRefusedRowsModel;

// The report of a CSV import with refused rows: the summary, and the refused
// rows (line, reason, the row's text) in a list that reads them from the
// imported file as they are shown; the whole report can be copied to the
// clipboard or saved as a text file.
class TImportReportForm : public QDialog {
    Q_OBJECT
public:
    explicit TImportReportForm(QWidget* parent = nullptr);
    ~TImportReportForm() override;

    // Fills the dialog and shows it modally. `summary` is the line above the
    // list.
    void Execute(const QString& summary, std::unique_ptr<TRefusedRowsModel> refusedRows);
    // The whole report as copied and saved: the summary, then the rows.
    QString ReportText() const;

    QLabel* SummaryLabel = nullptr;
    QTreeView* RefusedList = nullptr;
    QPushButton* CopyButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QFileDialog* SaveDialog = nullptr;

    // Handlers.
    void CopyButtonClick();
    // Asks for a file name and writes the report as UTF-8 text (replacing a
    // file only when the new one is complete, so a cancel leaves it as it
    // was); a failure is reported and the dialog stays.
    void SaveButtonClick();

private:
    // Puts out the whole report; a long one shows its progress and can be
    // cancelled (then false).
    bool writeReport(const std::function<void(std::string_view)>& sink);

    std::unique_ptr<TRefusedRowsModel> rows_;
};
