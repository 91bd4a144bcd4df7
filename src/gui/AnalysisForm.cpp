#include "gui/AnalysisForm.h"

#include "analysis/FigureEngine.h"
#include "analysis/GermanNumbers.h"
#include "analysis/TableCsv.h"
#include "core/DataBase.h"
#include "exchange/ExportFile.h"
#include "gui/AnalysisChart.h"
#include "gui/AnalysisTableModel.h"
#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/GuiText.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using analysis::Grouping;
using analysis::Measure;

namespace {

constexpr Grouping Groupings[] = {Grouping::Language, Grouping::Category, Grouping::Project,
                                  Grouping::Month, Grouping::Weekday};
constexpr Measure Measures[] = {Measure::Count, Measure::Minutes};

bool HasFilterList(Grouping grouping) {
    return grouping == Grouping::Language || grouping == Grouping::Category ||
           grouping == Grouping::Project;
}

// What a double-click on a row or a click on a bar does under `grouping`.
QString ChoiceHint(Grouping grouping, const QString& action) {
    switch (grouping) {
    case Grouping::Language:
        return action + QStringLiteral(": nur Fehler dieser Sprache anzeigen (setzt den Filter)");
    case Grouping::Category:
        return action + QStringLiteral(": nur Fehler dieser Kategorie anzeigen (setzt den Filter)");
    case Grouping::Project:
        return action + QStringLiteral(": nur Fehler dieses Projekts anzeigen (setzt den Filter)");
    case Grouping::Month:
    case Grouping::Weekday:
        break;
    }
    return QStringLiteral("Nach Monat und Wochentag kann nicht gefiltert werden; ") + action +
           QStringLiteral(" ändert den Filter nicht");
}

QString ExportFailure(const QString& what, const std::exception& error) {
    return what + QStringLiteral(" konnte nicht gespeichert werden: ") +
           QString::fromUtf8(error.what());
}

} // namespace

