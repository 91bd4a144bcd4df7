// The record list: its columns and their menu, the sort order, the current
// item and the navigation between items.
#include "gui/RecordListPanel.h"

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/RecordCompare.h"
#include "gui/RecordListModel.h"
#include "gui/RecordListView.h"
#include "settings/WindowConfiguration.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace {

// Width given to a restored column whose stored width is negative (the list
// view's "fit" widths, which the program never stores itself).
constexpr int FallbackColumnWidth = 50;
constexpr int MinimumWidth = 150;

} // namespace

TRecordListPanel::TRecordListPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ListPanel"));
    setFont(FormFont());
    setMinimumWidth(MinimumWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(19, 16, 18, 10);

    model_ = new TRecordListModel(this);
    model_->SetColumnOrder(columnOrder_);
    view_ = new TRecordListView(this);
    view_->setObjectName(QStringLiteral("ListView"));
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setShowGrid(false);
    view_->setWordWrap(false);
    view_->setTabKeyNavigation(false);
    view_->setCornerButtonEnabled(false);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* rows = view_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed); // uniform rows, never measured
    rows->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    rows->setMinimumSectionSize(1);
    QHeaderView* header = view_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(0);
    layout->addWidget(view_);

    popup_ = new QMenu(view_);
    popup_->setObjectName(QStringLiteral("ListViewPopup"));
    auto item = [this](const char* name, TColumnKind kind, void (TRecordListPanel::*click)()) {
        QAction* a = popup_->addAction(ColumnCaptions[kind]);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true); // ticked by the layout
        ErrorReport::Connect(a, &QAction::triggered, this, [this, click] { (this->*click)(); });
        return a;
    };
    colLanguageItem_ = item("colLanguageItem", ckLanguage, &TRecordListPanel::colLanguageItemClick);
    colTypeItem_ = item("colTypeItem", ckType, &TRecordListPanel::colTypeItemClick);
    colProjectItem_ = item("colProjectItem", ckProject, &TRecordListPanel::colProjectItemClick);
    colDateItem_ = item("colDateItem", ckDate, &TRecordListPanel::colDateItemClick);
    colTimeItem_ = item("colTimeItem", ckTime, &TRecordListPanel::colTimeItemClick);

    ErrorReport::Connect(header, &QHeaderView::sectionClicked, this,
                         [this](int position) { ListViewColumnClick(position); });
    ErrorReport::Connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                         [this] { emit SelectionChanged(); });
    ErrorReport::Connect(view_, &QWidget::customContextMenuRequested, this,
                         [this](const QPoint& at) { showPopup(at); });
}

TRecordListPanel::~TRecordListPanel() {
    // The rows refer to the database's entries, which may go first.
    model_->Clear();
}

void TRecordListPanel::showPopup(const QPoint& at) {
    popup_->popup(view_->viewport()->mapToGlobal(at));
}

void TRecordListPanel::Follow(const TDataBase& dataBase, const TDataBaseCommands& commands,
                              Listed listed) {
    dataBase_ = &dataBase;
    listed_ = std::move(listed);
    using C = TDataBaseCommands;
    connect(&commands, &C::EntriesAdded, this, &TRecordListPanel::entriesAdded);
    connect(&commands, &C::EntriesChanged, this, &TRecordListPanel::entriesChanged);
    connect(&commands, &C::EntriesRemoved, this, &TRecordListPanel::entriesRemoved);
    connect(&commands, &C::EntriesImported, this, [this] {
        Rebuild();
        emit Followed();
    });
}

void TRecordListPanel::Rebuild() {
    std::vector<TDataRecord*> items;
    items.reserve(static_cast<std::size_t>(std::max(0, dataBase_->Count())));
    for (int i = 0; i < dataBase_->Count(); ++i) {
        TDataRecord* entry = dataBase_->GetRecord(i);
        // The filter's hidden entries are passed over here: a filtered list
        // of a million entries asks the search only for those it shows.
        if (entry && !entry->Hidden && listed_(*entry))
            items.push_back(entry);
    }
    SetEntries(std::move(items));
}

// A single entry becomes the current one when it is listed.
void TRecordListPanel::entriesAdded(const std::vector<TDataRecord*>& entries) {
    if (entries.size() != 1)
        Rebuild();
    else if (listed_(*entries.front()))
        SetCurrentItem(AddListItem(entries.front()));
    emit Followed();
}

