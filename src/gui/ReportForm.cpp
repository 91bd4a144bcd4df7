#include "gui/ReportForm.h"

#include "gui/FormSetup.h"
#include "gui/Prompt.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

namespace {

using report::PeriodKind;

constexpr std::array<PeriodKind, 7> Kinds = {
    PeriodKind::ThisMonth, PeriodKind::LastMonth, PeriodKind::ThisQuarter, PeriodKind::LastQuarter,
    PeriodKind::ThisYear,  PeriodKind::LastYear,  PeriodKind::Range};

// Day numbers count from 30.12.1899, as the entries' dates do.
const QDate DayZero(1899, 12, 30);

QDate DateOfDay(std::int64_t day) {
    return DayZero.addDays(day);
}

CivilDate CivilOf(const QDate& date) {
    return {date.year(), date.month(), date.day()};
}

QDateEdit* MakeDateEdit(QWidget* parent, const char* name, const QString& hint) {
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(hint);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    edit->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    return edit;
}

} // namespace

TReportForm::TReportForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ReportForm"));
    setWindowTitle(QStringLiteral("Bericht"));
    setFont(FormFont());

    PeriodLabel = new QLabel(QStringLiteral("&Zeitraum:"), this);
    PeriodLabel->setObjectName(QStringLiteral("PeriodLabel"));
    PeriodBox = new QComboBox(this);
    PeriodBox->setObjectName(QStringLiteral("PeriodBox"));
    PeriodBox->setToolTip(QStringLiteral("auf welchen Zeitraum der Bericht zurückblickt"));
    for (const PeriodKind kind : Kinds)
        PeriodBox->addItem(QString::fromUtf8(report::PeriodCaption(kind)));
    PeriodLabel->setBuddy(PeriodBox);
    FromLabel = new QLabel(QStringLiteral("&von"), this);
    FromLabel->setObjectName(QStringLiteral("FromLabel"));
    FromEdit = MakeDateEdit(this, "FromEdit", QStringLiteral("der erste Tag des Zeitraums"));
    FromLabel->setBuddy(FromEdit);
    ToLabel = new QLabel(QStringLiteral("&bis"), this);
    ToLabel->setObjectName(QStringLiteral("ToLabel"));
    ToEdit = MakeDateEdit(this, "ToEdit", QStringLiteral("der letzte Tag des Zeitraums"));
    ToLabel->setBuddy(ToEdit);

    FormatLabel = new QLabel(QStringLiteral("Format:"), this);
    FormatLabel->setObjectName(QStringLiteral("FormatLabel"));
    PdfButton = new QRadioButton(QStringLiteral("&PDF-Dokument"), this);
    PdfButton->setObjectName(QStringLiteral("PdfButton"));
    PdfButton->setToolTip(QStringLiteral("eine A4-Seite zum Drucken und Weitergeben"));
    PdfButton->setChecked(true);
    HtmlButton = new QRadioButton(QStringLiteral("&HTML-Seite"), this);
    HtmlButton->setObjectName(QStringLiteral("HtmlButton"));
    HtmlButton->setToolTip(QStringLiteral("eine Seite für den Webbrowser"));

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setToolTip(QStringLiteral("wählt die Datei, in die der Bericht geschrieben wird"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setToolTip(
        QStringLiteral("schließt den Dialog, ohne einen Bericht zu schreiben"));

    auto* grid = new QGridLayout();
    grid->addWidget(PeriodLabel, 0, 0);
    grid->addWidget(PeriodBox, 0, 1, 1, 4);
    grid->addWidget(FromLabel, 1, 1);
    grid->addWidget(FromEdit, 1, 2);
    grid->addWidget(ToLabel, 1, 3);
    grid->addWidget(ToEdit, 1, 4);
    grid->addWidget(FormatLabel, 2, 0);
    auto* formats = new QHBoxLayout();
    formats->addWidget(PdfButton);
    formats->addWidget(HtmlButton);
    formats->addStretch(1);
    grid->addLayout(formats, 2, 1, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(4, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(PeriodBox, &QComboBox::currentIndexChanged, this, &TReportForm::PeriodBoxChange);
    connect(OkButton, &QPushButton::clicked, this, &TReportForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    PeriodBox->setCurrentIndex(static_cast<int>(PeriodKind::LastMonth));
}

report::PeriodKind TReportForm::ChosenKind() const {
    return Kinds[static_cast<std::size_t>(std::max(0, PeriodBox->currentIndex()))];
}

std::optional<report::Period> TReportForm::ChosenPeriod() const {
    const PeriodKind kind = ChosenKind();
    if (kind != PeriodKind::Range)
        return report::PeriodOf(kind, CivilOf(today_));
    return report::RangeOf(CivilOf(FromEdit->date()), CivilOf(ToEdit->date()));
}

void TReportForm::PeriodBoxChange() {
    const bool range = ChosenKind() == PeriodKind::Range;
    FromEdit->setEnabled(range);
    ToEdit->setEnabled(range);
    if (range)
        return; // the days shown last are the start of the range
    const report::Period period = report::PeriodOf(ChosenKind(), CivilOf(today_));
    FromEdit->setDate(DateOfDay(period.first));
    ToEdit->setDate(DateOfDay(period.last));
}

std::optional<TReportForm::TChoice> TReportForm::Execute(const QDate& today) {
    today_ = today;
    PeriodBoxChange();
    PeriodBox->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    const std::optional<report::Period> period = ChosenPeriod();
    if (!period)
        return std::nullopt;
    return TChoice{*period,
                   PdfButton->isChecked() ? report::ReportFormat::Pdf : report::ReportFormat::Html};
}

void TReportForm::OkButtonClick() {
    if (!ChosenPeriod()) {
        Prompt::Message(this, Prompt::Kind::Warning,
                        QStringLiteral("Der Zeitraum endet vor seinem Anfang: „bis“ muss auf "
                                       "oder nach „von“ liegen."),
                        Prompt::Ok);
        ToEdit->setFocus();
        return;
    }
    accept();
}
