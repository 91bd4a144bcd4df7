// The list and the detail panel following the database: the rebuild of the
// list, the current entry in the panel with the actions it enables, the
// switch between viewing and editing, and the command layer's signals (after
// the window's own actions as after undo and redo).
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/MainActions.h"
#include "gui/MainForm.h"
#include "gui/RecordListPanel.h"
#include "gui/SearchBar.h"
#include "gui/StopwatchBar.h"

#include <QAction>
#include <QScopedValueRollback>
#include <QTableView>

void TMainForm::RebuildList() {
    listPanel_->Rebuild();
    detailPanel_->LoadValueBoxes(document_->DataBase());
    ShowSelectedRecord();
}

void TMainForm::ShowSelectedRecord() {
    const QScopedValueRollback updating(updatingPanel_, true);
    const int current = listPanel_->CurrentItem();
    const TDataRecord* e = listPanel_->ItemRecord(current);
    if (e)
        listPanel_->SelectCurrentItem();
    detailPanel_->ShowRecord(e);
    const bool first = e && listPanel_->IsFirstItem(current);
    const bool last = e && listPanel_->IsLastItem(current);
    actions_->FirstItemAction->setEnabled(e && !first);
    actions_->PreviousItemAction->setEnabled(e && !first);
    actions_->LastItemAction->setEnabled(e && !last);
    actions_->NextItemAction->setEnabled(e && !last);
    actions_->ChangeItemAction->setEnabled(e != nullptr);
    actions_->DeleteItemAction->setEnabled(e != nullptr);
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
    for (QAction* action : actions_->ActionList)
        if (action != actions_->ExitAction)
            action->setEnabled(!editing);
    actions_->ConfigItem->setEnabled(!editing);
    actions_->SaveOptionItem->setEnabled(!editing);
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
    show(actions_->UndoAction, QStringLiteral("&Rückgängig"), commands.UndoText(),
         commands.CanUndo());
    show(actions_->RedoAction, QStringLiteral("&Wiederherstellen"), commands.RedoText(),
         commands.CanRedo());
}

// After the list followed a change: the drop-downs offer the values of the
// database now, the panel shows the current entry.
void TMainForm::listFollowed() {
    detailPanel_->LoadValueBoxes(document_->DataBase());
    ShowSelectedRecord();
}

// Another database: the search and the list start afresh.
void TMainForm::dataBaseReplaced() {
    searchBar_->ClearSearch();
    RebuildList();
}
