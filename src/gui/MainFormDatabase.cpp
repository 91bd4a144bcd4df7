// The database commands of the main window (new, open, import, save, save as,
// exit), the close question that runs on every close of the window, and the
// information command.
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "fileio/FileStamp.h"
#include "gui/ErrorReport.h"
#include "gui/InfoForm.h"
#include "gui/MainForm.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "settings/UserManager.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

using nativepath::FromQString;
using nativepath::ToQString;

// Runs one of the window's file dialogs through the seam. When Return accepts
// Qt's dialog while the name completer's list is open, Qt leaves that list on
// screen after the dialog has gone, where it takes the keyboard: hide it.
std::optional<QString> RunFileDialogHidingCompleter(QFileDialog& dialog) {
    std::optional<QString> chosen = Prompt::RunFileDialog(dialog);
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (const QCompleter* completer = edit->completer(); completer && completer->popup())
            completer->popup()->hide();
    return chosen;
}

} // namespace

// A file dialog opens in the folder of the open database, else in the one
// last used in this run, else in the home folder; `preset` is the name shown.
std::optional<QString> TMainForm::chooseFile(QFileDialog& dialog, const QString& preset) {
    QString folder = QDir::homePath();
    const QFileInfo dataBaseFile(ToQString(DataBase->FileName));
    if (!DataBase->FileName.empty() && dataBaseFile.dir().exists())
        folder = dataBaseFile.absolutePath();
    else if (!lastFolder_.isEmpty() && QDir(lastFolder_).exists())
        folder = lastFolder_;
    dialog.setDirectory(folder);
    Prompt::PresetFile(dialog, preset);
    std::optional<QString> chosen = RunFileDialogHidingCompleter(dialog);
    if (chosen)
        lastFolder_ = QFileInfo(*chosen).absolutePath();
    return chosen;
}

void TMainForm::NewDataBaseActionExecute() {
    // Unsaved entries are dropped without a question.
    DataBase->Clear();
    ClearSearch();
    Commands->Replaced(); // the history starts over; the list follows
}

void TMainForm::LoadDataBaseActionExecute() {
    OpenDialog->setWindowTitle(QStringLiteral("Datenbank öffnen..."));
    const std::optional<QString> chosen = chooseFile(*OpenDialog, ToQString(DataBase->FileName));
    if (!chosen)
        return;
    // A file that can't be read is reported by the database; the window then
    // shows what it holds, and FileName keeps naming the chosen file.
    openDataBase(FromQString(*chosen));
    Commands->Replaced();
}

void TMainForm::ImportDataBaseActionExecute() {
    OpenDialog->setWindowTitle(QStringLiteral("Datenbank importieren..."));
    const std::optional<QString> chosen = chooseFile(*OpenDialog, QString());
    if (!chosen)
        return;
    importDataBase(FromQString(*chosen));
}

void TMainForm::importDataBase(const std::string& file) {
    // Several entries rebuild the list through the command layer's signal;
    // one, or none, is shown like the others after an import.
    if (Commands->ImportFile(file).Added <= 1)
        RebuildList();
}

void TMainForm::SaveDataBaseActionExecute() {
    if (DataBase->FileName.empty()) {
        SaveDataBaseAsAction->trigger();
        return;
    }
    if (!settleChangesOnDisk())
        return;
    DataBase->Save();
    Commands->MarkSaved();
    RecentFilesItem->AddFile(DataBase->FileName);
}

void TMainForm::SaveDataBaseAsActionExecute() {
    const std::optional<QString> chosen = chooseFile(*SaveDialog, ToQString(DataBase->FileName));
    if (!chosen)
        return;
    DataBase->FileName = FromQString(*chosen);
    // Writes a temporary file and renames it over the old one: a failure
    // raises, keeps Modified set and leaves the old file as it was.
    DataBase->Save();
    Commands->MarkSaved();
    RecentFilesItem->AddFile(DataBase->FileName);
}

bool TMainForm::settleChangesOnDisk() {
    const fileio::FileStamp onDisk = fileio::StampOf(DataBase->FileName);
    if (!onDisk.exists || onDisk == DataBase->DiskStamp)
        return true; // unchanged, or gone: the save writes it anew
    enum { Merge, Overwrite };
    const int choice = Prompt::Choose(
        this, Prompt::Kind::Warning,
        QStringLiteral("Die Fehlerdatenbank wurde seit dem Laden oder letzten Sichern von einem "
                       "anderen Programm geändert. Sollen deren Einträge vor dem Sichern "
                       "übernommen werden?"),
        {QStringLiteral("&zusammenführen"), QStringLiteral("&überschreiben"),
         QStringLiteral("Abbrechen")});
    if (choice == Overwrite)
        return true;
    if (choice != Merge)
        return false;
    // The import's duplicate rule keeps every entry once; a file that does not
    // load completely is reported and not overwritten.
    const LoadReport report = DataBase->LoadFromFile(DataBase->FileName);
    RebuildList();
    return report.Error.empty();
}

TMainForm::TChangesAnswer TMainForm::askToSaveChanges() {
    if (!DataBase->Modified)
        return TChangesAnswer::Proceed;
    const Prompt::Button answer = Prompt::Message(
        this, Prompt::Kind::Warning,
        QStringLiteral("Es wurden Änderungen an der Fehlerdatenbank vorgenommen. Sollen "
                       "diese gesichert werden?"),
        Prompt::Yes | Prompt::No | Prompt::Cancel);
    if (answer == Prompt::Cancel)
        return TChangesAnswer::Stay;
    if (answer != Prompt::Yes)
        return TChangesAnswer::Proceed;
    commandFailed_ = false;
    SaveDataBaseAction->trigger(); // does nothing while it is disabled
    if (commandFailed_) {
        commandFailed_ = false;
        return TChangesAnswer::SaveFailed;
    }
    return DataBase->Modified ? TChangesAnswer::Stay : TChangesAnswer::Proceed;
}

void TMainForm::FormClose(TCloseAction& action) {
    switch (askToSaveChanges()) {
    case TChangesAnswer::Proceed:
        break;
    case TChangesAnswer::Stay:
        action = TCloseAction::caNone;
        break;
    case TChangesAnswer::SaveFailed:
        // The save's error has been reported; it ends the close here.
        action = TCloseAction::caNone;
        return;
    }
    // On every close attempt, also a refused one.
    if (UserManager) {
        UserManager->DataBaseName = DataBase->FileName;
        StoreWindowConfiguration();
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closeQuestionDone_) {
        event->accept(); // ExitActionExecute has asked already
        return;
    }
    TCloseAction action = TCloseAction::caFree;
    bool failed = true;
    ErrorReport::Guard(this, [this, &action, &failed] {
        FormClose(action);
        failed = false;
    });
    if (failed || action == TCloseAction::caNone)
        event->ignore();
    else
        event->accept();
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
    if (InfoForm) // created by the program body after the window
        InfoForm->Execute(*DataBase);
}
