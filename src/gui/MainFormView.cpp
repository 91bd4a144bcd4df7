// The list and the detail panel following the database: the rebuild of the
// list, the current entry in the panel with the commands it enables, the
// switch between viewing and editing, and the command layer's signals (after
// the window's own commands as after undo and redo).
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/MainForm.h"
#include "gui/RecordListModel.h"
#include "gui/RecordListPanel.h"
#include "gui/SearchBar.h"
#include "gui/StopwatchBar.h"

#include <QAction>
#include <QTableView>
#include <algorithm>

namespace {

// A flag that is true while the guard lives, also when the body throws.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

} // namespace

bool TMainForm::isListed(const TDataRecord& entry) const {
    return searchBar_->IsListed(entry);
}

void TMainForm::RebuildList() {
    const TDataBase& db = document_->DataBase();
    std::vector<TDataRecord*> items;
    items.reserve(static_cast<std::size_t>(std::max(0, db.Count())));
    for (int i = 0; i < db.Count(); ++i) {
        TDataRecord* entry = db.GetRecord(i);
        if (entry && isListed(*entry))
            items.push_back(entry);
    }
    listPanel_->SetEntries(std::move(items));
    detailPanel_->LoadValueBoxes(db);
    ShowSelectedRecord();
}

void TMainForm::ShowSelectedRecord() {
    const FlagGuard updating(updatingPanel_);
    const int current = listPanel_->CurrentItem();
    const TDataRecord* e = listPanel_->ItemRecord(current);
    if (e)
        listPanel_->SelectCurrentItem();
    detailPanel_->ShowRecord(e);
    const bool first = e && listPanel_->IsFirstItem(current);
    const bool last = e && listPanel_->IsLastItem(current);
    firstItemAction_->setEnabled(e && !first);
    previousItemAction_->setEnabled(e && !first);
    lastItemAction_->setEnabled(e && !last);
    nextItemAction_->setEnabled(e && !last);
    changeItemAction_->setEnabled(e != nullptr);
    deleteItemAction_->setEnabled(e != nullptr);
    // Also after a new entry that the search does not list.
    searchBar_->ShowCount();
}

// Runs on every change of the selection. A click on an empty area of the list
// unselects the current item, which keeps the focus; showing it again selects
// it again.
void TMainForm::ListViewSelectItem() {
    if (!updatingPanel_)
        ShowSelectedRecord();
}

void TMainForm::SetEditState(bool editing) {
    // First, so that the panel's focus guard already sees the new state.
    detailPanel_->SetEditing(editing);
    // Menu items and toolbar buttons follow their actions.
    for (QAction* action : actionList_)
        if (action != exitAction_)
            action->setEnabled(!editing);
    configItem_->setEnabled(!editing);
    saveOptionItem_->setEnabled(!editing);
    stopwatchBar_->SetEditing(editing); // its reset needs time to reset
    ShowUndoState();                    // only while there is a step

    const TEntryPanel::Resizing resizing(*detailPanel_);
    listPanel_->setEnabled(!editing);
    detailPanel_->ShowEditControls(editing);
    if (!editing)
        listPanel_->View()->setFocus();
    const int menuHeight = height() - ClientHeight();
    const int panelTop = detailPanel_->mapTo(this, QPoint(0, 0)).y() - menuHeight;
    SetClientHeight(panelTop + detailPanel_->HeightFor(editing));
}

void TMainForm::ShowUndoState() {
    const TDataBaseCommands& commands = document_->Commands();
    const bool editing = detailPanel_->Editing();
    auto show = [editing](QAction* action, const QString& caption, const QString& step,
                          bool possible) {
        action->setText(step.isEmpty() ? caption : caption + QStringLiteral(": ") + step);
        action->setEnabled(possible && !editing);
    };
    show(undoAction_, QStringLiteral("&Rückgängig"), commands.UndoText(), commands.CanUndo());
    show(redoAction_, QStringLiteral("&Wiederherstellen"), commands.RedoText(),
         commands.CanRedo());
}

// A single entry becomes the current one when the filter and the search let
// it through.
void TMainForm::entriesAdded(const std::vector<TDataRecord*>& entries) {
    if (entries.size() != 1) {
        RebuildList();
        return;
    }
    if (isListed(*entries.front()))
        listPanel_->SetCurrentItem(listPanel_->AddListItem(entries.front()));
    detailPanel_->LoadValueBoxes(document_->DataBase());
    ShowSelectedRecord();
}

void TMainForm::entriesChanged(const std::vector<TEntryChange>& changes) {
    TRecordListModel& model = listPanel_->Model();
    for (const TEntryChange& change : changes) {
        const int row = model.RowOf(change.Before);
        if (isListed(*change.After))
            listPanel_->SetCurrentItem(row >= 0 ? listPanel_->FillListItem(row, change.After)
                                                : listPanel_->AddListItem(change.After));
        else if (row >= 0) {
            // The row's entry is gone: observers of the removal read the new one.
            model.Repoint(row, change.After);
            listPanel_->RemoveKeepingNeighbourCurrent(row);
        }
    }
    detailPanel_->LoadValueBoxes(document_->DataBase());
    ShowSelectedRecord();
}

// The list keeps its current entry; when that one leaves, the entry after it
// becomes current, else the one before it. The entries of an import leave by
// one rebuild of the list, after which the first item is current unless the
// current entry stayed.
void TMainForm::entriesRemoved(const std::vector<TDataRecord*>& entries) {
    if (entries.size() == 1) {
        if (const int row = listPanel_->Model().RowOf(entries.front()); row >= 0)
            listPanel_->RemoveKeepingNeighbourCurrent(row);
        detailPanel_->LoadValueBoxes(document_->DataBase());
        ShowSelectedRecord();
        return;
    }
    TDataRecord* current = listPanel_->ItemRecord(listPanel_->CurrentItem());
    if (std::find(entries.begin(), entries.end(), current) != entries.end())
        current = nullptr;
    RebuildList();
    if (current != nullptr) {
        listPanel_->SetCurrentItem(listPanel_->Model().RowOf(current));
        ShowSelectedRecord();
    }
}

// Another database: the search and the list start afresh.
void TMainForm::dataBaseReplaced() {
    searchBar_->ClearSearch();
    RebuildList();
}
