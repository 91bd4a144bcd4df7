// The handlers of the main window's actions: each asks what only the window
// can ask (a file dialog, a question) and hands the work to the part that
// owns it.
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "core/Errors.h"
#include "gui/AnalysisWindow.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/FilterForm.h"
#include "gui/InfoForm.h"
#include "gui/MainActions.h"
#include "gui/MainForm.h"
#include "gui/MainMenus.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListPanel.h"
#include "gui/StopwatchBar.h"
#include "gui/VersionsForm.h"

#include <QAction>
#include <QCoreApplication>
#include <QDate>
#include <QFileDialog>
#include <stdexcept>

using nativepath::FromQString;
using nativepath::ToQString;

void TMainForm::NewDataBaseActionExecute() {
    // Unsaved entries are dropped without a question.
    document_->New();
}

void TMainForm::LoadDataBaseActionExecute() {
    openDialog_->setWindowTitle(QStringLiteral("Datenbank öffnen..."));
    const auto chosen = fileChooser_.Choose(*openDialog_, ToQString(document_->FileName()));
    if (!chosen)
        return;
    // A file that can't be read is reported; the window then shows what was
    // read, and the database keeps naming the chosen file.
    document_->Open(FromQString(*chosen));
}

void TMainForm::ImportDataBaseActionExecute() {
    openDialog_->setWindowTitle(QStringLiteral("Datenbank importieren..."));
    const auto chosen = fileChooser_.Choose(*openDialog_, QString());
    if (!chosen)
        return;
    document_->ImportFile(FromQString(*chosen));
}

void TMainForm::SaveDataBaseActionExecute() {
    if (document_->FileName().empty()) {
        actions_->SaveDataBaseAsAction->trigger();
        return;
    }
    document_->Save();
}

void TMainForm::SaveDataBaseAsActionExecute() {
    const auto chosen = fileChooser_.Choose(*saveDialog_, ToQString(document_->FileName()));
    if (!chosen)
        return;
    document_->SaveAs(FromQString(*chosen));
}

void TMainForm::RestoreVersionActionExecute() {
    TVersionsForm(*document_, this).Execute();
}

void TMainForm::ExitActionExecute() {
    TCloseAction action = TCloseAction::caFree;
    FormClose(action);
    if (action == TCloseAction::caNone)
        return;
    closeQuestionDone_ = true;
    const bool closed = close();
    closeQuestionDone_ = false;
    if (closed)
        QCoreApplication::quit();
}

void TMainForm::InfoActionExecute() {
    if (infoForm_) // created by the program body after the window
        infoForm_->Execute(document_->DataBase());
}

void TMainForm::RecentFileItemClick(const std::string& file) {
    if (actions_->LoadDataBaseAction->isEnabled())
        document_->Open(file);
}

bool TMainForm::FormDragOver(Qt::KeyboardModifiers modifiers) const {
    const QAction* action = modifiers & Qt::ControlModifier ? actions_->ImportDataBaseAction
                                                            : actions_->LoadDataBaseAction;
    return !detailPanel_->Editing() && action->isEnabled();
}

void TMainForm::FormDragDrop(const QString& file, Qt::KeyboardModifiers modifiers) {
    // The drop is handled after it ended: the window may have changed since.
    if (!FormDragOver(modifiers))
        return;
    const std::string name = FromQString(file);
    if (modifiers & Qt::ControlModifier) {
        document_->ImportFile(name);
        return;
    }
    // Unlike "Datenbank laden", a drop asks first: it is easily made by mistake.
    const auto save = [this] {
        actionFailed_ = false;
        actions_->SaveDataBaseAction->trigger(); // does nothing while it is disabled
        return !std::exchange(actionFailed_, false);
    };
    if (document_->AskToSaveChanges(save) != TDocument::TChangesAnswer::Proceed)
        return;
    document_->Open(name);
}

void TMainForm::FirstItemActionExecute() {
    if (listPanel_->ItemCount() > 0)
        listPanel_->SetCurrentItem(0);
    ShowSelectedRecord();
}

void TMainForm::LastItemActionExecute() {
    if (listPanel_->ItemCount() > 0)
        listPanel_->SetCurrentItem(listPanel_->ItemCount() - 1);
    ShowSelectedRecord();
}