TAnalysisForm::TAnalysisForm(const TDataBase& database, ListedEntries listed, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      database_(database), listed_(std::move(listed)) {
    setModal(false);
    setObjectName(QStringLiteral("AnalysisForm"));
    setWindowTitle(QStringLiteral("Auswertung"));
    setFont(FormFont());
    resize(860, 640);

    GroupingLabel = new QLabel(QStringLiteral("&Gruppierung:"), this);
    GroupingLabel->setObjectName(QStringLiteral("GroupingLabel"));
    GroupingBox = new QComboBox(this);
    GroupingBox->setObjectName(QStringLiteral("GroupingBox"));
    GroupingBox->setToolTip(QStringLiteral("wonach die Fehler zusammengefasst werden"));
    for (Grouping grouping : Groupings)
        GroupingBox->addItem(GuiText::FromCp1252(analysis::GroupingCaption(grouping)));
    GroupingLabel->setBuddy(GroupingBox);
    MeasureLabel = new QLabel(QStringLiteral("&Maß:"), this);
    MeasureLabel->setObjectName(QStringLiteral("MeasureLabel"));
    MeasureBox = new QComboBox(this);
    MeasureBox->setObjectName(QStringLiteral("MeasureBox"));
    MeasureBox->setToolTip(
        QStringLiteral("ordnet Diagramm und Tabelle nach der Anzahl der Fehler oder nach dem "
                       "Aufwand zu ihrer Beseitigung"));
    for (Measure measure : Measures)
        MeasureBox->addItem(GuiText::FromCp1252(analysis::MeasureCaption(measure)));
    MeasureLabel->setBuddy(MeasureBox);
    ExportTableButton = new QPushButton(QStringLiteral("&Tabelle exportieren..."), this);
    ExportTableButton->setObjectName(QStringLiteral("ExportTableButton"));
    ExportTableButton->setToolTip(QStringLiteral("speichert die Tabelle als CSV-Datei"));
    SaveChartButton = new QPushButton(QStringLiteral("&Diagramm speichern..."), this);
    SaveChartButton->setObjectName(QStringLiteral("SaveChartButton"));
    SaveChartButton->setToolTip(QStringLiteral("speichert das Diagramm als PNG- oder SVG-Bild"));
    // Enter in the table is no click on a button.
    ExportTableButton->setAutoDefault(false);
    SaveChartButton->setAutoDefault(false);

    Chart = new TAnalysisChart(this);
    Chart->setObjectName(QStringLiteral("Chart"));
    Chart->setMinimumHeight(200);
    TableModel = new TAnalysisTableModel(this);
    TableView = new QTableView(this);
    TableView->setObjectName(QStringLiteral("TableView"));
    TableView->setModel(TableModel);
    TableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableView->setSelectionMode(QAbstractItemView::SingleSelection);
    TableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableView->setWordWrap(false);
    TableView->verticalHeader()->hide();
    TableView->verticalHeader()->setDefaultSectionSize(TableView->fontMetrics().height() + 4);
    TableView->horizontalHeader()->setStretchLastSection(true);
    // Pareto order until the user sorts by a column.
    TableView->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    TableView->setSortingEnabled(true);
    Splitter = new QSplitter(Qt::Vertical, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setChildrenCollapsible(false);
    Splitter->addWidget(Chart);
    Splitter->addWidget(TableView);
    Splitter->setStretchFactor(0, 3);
    Splitter->setStretchFactor(1, 2);
    Splitter->setSizes({360, 240});
    TotalLabel = new QLabel(this);
    TotalLabel->setObjectName(QStringLiteral("TotalLabel"));

    auto* choices = new QHBoxLayout();
    choices->addWidget(GroupingLabel);
    choices->addWidget(GroupingBox);
    choices->addSpacing(12);
    choices->addWidget(MeasureLabel);
    choices->addWidget(MeasureBox);
    choices->addStretch(1);
    choices->addWidget(ExportTableButton);
    choices->addWidget(SaveChartButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(Splitter, 1);
    layout->addWidget(TotalLabel);

    TableDialog = new QFileDialog(this, QStringLiteral("Tabelle exportieren"));
    TableDialog->setObjectName(QStringLiteral("TableDialog"));
    TableDialog->setOption(QFileDialog::DontUseNativeDialog);
    TableDialog->setAcceptMode(QFileDialog::AcceptSave);
    TableDialog->setDefaultSuffix(QStringLiteral("csv"));
    TableDialog->setNameFilters(
        {QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("alle Dateien (*.*)")});
    ChartDialog = new QFileDialog(this, QStringLiteral("Diagramm speichern"));
    ChartDialog->setObjectName(QStringLiteral("ChartDialog"));
    ChartDialog->setOption(QFileDialog::DontUseNativeDialog);
    ChartDialog->setAcceptMode(QFileDialog::AcceptSave);
    ChartDialog->setDefaultSuffix(QStringLiteral("png"));
    ChartDialog->setNameFilters(
        {QStringLiteral("PNG-Bild (*.png)"), QStringLiteral("SVG-Grafik (*.svg)")});
    // The suffix follows the chosen type.
    connect(ChartDialog, &QFileDialog::filterSelected, ChartDialog, [this](const QString& filter) {
        ChartDialog->setDefaultSuffix(
            filter.contains(QStringLiteral("svg")) ? QStringLiteral("svg") : QStringLiteral("png"));
    });

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(0);
    connect(refreshTimer_, &QTimer::timeout, this, [this] { guarded([this] { Refresh(); }); });
    auto choice = [this] { guarded([this] { ChoiceChanged(); }); };
    connect(GroupingBox, &QComboBox::currentIndexChanged, this, choice);
    connect(MeasureBox, &QComboBox::currentIndexChanged, this, choice);
    connect(ExportTableButton, &QPushButton::clicked, this,
            [this] { guarded([this] { ExportTableButtonClick(); }); });
    connect(SaveChartButton, &QPushButton::clicked, this,
            [this] { guarded([this] { SaveChartButtonClick(); }); });
    connect(TableView, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        guarded([&] { TableViewDoubleClick(index.row()); });
    });
    connect(Chart, &TAnalysisChart::BarClicked, this,
            [this](int index) { guarded([&] { ChartBarClick(index); }); });
    updateHints();
}

TAnalysisForm::~TAnalysisForm() = default;

template <class Body> void TAnalysisForm::guarded(Body&& body) {
    ErrorReport::Guard(this, std::forward<Body>(body));
}

Grouping TAnalysisForm::CurrentGrouping() const {
    return Groupings[std::max(0, GroupingBox->currentIndex())];
}

Measure TAnalysisForm::CurrentMeasure() const {
    return Measures[std::max(0, MeasureBox->currentIndex())];
}

void TAnalysisForm::EntriesAdded(std::span<const TDataRecord* const> entries) {
    if (engine_ && !recount_)
        for (const TDataRecord* entry : entries)
            engine_->Add(*entry);
    schedule();
}

void TAnalysisForm::EntryChanged(const TDataRecord& entry) {
    if (engine_ && !recount_)
        engine_->Add(entry); // in place of the counted entry with its ID
    schedule();
}

void TAnalysisForm::EntriesRemoved(std::span<const std::uint32_t> ids) {
    if (engine_ && !recount_)
        for (const std::uint32_t id : ids)
            engine_->Remove(id);
    schedule();
}

void TAnalysisForm::ViewChanged() {
    recount_ = true;
    schedule();
}

void TAnalysisForm::ChoiceChanged() {
    recount_ = recount_ || !engine_ || engine_->CurrentGrouping() != CurrentGrouping();
    updateHints();
    Refresh();
}

// Several changes in one user action (a database is cleared, then listed)
// are counted once, when the event loop comes back.
void TAnalysisForm::schedule() {
    if (isVisible())
        refreshTimer_->start();
}

void TAnalysisForm::Refresh() {
    refreshTimer_->stop();
    if (!isVisible())
        return;
    if (!engine_) {
        engine_ = std::make_unique<analysis::FigureEngine>(database_);
        recount_ = true;
    }
    if (recount_) {
        engine_->Recompute(CurrentGrouping(), listed_());
        recount_ = false;
    }
    redraw();
}

void TAnalysisForm::redraw() {
    const Grouping grouping = CurrentGrouping();
    const Measure measure = CurrentMeasure();
    TableModel->SetRows(engine_->Table(measure), grouping);
    if (grouping == Grouping::Month)
        Chart->ShowMonths(engine_->MonthSeries());
    else
        Chart->ShowPareto(engine_->Pareto(measure), measure, grouping);
    const std::uint64_t count = engine_->EntryCount();
    TotalLabel->setText(
        QStringLiteral("%1 %2, Aufwand gesamt %3 h:mm")
            .arg(QString::fromLatin1(analysis::FormatInteger(count)),
                 count == 1 ? QStringLiteral("Eintrag") : QStringLiteral("Einträge"),
                 QString::fromLatin1(analysis::FormatHoursMinutes(engine_->TotalMinutes()))));
}

void TAnalysisForm::updateHints() {
    const Grouping grouping = CurrentGrouping();
    TableModel->SetRowHint(ChoiceHint(grouping, QStringLiteral("Doppelklick")));
    const QString barHint = ChoiceHint(grouping, QStringLiteral("Klick auf einen Balken"));
    Chart->SetBarHint(barHint);
    Chart->setToolTip(grouping == Grouping::Month ? QString() : barHint);
}

void TAnalysisForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded([this] { Refresh(); });
}

// The figures go with the window; the next opening counts afresh. A window
// that is only minimized keeps them.
void TAnalysisForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    refreshTimer_->stop();
    engine_.reset();
    recount_ = true;
}

