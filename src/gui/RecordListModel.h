#pragma once

#include "gui/ColumnKind.h"

#include <QAbstractTableModel>
#include <cstddef>
#include <vector>

class TDataRecord;

// The rows of the record list: references to the database's own entries (no
// copies, never freed here), kept in sort order. Texts are computed on demand
// from FieldText, so refilling the texts after a column change costs nothing.
// Columns follow the column order; with no occupied slot one empty placeholder
// column remains, so that rows (and the current row) keep valid indexes.
class TRecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TRecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Columns.
    const TColumnOrder& ColumnOrder() const { return order_; }
    bool HasPlaceholderColumn() const { return OccupiedSlots(order_) == 0; }
    // Replaces the whole column set (resets the model).
    void SetColumnOrder(const TColumnOrder& order);
    // The column at `position` is gone; `order` is the new column order.
    void RemoveColumnAt(int position, const TColumnOrder& order);
    // A column was appended at the right; `order` is the new column order.
    void AppendColumn(const TColumnOrder& order);
    // Texts of all rows may have changed.
    void RefreshTexts();

    // Rows.
    int Count() const { return static_cast<int>(rows_.size()); }
    TDataRecord* Record(int row) const;
    // Every row's entry, in list order.
    const std::vector<TDataRecord*>& Records() const { return rows_; }
    int RowOf(const TDataRecord* record) const; // -1 when not listed
    void Clear();
    // Takes the rows (in database order) and sorts them by the given key.
    void SetRecords(std::vector<TDataRecord*>&& records, TColumnKind sortColumn, bool descending);
    // Takes rows that are in the present sort order already (a part of the
    // rows listed before, in their order).
    void SetSortedRecords(std::vector<TDataRecord*>&& records);
    // Sorts again, keeping persistent indexes (current row, selection) on
    // their entries.
    void Sort(TColumnKind sortColumn, bool descending);
    // Adds a row at its sorted place; returns its row.
    int InsertRecord(TDataRecord* record);
    // Points `row` at `record` and moves it to its sorted place; returns the
    // new row.
    int SetRecord(int row, TDataRecord* record);
    void RemoveRecord(int row);
    // Points `row` at `record` (the same entry, replaced) without moving it or
    // telling the views: for a row that is removed next, so that whoever
    // watches the removal reads the live entry.
    void Repoint(int row, TDataRecord* record);

    // Bytes the model holds per listed entry (capacity of its vector).
    std::size_t HeapBytes() const { return rows_.capacity() * sizeof(TDataRecord*); }

private:
    // True when a must stand before b: the sort key, then database order
    // (IDs grow with the database's order), so equal keys keep that order.
    bool before(const TDataRecord* a, const TDataRecord* b) const;
    void sortRows();
    void sortRowsInIdOrder();
    // Sorts the rows stably by a 32-bit key of each.
    template <typename Key, typename KeyOf> void sortRowsByFewKeys(KeyOf keyOf, std::uint32_t last);
    int sortedPlace(const TDataRecord* record) const;

    std::vector<TDataRecord*> rows_;
    TColumnOrder order_{};
    TColumnKind sortColumn_ = ckNone;
    bool descending_ = true;
};