// The item of a changed entry points at the new one, or leaves when the
// entry is no longer listed (the item after it, else the one before it, then
// becomes current).
void TRecordListPanel::entriesChanged(const std::vector<TEntryChange>& changes) {
    for (const TEntryChange& change : changes) {
        const int row = model_->RowOf(change.Before);
        if (listed_(*change.After))
            SetCurrentItem(row >= 0 ? FillListItem(row, change.After) : AddListItem(change.After));
        else if (row >= 0) {
            // The row's entry is gone: observers of the removal read the new one.
            model_->Repoint(row, change.After);
            RemoveKeepingNeighbourCurrent(row);
        }
    }
    emit Followed();
}

// The list keeps its current entry; when that one leaves, the entry after it
// becomes current, else the one before it. The entries of an import leave by
// one rebuild of the list, after which the first item is current unless the
// current entry stayed.
void TRecordListPanel::entriesRemoved(const std::vector<TDataRecord*>& entries) {
    if (entries.size() == 1) {
        if (const int row = model_->RowOf(entries.front()); row >= 0)
            RemoveKeepingNeighbourCurrent(row);
        emit Followed();
        return;
    }
    TDataRecord* current = ItemRecord(CurrentItem());
    if (std::find(entries.begin(), entries.end(), current) != entries.end())
        current = nullptr;
    Rebuild();
    if (current != nullptr)
        SetCurrentItem(model_->RowOf(current));
    emit Followed();
}

void TRecordListPanel::SetEntries(std::vector<TDataRecord*>&& entries) {
    ClearList();
    // One sort for the whole list instead of one per item.
    model_->SetRecords(std::move(entries), sortColumn_, sortDescending_);
    if (ItemCount() > 0)
        SetCurrentItem(0);
}

void TRecordListPanel::ClearList() {
    model_->Clear();
}

int TRecordListPanel::AddListItem(TDataRecord* entry) {
    return model_->InsertRecord(entry);
}

int TRecordListPanel::FillListItem(int item, TDataRecord* entry) {
    return model_->SetRecord(item, entry);
}

void TRecordListPanel::RemoveListItem(int item) {
    model_->RemoveRecord(item);
}

void TRecordListPanel::RemoveKeepingNeighbourCurrent(int item) {
    if (item == CurrentItem())
        SetCurrentItem(!IsLastItem(item) ? item + 1 : !IsFirstItem(item) ? item - 1 : -1);
    RemoveListItem(item);
}