void TAnalysisForm::TableViewDoubleClick(int row) {
    if (row < 0 || row >= TableModel->rowCount())
        return;
    chooseGroup(TableModel->Row(row).Group);
}

void TAnalysisForm::ChartBarClick(int index) {
    const auto bars = engine_ && CurrentGrouping() != Grouping::Month
                          ? engine_->Pareto(CurrentMeasure())
                          : std::vector<analysis::ParetoBar>{};
    if (index < 0 || static_cast<std::size_t>(index) >= bars.size())
        return;
    const analysis::ParetoBar& bar = bars[static_cast<std::size_t>(index)];
    if (!bar.Rest)
        chooseGroup(bar.Group);
}

void TAnalysisForm::chooseGroup(const std::string& value) {
    const Grouping grouping = CurrentGrouping();
    if (HasFilterList(grouping))
        emit GroupChosen(grouping, value);
}

void TAnalysisForm::ExportTableButtonClick() {
    Refresh();
    const std::optional<QString> chosen = Prompt::RunFileDialog(*TableDialog);
    if (!chosen)
        return;
    try {
        const std::string table = analysis::TableCsv(TableModel->ParetoRows(), CurrentGrouping());
        exchange::WriteExportFile(nativepath::FromQString(*chosen), [&](fileio::OutputFile& out) {
            out.Write(table.data(), table.size());
        });
    } catch (const std::runtime_error& error) {
        Prompt::Message(this, Prompt::Kind::Error,
                        ExportFailure(QStringLiteral("Die Tabelle"), error), Prompt::Ok);
    }
}

void TAnalysisForm::SaveChartButtonClick() {
    Refresh();
    const std::optional<QString> chosen = Prompt::RunFileDialog(*ChartDialog);
    if (!chosen)
        return;
    const QString suffix = QFileInfo(*chosen).suffix();
    const bool svg = suffix.compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0 ||
                     (suffix.isEmpty() && ChartDialog->defaultSuffix() == QStringLiteral("svg"));
    try {
        exchange::WriteExportFile(nativepath::FromQString(*chosen), [&](fileio::OutputFile& out) {
            out.WriteByName([&](const std::string& file) {
                if (!Chart->SaveImage(nativepath::ToQString(file), svg))
                    throw std::runtime_error("Das Bild konnte nicht geschrieben werden");
            });
        });
    } catch (const std::runtime_error& error) {
        Prompt::Message(this, Prompt::Kind::Error,
                        ExportFailure(QStringLiteral("Das Diagramm"), error), Prompt::Ok);
    }
}
