#include "gui/AnalysisTableModel.h"

#include "analysis/TableText.h"
#include "gui/GuiText.h"

#include <algorithm>
#include <tuple>

using analysis::TableColumn;
using analysis::TableRow;

TAnalysisTableModel::TAnalysisTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int TAnalysisTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int TAnalysisTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : analysis::TableColumns;
}

QVariant TAnalysisTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto column = static_cast<TableColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return GuiText::FromCp1252(analysis::CellText(Row(index.row()), column));
    case Qt::TextAlignmentRole:
        return column == TableColumn::Group ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                            : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return rowHint_;
    default:
        return {};
    }
}

QVariant TAnalysisTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= analysis::TableColumns)
        return {};
    return GuiText::FromCp1252(
        analysis::ColumnCaption(static_cast<TableColumn>(section), grouping_));
}

const TableRow& TAnalysisTableModel::Row(int row) const {
    return items_[static_cast<std::size_t>(row)].row;
}

std::vector<TableRow> TAnalysisTableModel::ParetoRows() const {
    std::vector<TableRow> rows(items_.size());
    for (const Item& item : items_)
        rows[static_cast<std::size_t>(item.pareto)] = item.row;
    return rows;
}

void TAnalysisTableModel::SetRows(std::vector<TableRow> rows, analysis::Grouping grouping) {
    beginResetModel();
    grouping_ = grouping;
    items_.clear();
    items_.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        items_.push_back({std::move(rows[i]), static_cast<int>(i)});
    sortItems();
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, analysis::TableColumns - 1);
}

void TAnalysisTableModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged();
    sortColumn_ = column;
    sortOrder_ = order;
    sortItems();
    emit layoutChanged();
}

// Equal figures keep the Pareto order.
void TAnalysisTableModel::sortItems() {
    if (sortColumn_ < 0 || sortColumn_ >= analysis::TableColumns)
        return;
    const auto column = static_cast<TableColumn>(sortColumn_);
    auto key = [column](const Item& item) -> std::tuple<double, std::string_view> {
        const TableRow& r = item.row;
        switch (column) {
        case TableColumn::Group:
            return {static_cast<double>(r.Order), r.Group};
        case TableColumn::Count:
        case TableColumn::CountShare:
            return {static_cast<double>(r.Count), {}};
        case TableColumn::Cumulative:
            return {static_cast<double>(item.pareto), {}};
        case TableColumn::Minutes:
        case TableColumn::MinutesShare:
            return {static_cast<double>(r.Minutes), {}};
        case TableColumn::MeanMinutes:
            return {r.MeanMinutes, {}};
        case TableColumn::MedianMinutes:
            return {r.MedianMinutes, {}};
        }
        return {0.0, {}};
    };
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    std::stable_sort(items_.begin(), items_.end(), [&](const Item& a, const Item& b) {
        const auto ka = key(a);
        const auto kb = key(b);
        if (ka != kb)
            return descending ? kb < ka : ka < kb;
        return a.pareto < b.pareto;
    });
}