void TMainForm::NextItemActionExecute() {
    listPanel_->SetCurrentItem(listPanel_->SelectNextItem());
    ShowSelectedRecord();
}

void TMainForm::PreviousItemActionExecute() {
    listPanel_->SetCurrentItem(listPanel_->SelectPreviousItem());
    ShowSelectedRecord();
}

void TMainForm::NewItemActionExecute() {
    SetEditState(true);
    const QDate today = QDate::currentDate();
    detailPanel_->BeginNewEntry(EncodeDate({today.year(), today.month(), today.day()}),
                                stopwatchBar_->OfferMinutes(detailPanel_->MaximumMinutes()));
}

void TMainForm::ChangeItemActionExecute() {
    // Enabled only with a current entry, whose values the panel shows.
    if (listPanel_->ItemRecord(listPanel_->CurrentItem()) == nullptr)
        return;
    SetEditState(true);
    detailPanel_->BeginChange();
}

void TMainForm::OkButtonClick() {
    if (!detailPanel_->Editing())
        return;
    // A text that the database can't hold or out-of-range minutes refuse the
    // input before anything is stored.
    const bool adding = detailPanel_->AddingRecord();
    const TDataRecord* old = adding ? nullptr : listPanel_->ItemRecord(listPanel_->CurrentItem());
    if (!adding && old == nullptr)
        throw std::runtime_error("Der geänderte Datensatz ist nicht mehr vorhanden.");
    const TRecordData record = detailPanel_->EnteredRecord(old);

    // A refused duplicate throws here: the state and the input stay. The
    // list and the panel follow the command layer's signal: a new entry that
    // the filter lets through becomes current; the item of a changed entry
    // points at the new one, or leaves when the filter hides the change (the
    // item that would follow it after a deletion then becomes current).
    TDataBaseCommands& commands = document_->Commands();
    if (adding)
        commands.AddEntry(record);
    else if (commands.ChangeEntry(record) == nullptr)
        throw std::runtime_error("Der geänderte Datensatz ist nicht mehr vorhanden.");

    SetEditState(false);
    ShowSelectedRecord();
    // Last: the entry is stored and shown even if storing the reset fails.
    if (adding)
        stopwatchBar_->NewEntryStored();
}

void TMainForm::CancelButtonClick() {
    SetEditState(false);
    ShowSelectedRecord();
}

void TMainForm::DeleteItemActionExecute() {
    if (Prompt::Message(this, Prompt::Kind::Confirmation,
                        QStringLiteral("Soll dieser Datensatz wirklich gelöscht werden?"),
                        Prompt::Yes | Prompt::No) != Prompt::Yes)
        return;
    const TDataRecord* entry = listPanel_->ItemRecord(listPanel_->CurrentItem());
    if (entry == nullptr)
        return;
    // The item after it becomes current, else the one before it.
    document_->Commands().DeleteEntry(entry->ID);
}

void TMainForm::UndoActionExecute() {
    if (!detailPanel_->Editing())
        document_->Commands().Undo();
}

void TMainForm::RedoActionExecute() {
    if (!detailPanel_->Editing())
        document_->Commands().Redo();
}

// The filter dialog edits a copy of the database's filter state; only OK
// sets the ticks and the mode, and the list follows.
void TMainForm::FilterActionExecute() {
    if (filterForm_ == nullptr)
        filterForm_ = new TFilterForm(this);
    if (filterForm_->Execute(document_->DataBase()))
        document_->Commands().SetFilter(filterForm_->Ticks());
}

void TMainForm::ShowOnlyValue(const TValueList& list, const std::string& value) {
    const auto ticks = OnlyValueTicks(document_->DataBase(), list, value);
    if (ticks && !detailPanel_->Editing())
        document_->Commands().SetFilter(*ticks);
}

void TMainForm::AnalysisActionExecute() {
    analysisWindow_->Show(userManager_.get());
}

void TMainForm::analysisGroupChosen(analysis::Grouping grouping, const std::string& value) {
    const TDataBase& db = document_->DataBase();
    ShowOnlyValue(grouping == analysis::Grouping::Language   ? db.Languages
                  : grouping == analysis::Grouping::Category ? db.ErrorTypes
                                                             : db.Projects,
                  value);
}
