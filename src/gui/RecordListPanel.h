#pragma once

#include "core/DataRecord.h"
#include "gui/ColumnKind.h"

#include <QWidget>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QTableView;
class TDataBase;
class TDataBaseCommands;
class TRecordListModel;
struct TEntryChange;
struct WindowConfiguration;

// The list side of the main window: the record list with its columns, sort
// order and current item, and the column menu of the right mouse button.
//
// A list item is addressed by its row (0 = topmost); -1 means no item. Rows
// change when the list is sorted, so an item's row is valid only until the
// next operation that adds, refills or sorts items.
class TRecordListPanel : public QWidget {
    Q_OBJECT
public:
    explicit TRecordListPanel(QWidget* parent);
    ~TRecordListPanel() override;

    [[nodiscard]] const TRecordListModel& Model() const { return *model_; }
    [[nodiscard]] TRecordListModel& Model() { return *model_; }
    [[nodiscard]] QTableView* View() const { return view_; }

    // Whether the list shows an entry (the filter and the search).
    using Listed = std::function<bool(const TDataRecord& entry)>;
    // Lists the entries of `dataBase` that are `listed`, and follows the
    // changes that `commands` tells: a single entry gets or loses its item, a
    // bulk change fills the list anew; Followed comes after each.
    void Follow(const TDataBase& dataBase, const TDataBaseCommands& commands, Listed listed);
    // Fills the list anew from the database: the listed entries, sorted, the
    // first one current.
    void Rebuild();

    // The columns shown and the sort order.
    [[nodiscard]] const TColumnOrder& ColumnOrder() const { return columnOrder_; }
    [[nodiscard]] TColumnKind SortColumn() const { return sortColumn_; }
    [[nodiscard]] bool SortDescending() const { return sortDescending_; }
    // The order that the next rebuild sorts by (a header click sorts at once).
    void SetSort(TColumnKind column, bool descending);
    // The columns, their widths and the sort order of a stored layout, and
    // back. The first empty slot ends the columns; a code that is unknown or
    // already shown counts as an empty slot.
    void RestoreLayout(const WindowConfiguration& record);
    void StoreLayout(WindowConfiguration& record) const;

    // Items.
    [[nodiscard]] int ItemCount() const;
    [[nodiscard]] TDataRecord* ItemRecord(int item) const;
    [[nodiscard]] int CurrentItem() const; // the list's focus item, -1 for none
    void SetCurrentItem(int item);
    [[nodiscard]] bool IsFirstItem(int item) const;
    [[nodiscard]] bool IsLastItem(int item) const;
    [[nodiscard]] int SelectNextItem() const;
    [[nodiscard]] int SelectPreviousItem() const;
    // The listed entries, in database order, sorted by the sort order; the
    // first becomes current.
    void SetEntries(std::vector<TDataRecord*>&& entries);
    void ClearList();
    // Appends a new item for `entry` at its sorted place; returns its row.
    int AddListItem(TDataRecord* entry);
    // Refills `item` from `entry` and moves it to its sorted place; returns its new row.
    int FillListItem(int item, TDataRecord* entry);
    void RemoveListItem(int item);
    // Removes `item`; when it is the current one, the item after it becomes
    // current, else the one before it, else none.
    void RemoveKeepingNeighbourCurrent(int item);
    // Selects the current item across all columns and scrolls it into view.
    void SelectCurrentItem();

    // The list's compare callback with the present sort column and direction.
    [[nodiscard]] int ListViewCompare(const TDataRecord& e1, const TDataRecord& e2) const;
    // The header click: sorts by the clicked column, a second click reverses.
    void ListViewColumnClick(int position);
    void colLanguageItemClick();
    void colTypeItemClick();
    void colProjectItemClick();
    void colDateItemClick();
    void colTimeItemClick();

signals:
    // The user moved the selection (ListViewSelectItem).
    void SelectionChanged();
    // The list was sorted again by a header click.
    void Sorted();
    // The list followed a change of the database.
    void Followed();

private:
    void entriesAdded(const std::vector<TDataRecord*>& entries);
    void entriesChanged(const std::vector<TEntryChange>& changes);
    void entriesRemoved(const std::vector<TDataRecord*>& entries);
    QAction* columnItem(TColumnKind kind) const;
    void toggleColumn(TColumnKind kind);
    void showPopup(const QPoint& at);

    const TDataBase* dataBase_ = nullptr;
    Listed listed_;
    TColumnOrder columnOrder_{};
    TColumnKind sortColumn_ = ckNone;
    bool sortDescending_ = true;
    QTableView* view_ = nullptr;
    TRecordListModel* model_ = nullptr;
    QMenu* popup_ = nullptr;
    QAction* colLanguageItem_ = nullptr;
    QAction* colTypeItem_ = nullptr;
    QAction* colProjectItem_ = nullptr;
    QAction* colDateItem_ = nullptr;
    QAction* colTimeItem_ = nullptr;
};
