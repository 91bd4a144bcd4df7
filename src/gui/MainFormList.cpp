// The record list: its contents, columns, sort order, current item and
// navigation, and the filling of the detail panel.
#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "gui/DatePicker.h"
#include "gui/GuiText.h"
#include "gui/MainForm.h"
#include "gui/RecordCompare.h"
#include "gui/RecordListModel.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <algorithm>

namespace {

// UpdatingPanel is true from the first step of ShowSelectedRecord to its last,
// also when a step throws.
class PanelUpdate {
public:
    explicit PanelUpdate(bool& flag) : flag_(flag) { flag_ = true; }
    ~PanelUpdate() { flag_ = false; }
    PanelUpdate(const PanelUpdate&) = delete;
    PanelUpdate& operator=(const PanelUpdate&) = delete;

private:
    bool& flag_;
};

// Selects the item equal to `value` without regard to letter case; none when
// the box doesn't hold it (the box then shows empty).
void SelectValue(QComboBox* box, const std::string& value) {
    const QString text = GuiText::FromCp1252(value);
    int found = -1;
    for (int i = 0; i < box->count(); ++i)
        if (QString::compare(box->itemText(i), text, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    box->setCurrentIndex(found);
}

void LoadBox(QComboBox* box, const TValueList& values) {
    QStringList items;
    items.reserve(values.Count());
    for (int i = 0; i < values.Count(); ++i)
        items.append(GuiText::FromCp1252(values.Value(i)));
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
}

} // namespace

void TMainForm::RebuildList() {
    ClearList();
    std::vector<TDataRecord*> items;
    items.reserve(static_cast<std::size_t>(std::max(0, DataBase->Count())));
    for (int i = 0; i < DataBase->Count(); ++i) {
        TDataRecord* entry = DataBase->GetRecord(i);
        if (entry && IsListed(*entry))
            items.push_back(entry);
    }
    // One sort for the whole list instead of one per item: the list is in sort
    // order when the rebuild returns, which is all that callers can observe.
    ListModel->SetRecords(std::move(items), SortColumn, SortDescending);
    if (ItemCount() > 0)
        SetCurrentItem(0);
    LoadValueBoxes();
    ShowSelectedRecord();
}

void TMainForm::ClearList() {
    ListModel->Clear();
}

int TMainForm::FillListItem(int item, TDataRecord* entry) {
    return ListModel->SetRecord(item, entry);
}

int TMainForm::AddListItem(TDataRecord* entry) {
    return ListModel->InsertRecord(entry);
}

void TMainForm::RemoveListItem(int item) {
    ListModel->RemoveRecord(item);
}

void TMainForm::RebuildColumns() {
    ListModel->RefreshTexts();
}

void TMainForm::LoadValueBoxes() {
    LoadBox(LanguageBox, DataBase->Languages);
    LoadBox(TypeBox, DataBase->ErrorTypes);
    LoadBox(ProjectBox, DataBase->Projects);
}

void TMainForm::ShowSelectedRecord() {
    PanelUpdate guard(UpdatingPanel);
    const int current = CurrentItem();
    const TDataRecord* e = ItemRecord(current);
    if (e) {
        ListView->selectionModel()->select(ListModel->index(current, 0),
                                           QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
        // Also after a sort or a column toggle, which move rows but not the view.
        ListView->scrollTo(ListModel->index(current, 0));
        SelectValue(LanguageBox, e->Language());
        SelectValue(TypeBox, e->ErrorType());
        SelectValue(ProjectBox, e->Project());
        DatePicker->SetDate(e->Date);
        DateEdit->setText(GuiText::FromCp1252(FormatDate(e->Date)));
        // The field holds 0 to 1000000; a larger stored value shows as the bound.
        TimeEdit->setValue(static_cast<int>(std::min<std::uint32_t>(e->TimeNeeded, 1000000)));
        setTimeEditHidden(false);
        DescriptionMemo->setPlainText(GuiText::ShownLines(e->Description()));
        shownDescription_ = DescriptionMemo->toPlainText();
        const bool first = IsFirstItem(current);
        const bool last = IsLastItem(current);
        FirstItemAction->setEnabled(!first);
        PreviousItemAction->setEnabled(!first);
        LastItemAction->setEnabled(!last);
        NextItemAction->setEnabled(!last);
        ChangeItemAction->setEnabled(true);
        DeleteItemAction->setEnabled(true);
    } else {
        for (QComboBox* box : {LanguageBox, TypeBox, ProjectBox})
            box->setCurrentIndex(-1);
        DatePicker->SetDate(0.0);
        DateEdit->clear();
        TimeEdit->setValue(0);
        setTimeEditHidden(true);
        DescriptionMemo->clear();
        shownDescription_.clear();
        for (QAction* a : {FirstItemAction, LastItemAction, NextItemAction, PreviousItemAction,
                           ChangeItemAction, DeleteItemAction})
            a->setEnabled(false);
    }
    // Also after a new entry that the search does not list.
    showSearchCount();
}

bool TMainForm::IsFirstItem(int item) const {
    return ItemCount() > 0 && item == 0;
}

bool TMainForm::IsLastItem(int item) const {
    return ItemCount() > 0 && item == ItemCount() - 1;
}

int TMainForm::SelectNextItem() const {
    const int current = CurrentItem();
    if (current < 0)
        return ItemCount() > 0 ? 0 : -1;
    return current + 1 < ItemCount() ? current + 1 : -1;
}

int TMainForm::SelectPreviousItem() const {
    const int current = CurrentItem();
    return current > 0 ? current - 1 : -1;
}

int TMainForm::ItemCount() const {
    return ListModel->Count();
}

TDataRecord* TMainForm::ItemRecord(int item) const {
    return ListModel->Record(item);
}

int TMainForm::CurrentItem() const {
    const QModelIndex index = ListView->selectionModel()->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void TMainForm::SetCurrentItem(int item) {
    QItemSelectionModel* selection = ListView->selectionModel();
    if (item < 0 || item >= ItemCount()) {
        selection->clearCurrentIndex();
        return;
    }
    const QModelIndex index = ListModel->index(item, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    ListView->scrollTo(index);
}

int TMainForm::ListViewCompare(const TDataRecord& e1, const TDataRecord& e2) const {
    return RecordCompare::CompareEntries(e1, e2, SortColumn, SortDescending);
}

void TMainForm::FirstItemActionExecute() {
    if (ItemCount() > 0)
        SetCurrentItem(0);
    ShowSelectedRecord();
}

void TMainForm::LastItemActionExecute() {
    if (ItemCount() > 0)
        SetCurrentItem(ItemCount() - 1);
    ShowSelectedRecord();
}

void TMainForm::NextItemActionExecute() {
    SetCurrentItem(SelectNextItem());
    ShowSelectedRecord();
}

void TMainForm::PreviousItemActionExecute() {
    SetCurrentItem(SelectPreviousItem());
    ShowSelectedRecord();
}

// Runs on every change of the selection. A click on an empty area of the list
// unselects the current item, which keeps the focus; showing it again selects
// it again.
void TMainForm::ListViewSelectItem() {
    if (!UpdatingPanel)
        ShowSelectedRecord();
}

void TMainForm::ListViewColumnClick(int position) {
    if (position < 0 || position >= static_cast<int>(ColumnOrder.size()))
        return;
    const TColumnKind kind = ColumnOrder[static_cast<std::size_t>(position)];
    if (kind == SortColumn)
        SortDescending = !SortDescending;
    else {
        SortColumn = kind;
        SortDescending = true;
    }
    ListModel->Sort(SortColumn, SortDescending);
    ShowSelectedRecord();
}

QAction* TMainForm::columnItem(TColumnKind kind) const {
    switch (kind) {
    case ckLanguage:
        return colLanguageItem;
    case ckType:
        return colTypeItem;
    case ckProject:
        return colProjectItem;
    case ckDate:
        return colDateItem;
    case ckTime:
        return colTimeItem;
    case ckNone:
        break;
    }
    return nullptr;
}

// Shows or hides the column of `kind`: a hidden column is appended at the
// right, 50 pixels wide; hiding one moves the columns right of it to the left.
// The sort order stays as it is.
void TMainForm::toggleColumn(TColumnKind kind) {
    QHeaderView* header = ListView->horizontalHeader();
    const auto slot = std::find(ColumnOrder.begin(), ColumnOrder.end(), kind);
    const bool shown = slot != ColumnOrder.end();
    if (shown) {
        const int position = static_cast<int>(slot - ColumnOrder.begin());
        std::move(slot + 1, ColumnOrder.end(), slot);
        ColumnOrder.back() = ckNone;
        ListModel->RemoveColumnAt(position, ColumnOrder);
        if (ListModel->HasPlaceholderColumn())
            header->setSectionHidden(0, true);
    } else {
        const int position = OccupiedSlots(ColumnOrder);
        ColumnOrder[static_cast<std::size_t>(position)] = kind;
        ListModel->AppendColumn(ColumnOrder);
        header->setSectionHidden(position, false);
        header->resizeSection(position, 50);
    }
    RebuildColumns();
    // An inserted column is not part of the current row's selection, and a
    // removed leftmost column can take the selection with it: the current
    // item is selected across all columns again.
    if (const int current = CurrentItem(); current >= 0) {
        ListView->selectionModel()->select(ListModel->index(current, 0),
                                           QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
        ListView->scrollTo(ListModel->index(current, 0));
    }
    columnItem(kind)->setChecked(!shown);
}

void TMainForm::colLanguageItemClick() {
    toggleColumn(ckLanguage);
}
void TMainForm::colTypeItemClick() {
    toggleColumn(ckType);
}
void TMainForm::colProjectItemClick() {
    toggleColumn(ckProject);
}
void TMainForm::colDateItemClick() {
    toggleColumn(ckDate);
}
void TMainForm::colTimeItemClick() {
    toggleColumn(ckTime);
}
