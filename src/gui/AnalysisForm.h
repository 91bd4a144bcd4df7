#pragma once

#include "analysis/Grouping.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

class QComboBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QSplitter;
class QTableView;
class QTimer;
class TAnalysisChart;
class TAnalysisTableModel;
class TDataBase;
class TDataRecord;
namespace analysis {
class FigureEngine;
}

// The analysis window: how often the listed errors occur and what they cost,
// grouped by language, category, project, month or weekday, as a table and a
// chart. A dialog that is not modal (Escape closes it); it counts exactly the entries that the main
// list shows and follows every change of them (its inputs come through TAnalysisFeed). While it is
// hidden it keeps no figures and counts nothing.
class TAnalysisForm : public QDialog {
    Q_OBJECT
public:
    // The entries that the main list shows, for a full count.
    using ListedEntries = std::function<std::span<const TDataRecord* const>()>;
    TAnalysisForm(const TDataBase& database, ListedEntries listed, QWidget* parent = nullptr);
    ~TAnalysisForm() override;

    // Controls.
    QLabel* GroupingLabel = nullptr;
    QComboBox* GroupingBox = nullptr; // Sprache, Kategorie, Projekt, Monat, Wochentag
    QLabel* MeasureLabel = nullptr;
    QComboBox* MeasureBox = nullptr; // Anzahl, Aufwand
    QPushButton* ExportTableButton = nullptr;
    QPushButton* SaveChartButton = nullptr;
    QSplitter* Splitter = nullptr;
    TAnalysisChart* Chart = nullptr;
    QTableView* TableView = nullptr;
    TAnalysisTableModel* TableModel = nullptr;
    QLabel* TotalLabel = nullptr;
    QFileDialog* TableDialog = nullptr;
    QFileDialog* ChartDialog = nullptr;

    [[nodiscard]] analysis::Grouping CurrentGrouping() const;
    [[nodiscard]] analysis::Measure CurrentMeasure() const;

    // Inputs: entries that joined the list, one that was changed in place,
    // entries that left it; the listed set changed as a whole (filter,
    // search, a new or loaded database).
    void EntriesAdded(std::span<const TDataRecord* const> entries);
    void EntryChanged(const TDataRecord& entry);
    void EntriesRemoved(std::span<const std::uint32_t> ids);
    void ViewChanged();
    // Brings table and chart up to date now (they follow on their own once
    // the event loop runs).
    void Refresh();

    // Handlers.
    void ExportTableButtonClick();
    void SaveChartButtonClick();
    void TableViewDoubleClick(int row);
    void ChartBarClick(int index);
    void ChoiceChanged();

signals:
    // The user asked to list only the group's entries: `value` is the list
    // value (Windows-1252) of a language, category or project.
    void GroupChosen(analysis::Grouping grouping, const std::string& value);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void schedule();
    void redraw();
    void chooseGroup(const std::string& value);
    void updateHints();
    template <class Body> void guarded(Body&& body);

    const TDataBase& database_;
    ListedEntries listed_;
    std::unique_ptr<analysis::FigureEngine> engine_; // only while shown
    bool recount_ = true;
    QTimer* refreshTimer_ = nullptr;
};
