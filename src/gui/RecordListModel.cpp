#include "gui/RecordListModel.h"

#include "analysis/RadixSort.h"
#include "core/DataRecord.h"
#include "gui/GuiText.h"
#include "gui/RecordCompare.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <unordered_map>

TRecordListModel::TRecordListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TRecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int TRecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, OccupiedSlots(order_));
}

QVariant TRecordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= Count())
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (column >= order_.size() || order_[column] == ckNone)
        return QString();
    const TDataRecord* record = rows_[static_cast<std::size_t>(index.row())];
    return GuiText::FromCp1252(record->FieldText(order_[column]));
}

QVariant TRecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<std::size_t>(section) >= order_.size())
        return {};
    if (role == Qt::DisplayRole)
        return ColumnCaptions[order_[static_cast<std::size_t>(section)]];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags TRecordListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TRecordListModel::SetColumnOrder(const TColumnOrder& order) {
    beginResetModel();
    order_ = order;
    endResetModel();
}

void TRecordListModel::RemoveColumnAt(int position, const TColumnOrder& order) {
    if (OccupiedSlots(order_) >= 2) {
        beginRemoveColumns(QModelIndex(), position, position);
        order_ = order;
        endRemoveColumns();
    } else { // the last column turns into the empty placeholder
        order_ = order;
        emit headerDataChanged(Qt::Horizontal, 0, 0);
        RefreshTexts();
    }
}

void TRecordListModel::AppendColumn(const TColumnOrder& order) {
    const int before = OccupiedSlots(order_);
    if (before >= 1) {
        beginInsertColumns(QModelIndex(), before, before);
        order_ = order;
        endInsertColumns();
    } else { // the placeholder becomes the first real column
        order_ = order;
        emit headerDataChanged(Qt::Horizontal, 0, 0);
        RefreshTexts();
    }
}

void TRecordListModel::RefreshTexts() {
    if (rows_.empty())
        return;
    emit dataChanged(index(0, 0), index(Count() - 1, columnCount() - 1), {Qt::DisplayRole});
}

