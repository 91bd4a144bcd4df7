// Databases named from outside the file dialogs: the recent files, a file
// dropped on the window, and the file named on the command line.
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "core/Errors.h"
#include "gui/MainForm.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"

#include <QAction>
#include <cerrno>
#include <filesystem>

namespace {

// Asked of the path's own bytes, so that any name the list holds is found.
bool FileExists(const std::string& file) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(file), error);
}

} // namespace

bool TMainForm::openDataBase(const std::string& file) {
    DataBase->FileName = file;
    loadFailed_ = false;
    ClearSearch();
    DataBase->Reload(); // reports its own failures and keeps FileName
    const bool loaded = !loadFailed_;
    if (loaded)
        RecentFilesItem->AddFile(file);
    return loaded;
}

void TMainForm::RecentFileItemClick(const std::string& file) {
    if (!LoadDataBaseAction->isEnabled())
        return;
    // A file that is gone leaves the open database as it is.
    if (!FileExists(file)) {
        Prompt::Message(this, Prompt::Kind::Error,
                        QString::fromUtf8(fileio::FileErrorMessage(ENOENT)), Prompt::Ok);
        RecentFilesItem->RemoveFile(file);
        return;
    }
    openDataBase(file);
    Commands->Replaced();
}

bool TMainForm::FormDragOver(Qt::KeyboardModifiers modifiers) const {
    const QAction* command =
        modifiers & Qt::ControlModifier ? ImportDataBaseAction : LoadDataBaseAction;
    return !Editing && command->isEnabled();
}

void TMainForm::FormDragDrop(const QString& file, Qt::KeyboardModifiers modifiers) {
    // The drop is handled after it ended: the window may have changed since.
    if (!FormDragOver(modifiers))
        return;
    const std::string name = nativepath::FromQString(file);
    if (modifiers & Qt::ControlModifier) {
        importDataBase(name);
        return;
    }
    // Unlike "Datenbank laden", a drop asks first: it is easily made by mistake.
    if (askToSaveChanges() != TChangesAnswer::Proceed)
        return;
    openDataBase(name);
    Commands->Replaced();
}

// The program goes on with an empty database when the file does not load. A
// name that names no file stays, so that "Datenbank sichern" creates it; a
// file that is there but does not load is not named, so that no save
// overwrites it with the part that could be read.
void TMainForm::openAtStart(const std::string& file) {
    const std::string path = nativepath::Absolute(file);
    const bool existed = FileExists(path);
    if (openDataBase(path))
        return;
    DataBase->Clear();
    if (!existed)
        DataBase->FileName = path;
}
