#pragma once

#include "report/Period.h"
#include "report/ReportFile.h"

#include <QDate>
#include <QDialog>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;

// "Bericht": the period that a review report looks back on (this or last
// month, quarter or year, or from one day to another) and its format (PDF or
// HTML). The date fields show the chosen period's first and last day; they
// can be edited for "von – bis". The dialog keeps its choice for the run; it
// starts with last month and PDF.
class TReportForm : public QDialog {
    Q_OBJECT
public:
    explicit TReportForm(QWidget* parent);

    struct TChoice {
        report::Period period;
        report::ReportFormat format;
    };
    // Shows the dialog modally with the periods as seen on `today`; the
    // choice when it was closed with OK.
    std::optional<TChoice> Execute(const QDate& today);

    // The period that the controls name now; nothing when "bis" lies before
    // "von".
    [[nodiscard]] std::optional<report::Period> ChosenPeriod() const;
    [[nodiscard]] report::PeriodKind ChosenKind() const;

    QLabel* PeriodLabel;
    QComboBox* PeriodBox;
    QLabel* FromLabel;
    QDateEdit* FromEdit;
    QLabel* ToLabel;
    QDateEdit* ToEdit;
    QLabel* FormatLabel;
    QRadioButton* PdfButton;
    QRadioButton* HtmlButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // Handlers.
    // The chosen period's days into the date fields, which only "von – bis"
    // lets the user edit.
    void PeriodBoxChange();
    // Closes with OK unless "bis" lies before "von".
    void OkButtonClick();

private:
    QDate today_ = QDate::currentDate();
};