void TRecordListPanel::SelectCurrentItem() {
    const int current = CurrentItem();
    if (current < 0)
        return;
    view_->selectionModel()->select(model_->index(current, 0), QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
    // Also after a sort or a column toggle, which move rows but not the view.
    view_->scrollTo(model_->index(current, 0));
}

bool TRecordListPanel::IsFirstItem(int item) const {
    return ItemCount() > 0 && item == 0;
}

bool TRecordListPanel::IsLastItem(int item) const {
    return ItemCount() > 0 && item == ItemCount() - 1;
}

int TRecordListPanel::SelectNextItem() const {
    const int current = CurrentItem();
    if (current < 0)
        return ItemCount() > 0 ? 0 : -1;
    return current + 1 < ItemCount() ? current + 1 : -1;
}

int TRecordListPanel::SelectPreviousItem() const {
    const int current = CurrentItem();
    return current > 0 ? current - 1 : -1;
}

int TRecordListPanel::ItemCount() const {
    return model_->Count();
}

TDataRecord* TRecordListPanel::ItemRecord(int item) const {
    return model_->Record(item);
}

int TRecordListPanel::CurrentItem() const {
    const QModelIndex index = view_->selectionModel()->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void TRecordListPanel::SetCurrentItem(int item) {
    QItemSelectionModel* selection = view_->selectionModel();
    if (item < 0 || item >= ItemCount()) {
        selection->clearCurrentIndex();
        return;
    }
    const QModelIndex index = model_->index(item, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    view_->scrollTo(index);
}

int TRecordListPanel::ListViewCompare(const TDataRecord& e1, const TDataRecord& e2) const {
    return RecordCompare::CompareEntries(e1, e2, sortColumn_, sortDescending_);
}

void TRecordListPanel::ListViewColumnClick(int position) {
    if (position < 0 || position >= static_cast<int>(columnOrder_.size()))
        return;
    const TColumnKind kind = columnOrder_[static_cast<std::size_t>(position)];
    if (kind == sortColumn_)
        sortDescending_ = !sortDescending_;
    else {
        sortColumn_ = kind;
        sortDescending_ = true;
    }
    model_->Sort(sortColumn_, sortDescending_);
    emit Sorted();
}

QAction* TRecordListPanel::columnItem(TColumnKind kind) const {
    switch (kind) {
    case ckLanguage:
        return colLanguageItem_;
    case ckType:
        return colTypeItem_;
    case ckProject:
        return colProjectItem_;
    case ckDate:
        return colDateItem_;
    case ckTime:
        return colTimeItem_;
    case ckNone:
        break;
    }
    return nullptr;
}

// Shows or hides the column of `kind`: a hidden column is appended at the
// right, 50 pixels wide; hiding one moves the columns right of it to the left.
// The sort order stays as it is.
void TRecordListPanel::toggleColumn(TColumnKind kind) {
    QHeaderView* header = view_->horizontalHeader();
    const auto slot = std::find(columnOrder_.begin(), columnOrder_.end(), kind);
    const bool shown = slot != columnOrder_.end();
    if (shown) {
        const int position = static_cast<int>(slot - columnOrder_.begin());
        std::move(slot + 1, columnOrder_.end(), slot);
        columnOrder_.back() = ckNone;
        model_->RemoveColumnAt(position, columnOrder_);
        if (model_->HasPlaceholderColumn())
            header->setSectionHidden(0, true);
    } else {
        const int position = OccupiedSlots(columnOrder_);
        columnOrder_[static_cast<std::size_t>(position)] = kind;
        model_->AppendColumn(columnOrder_);
        header->setSectionHidden(position, false);
        header->resizeSection(position, 50);
    }
    model_->RefreshTexts();
    // An inserted column is not part of the current row's selection, and a
    // removed leftmost column can take the selection with it: the current
    // item is selected across all columns again.
    SelectCurrentItem();
    columnItem(kind)->setChecked(!shown);
}

void TRecordListPanel::colLanguageItemClick() {
    toggleColumn(ckLanguage);
}
void TRecordListPanel::colTypeItemClick() {
    toggleColumn(ckType);
}
void TRecordListPanel::colProjectItemClick() {
    toggleColumn(ckProject);
}
void TRecordListPanel::colDateItemClick() {
    toggleColumn(ckDate);
}
void TRecordListPanel::colTimeItemClick() {
    toggleColumn(ckTime);
}

void TRecordListPanel::SetSort(TColumnKind column, bool descending) {
    sortColumn_ = column;
    sortDescending_ = descending;
}

void TRecordListPanel::RestoreLayout(const WindowConfiguration& record) {
    sortColumn_ = static_cast<TColumnKind>(record.SortColumn);
    sortDescending_ = record.SortDescending;
    TColumnOrder order{};
    std::array<int, WindowConfiguration::Slots> widths{};
    for (std::size_t slot = 0; slot < WindowConfiguration::Slots; ++slot) {
        const auto kind = static_cast<TColumnKind>(record.ColumnOrder[slot]);
        if (kind == ckNone || record.ColumnOrder[slot] > WindowConfiguration::MaxColumnCode ||
            std::find(order.begin(), order.end(), kind) != order.end())
            break;
        order[slot] = kind;
        widths[slot] =
            record.ColumnWidths[slot] < 0 ? FallbackColumnWidth : record.ColumnWidths[slot];
    }
    columnOrder_ = order;
    model_->SetColumnOrder(columnOrder_);
    QHeaderView* header = view_->horizontalHeader();
    for (int position = 0; position < model_->columnCount(); ++position) {
        const auto slot = static_cast<std::size_t>(position);
        const bool occupied = slot < order.size() && order[slot] != ckNone;
        header->setSectionHidden(position, !occupied);
        if (occupied)
            header->resizeSection(position, widths[slot]);
    }
    for (TColumnKind kind : {ckLanguage, ckType, ckProject, ckDate, ckTime})
        columnItem(kind)->setChecked(std::find(order.begin(), order.end(), kind) != order.end());
    model_->RefreshTexts();
}

void TRecordListPanel::StoreLayout(WindowConfiguration& record) const {
    record.SortColumn = static_cast<std::uint8_t>(sortColumn_);
    record.SortDescending = sortDescending_;
    const QHeaderView* header = view_->horizontalHeader();
    for (std::size_t slot = 0; slot < WindowConfiguration::Slots; ++slot) {
        record.ColumnOrder[slot] = static_cast<std::uint8_t>(columnOrder_[slot]);
        record.ColumnWidths[slot] =
            columnOrder_[slot] != ckNone ? header->sectionSize(static_cast<int>(slot)) : 0;
    }
}
