#pragma once

#include "analysis/FigureRows.h"
#include "analysis/Grouping.h"

#include <QAbstractTableModel>
#include <vector>

// The rows of the analysis table: one group per row with its figures, as the
// figure engine gave them in Pareto order; sorting by a column reorders
// them (the group column by the grouping's own order, "kumuliert %" back to
// the Pareto order).
class TAnalysisTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TAnalysisTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Replaces the rows (given in Pareto order) and keeps the present sort.
    void SetRows(std::vector<analysis::TableRow> rows, analysis::Grouping grouping);
    [[nodiscard]] const analysis::TableRow& Row(int row) const;
    // The rows in Pareto order, as they were given.
    [[nodiscard]] std::vector<analysis::TableRow> ParetoRows() const;
    // The tooltip of every row: what a double-click does.
    void SetRowHint(const QString& hint) { rowHint_ = hint; }

private:
    struct Item {
        analysis::TableRow row;
        int pareto; // place in Pareto order
    };
    void sortItems();

    std::vector<Item> items_;
    analysis::Grouping grouping_ = analysis::Grouping::Language;
    int sortColumn_ = -1; // -1: Pareto order
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QString rowHint_;
};