TDataRecord* TRecordListModel::Record(int row) const {
    if (row < 0 || row >= Count())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

int TRecordListModel::RowOf(const TDataRecord* record) const {
    const auto it = std::find(rows_.begin(), rows_.end(), record);
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

void TRecordListModel::Clear() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    endResetModel();
}

void TRecordListModel::SetRecords(std::vector<TDataRecord*>&& records, TColumnKind sortColumn,
                                  bool descending) {
    beginResetModel();
    rows_ = std::move(records);
    sortColumn_ = sortColumn;
    descending_ = descending;
    sortRows();
    endResetModel();
}

void TRecordListModel::SetSortedRecords(std::vector<TDataRecord*>&& records) {
    beginResetModel();
    rows_ = std::move(records);
    endResetModel();
}

void TRecordListModel::Sort(TColumnKind sortColumn, bool descending) {
    sortColumn_ = sortColumn;
    descending_ = descending;
    if (rows_.size() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<TDataRecord*> records;
    records.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        records.push_back(Record(i.row()));
    sortRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(RowOf(records[static_cast<std::size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool TRecordListModel::before(const TDataRecord* a, const TDataRecord* b) const {
    const int c = RecordCompare::CompareEntries(*a, *b, sortColumn_, descending_);
    if (c != 0)
        return c < 0;
    return a->ID < b->ID;
}

// Sorting a million rows through the compare rule alone chases two entry
// pointers and folds two strings per comparison. Instead each row is placed
// by the rank of its value among the column's distinct values, a counting
// sort: texts are the value lists' few values, and minutes and dates are
// mostly few as well. Equal keys keep the order of IDs.
void TRecordListModel::sortRows() {
    if (rows_.size() < 2)
        return;
    // In ID order the rows of a rebuild are sorted already (IDs grow with the
    // database order): ascending as they are, descending reversed.
    if (sortColumn_ == ckNone &&
        std::is_sorted(rows_.begin(), rows_.end(),
                       [](const TDataRecord* a, const TDataRecord* b) { return a->ID < b->ID; })) {
        if (descending_)
            std::reverse(rows_.begin(), rows_.end());
        return;
    }
    const TColumnKind column = sortColumn_;
    const bool desc = descending_;
    if (column == ckLanguage || column == ckType || column == ckProject) {
        // The database keeps each exact spelling once, so the address of a
        // row's text stands for the text: one pointer hashed per row.
        auto field = [column](const TDataRecord* r) -> const std::string* {
            return column == ckLanguage ? &r->Language()
                                        : (column == ckType ? &r->ErrorType() : &r->Project());
        };
        std::unordered_map<const std::string*, std::uint32_t> ids;
        std::vector<const std::string*> distinct;
        for (TDataRecord* r : rows_) {
            const auto [it, inserted] =
                ids.try_emplace(field(r), static_cast<std::uint32_t>(distinct.size()));
            if (inserted)
                distinct.push_back(it->first);
        }
        std::vector<std::size_t> order(distinct.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return RecordCompare::CompareTextKeys(*distinct[a], *distinct[b]) < 0;
        });
        std::vector<std::uint32_t> rank(distinct.size());
        std::uint32_t r = 0;
        for (std::size_t k = 0; k < order.size(); ++k) {
            if (k > 0 &&
                RecordCompare::CompareTextKeys(*distinct[order[k - 1]], *distinct[order[k]]))
                ++r; // equal text keys share a rank
            rank[order[k]] = r;
        }
        sortRowsInIdOrder();
        // Few ranks: a counting sort, one pass to count and one to place,
        // with one rank per row kept between them (2 bytes while they fit).
        const std::uint32_t last = r;
        const auto keyOf = [&](const TDataRecord* row) {
            const std::uint32_t key = rank[ids.at(field(row))];
            return desc ? last - key : key;
        };
        if (last <= UINT16_MAX)
            sortRowsByFewKeys<std::uint16_t>(keyOf, last);
        else
            sortRowsByFewKeys<std::uint32_t>(keyOf, last);
    } else {
        // Minutes and dates (a day each, mostly) have few distinct values
        // too: they are ranked and counted like texts. Should there be many,
        // the rows themselves are radix sorted, each key taken from its
        // entry again in every pass. Either way only one more list of rows
        // lives meanwhile (a cleared search sorts a million rows again and
        // must not add much to the window's memory).
        auto keyOf = [column](const TDataRecord* row) {
            return RecordCompare::PackedKey(*row, column);
        };
        constexpr std::size_t ManyKeys = 65536;
        std::unordered_map<std::uint64_t, std::uint32_t> ids;
        for (const TDataRecord* row : rows_) {
            ids.try_emplace(keyOf(row), 0);
            if (ids.size() > ManyKeys)
                break;
        }
        sortRowsInIdOrder();
        if (ids.size() > ManyKeys) {
            analysis::RadixSort(
                rows_, [&](const TDataRecord* row) { return desc ? ~keyOf(row) : keyOf(row); });
            return;
        }
        std::vector<std::uint64_t> distinct;
        distinct.reserve(ids.size());
        for (const auto& id : ids)
            distinct.push_back(id.first);
        std::sort(distinct.begin(), distinct.end());
        for (std::size_t k = 0; k < distinct.size(); ++k)
            ids[distinct[k]] = static_cast<std::uint32_t>(k);
        const auto last = static_cast<std::uint32_t>(distinct.size() - 1);
        sortRowsByFewKeys<std::uint16_t>(
            [&](const TDataRecord* row) {
                const std::uint32_t key = ids.at(keyOf(row));
                return desc ? last - key : key;
            },
            last);
    }
}

// IDs are unique and, in a long list, close to dense: each row goes straight
// to its ID's place in a table as long as their span, which is then read in
// order. Each entry is looked at twice instead of seven times by a radix sort
// of the rows, whose order (sorted by another column) is not the entries'
// order in memory.
void TRecordListModel::sortRowsInIdOrder() {
    if (std::is_sorted(rows_.begin(), rows_.end(),
                       [](const TDataRecord* a, const TDataRecord* b) { return a->ID < b->ID; }))
        return;
    const auto [low, high] = std::minmax_element(
        rows_.begin(), rows_.end(),
        [](const TDataRecord* a, const TDataRecord* b) { return a->ID < b->ID; });
    const std::uint32_t first = (*low)->ID;
    const std::size_t span = std::size_t{(*high)->ID} - first + 1;
    if (span <= rows_.size() + rows_.size() / 4) {
        std::vector<TDataRecord*> byId(span);
        bool unique = true;
        for (TDataRecord* row : rows_) {
            TDataRecord*& place = byId[row->ID - first];
            unique = unique && !place;
            place = row;
        }
        if (unique) {
            std::copy_if(byId.begin(), byId.end(), rows_.begin(),
                         [](const TDataRecord* row) { return row != nullptr; });
            return;
        }
    }
    analysis::RadixSort(rows_, [](const TDataRecord* row) { return row->ID; });
}

// A stable counting sort by keys in [0, last]: every row's key is taken once.
template <typename Key, typename KeyOf>
void TRecordListModel::sortRowsByFewKeys(KeyOf keyOf, std::uint32_t last) {
    std::vector<Key> keys(rows_.size());
    std::vector<std::size_t> start(std::size_t{last} + 2);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        keys[i] = static_cast<Key>(keyOf(rows_[i]));
        ++start[std::size_t{keys[i]} + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<TDataRecord*> sorted(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        sorted[start[keys[i]]++] = rows_[i];
    rows_.swap(sorted);
}

int TRecordListModel::sortedPlace(const TDataRecord* record) const {
    const auto it = std::upper_bound(
        rows_.begin(), rows_.end(), record,
        [this](const TDataRecord* a, const TDataRecord* b) { return before(a, b); });
    return static_cast<int>(it - rows_.begin());
}

int TRecordListModel::InsertRecord(TDataRecord* record) {
    const int row = sortedPlace(record);
    beginInsertRows(QModelIndex(), row, row);
    rows_.insert(rows_.begin() + row, record);
    endInsertRows();
    return row;
}

int TRecordListModel::SetRecord(int row, TDataRecord* record) {
    if (row < 0 || row >= Count())
        return -1;
    // Binary search over the rows without `row` itself.
    int lo = 0;
    int hi = Count() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int at = mid < row ? mid : mid + 1;
        if (before(record, rows_[static_cast<std::size_t>(at)]))
            hi = mid;
        else
            lo = mid + 1;
    }
    const int target = lo;
    const auto first = rows_.begin();
    if (target == row) {
        rows_[static_cast<std::size_t>(row)] = record;
        emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::DisplayRole});
        return row;
    }
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), target < row ? target : target + 1);
    rows_[static_cast<std::size_t>(row)] = record;
    if (target < row)
        std::rotate(first + target, first + row, first + row + 1);
    else
        std::rotate(first + row, first + row + 1, first + target + 1);
    endMoveRows();
    emit dataChanged(index(target, 0), index(target, columnCount() - 1), {Qt::DisplayRole});
    return target;
}

void TRecordListModel::RemoveRecord(int row) {
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void TRecordListModel::Repoint(int row, TDataRecord* record) {
    if (row >= 0 && row < Count())
        rows_[static_cast<std::size_t>(row)] = record;
}
