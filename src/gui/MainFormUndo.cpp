// Undo and redo in the main window: the two commands, their captions and
// enabled states, and the list and detail panel following the command layer's
// signals (after the window's own commands as after undo and redo).
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "gui/RecordListModel.h"

#include <QAction>
#include <algorithm>

void TMainForm::createUndoActions() {
    Commands = new TDataBaseCommands(*DataBase, this);
    auto make = [this](const char* name, const QString& hint, const char* icon) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
        ActionList.append(action);
        return action;
    };
    UndoAction = make("UndoAction", QStringLiteral("nimmt den letzten Schritt zurück"), "undo");
    UndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoAction =
        make("RedoAction", QStringLiteral("führt den zurückgenommenen Schritt wieder aus"), "redo");
    RedoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    ShowUndoState();
}

void TMainForm::ShowUndoState() {
    auto show = [this](QAction* action, const QString& caption, const QString& step,
                       bool possible) {
        action->setText(step.isEmpty() ? caption : caption + QStringLiteral(": ") + step);
        action->setEnabled(possible && !Editing);
    };
    show(UndoAction, QStringLiteral("&Rückgängig"), Commands->UndoText(), Commands->CanUndo());
    show(RedoAction, QStringLiteral("&Wiederherstellen"), Commands->RedoText(),
         Commands->CanRedo());
}

void TMainForm::UndoActionExecute() {
    if (!Editing)
        Commands->Undo();
}

void TMainForm::RedoActionExecute() {
    if (!Editing)
        Commands->Redo();
}

// A single entry becomes the current one when the filter and the search let
// it through; the entries of an import are shown as after the import itself.
void TMainForm::entriesAdded(const std::vector<TDataRecord*>& entries) {
    if (entries.size() != 1) {
        RebuildList();
        return;
    }
    if (IsListed(*entries.front()))
        SetCurrentItem(AddListItem(entries.front()));
    LoadValueBoxes();
    ShowSelectedRecord();
}

void TMainForm::entriesChanged(const std::vector<TEntryChange>& changes) {
    for (const TEntryChange& change : changes) {
        const int row = ListModel->RowOf(change.Before);
        if (IsListed(*change.After))
            SetCurrentItem(row >= 0 ? FillListItem(row, change.After) : AddListItem(change.After));
        else if (row >= 0) {
            // The row's entry is gone: observers of the removal read the new one.
            ListModel->Repoint(row, change.After);
            removeListItemKeepingNeighbourCurrent(row);
        }
    }
    LoadValueBoxes();
    ShowSelectedRecord();
}

// The list keeps its current entry; when that one leaves, the entry after it
// becomes current, else the one before it. The entries of an import leave by
// one rebuild of the list, after which the first item is current unless the
// current entry stayed.
void TMainForm::entriesRemoved(const std::vector<TDataRecord*>& entries) {
    if (entries.size() == 1) {
        if (const int row = ListModel->RowOf(entries.front()); row >= 0)
            removeListItemKeepingNeighbourCurrent(row);
        LoadValueBoxes();
        ShowSelectedRecord();
        return;
    }
    TDataRecord* current = ItemRecord(CurrentItem());
    if (std::find(entries.begin(), entries.end(), current) != entries.end())
        current = nullptr;
    RebuildList();
    if (current != nullptr) {
        SetCurrentItem(ListModel->RowOf(current));
        ShowSelectedRecord();
    }
}

void TMainForm::connectUndo() {
    connectGuarded(UndoAction, &QAction::triggered, &TMainForm::UndoActionExecute);
    connectGuarded(RedoAction, &QAction::triggered, &TMainForm::RedoActionExecute);
    connect(Commands, &TDataBaseCommands::HistoryChanged, this, &TMainForm::ShowUndoState);
    connect(Commands, &TDataBaseCommands::EntriesAdded, this, &TMainForm::entriesAdded);
    connect(Commands, &TDataBaseCommands::EntriesChanged, this, &TMainForm::entriesChanged);
    connect(Commands, &TDataBaseCommands::EntriesRemoved, this, &TMainForm::entriesRemoved);
    connect(Commands, &TDataBaseCommands::DataBaseReplaced, this, &TMainForm::RebuildList);
}
