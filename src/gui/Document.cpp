// The main window's open database: opening, importing and saving through
// the command layer, with the questions that belong to them.
#include "gui/Document.h"

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "fileio/FileStamp.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"

#include <QFileInfo>
#include <QWidget>
#include <filesystem>
#include <utility>

namespace {

// Asked of the path's own bytes, so that any name is found.
bool FileExists(const std::string& file) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(file), error);
}

} // namespace

TDocument::TDocument(QWidget* dialogParent)
    : QObject(dialogParent), dialogParent_(dialogParent), dataBase_(std::make_unique<TDataBase>()) {
    setObjectName(QStringLiteral("Document"));
    // A failed load never raises; its message is shown once the operation
    // has ended and the window shows the database again (see reportLoadError).
    dataBase_->OnLoadError = [this](const std::string& message) { loadError_ = message; };
    commands_ = new TDataBaseCommands(*dataBase_, this);
}

TDocument::~TDocument() {
    // The layer's history refers to the database: it goes first.
    delete commands_;
}

const std::string& TDocument::FileName() const {
    return dataBase_->FileName;
}

QString TDocument::DisplayName() const {
    if (FileName().empty())
        return QStringLiteral("neue Datenbank");
    return QFileInfo(nativepath::ToQString(FileName())).fileName();
}

bool TDocument::Modified() const {
    return commands_->Modified();
}

void TDocument::New() {
    commands_->NewDataBase();
}

// An error box runs an event loop of its own, in which the window may paint
// its list: it shows after the list follows the database again.
bool TDocument::reportLoadError() {
    if (loadError_.empty())
        return false;
    const QString message = QString::fromStdString(std::exchange(loadError_, {}));
    Prompt::Message(dialogParent_, Prompt::Kind::Error, message, Prompt::Ok);
    return true;
}

bool TDocument::Open(const std::string& file) {
    commands_->Open(file);
    const bool loaded = !reportLoadError();
    if (loaded)
        emit Opened(file);
    return loaded;
}

void TDocument::OpenAtStart(const std::string& file) {
    const bool existed = FileExists(file);
    if (Open(file))
        return;
    commands_->NewDataBase();
    if (!existed)
        commands_->Name(file);
}

void TDocument::ImportFile(const std::string& file) {
    commands_->ImportFile(file);
    reportLoadError();
}

bool TDocument::Save() {
    if (!settleChangesOnDisk())
        return false;
    commands_->Save();
    emit Saved(FileName());
    return true;
}

void TDocument::SaveAs(const std::string& file) {
    commands_->SaveAs(file);
    emit Saved(FileName());
}

bool TDocument::settleChangesOnDisk() {
    const fileio::FileStamp onDisk = fileio::StampOf(FileName());
    if (!onDisk.exists || onDisk == dataBase_->DiskStamp)
        return true; // unchanged, or gone: the save writes it anew
    enum { Merge, Overwrite };
    const int choice = Prompt::Choose(
        dialogParent_, Prompt::Kind::Warning,
        QStringLiteral("Die Fehlerdatenbank wurde seit dem Laden oder letzten Sichern von einem "
                       "anderen Programm geändert. Sollen deren Einträge vor dem Sichern "
                       "übernommen werden?"),
        {QStringLiteral("&zusammenführen"), QStringLiteral("&überschreiben"),
         QStringLiteral("Abbrechen")});
    if (choice == Overwrite)
        return true;
    if (choice != Merge)
        return false;
    // One step: the duplicate rule keeps every entry once; a file that does
    // not load completely is reported and not overwritten.
    commands_->ImportFile(FileName(), QStringLiteral("Datenbank zusammenführen"));
    return !reportLoadError();
}

TDocument::TChangesAnswer TDocument::AskToSaveChanges(const std::function<bool()>& save) {
    if (!Modified())
        return TChangesAnswer::Proceed;
    const Prompt::Button answer = Prompt::Message(
        dialogParent_, Prompt::Kind::Warning,
        QStringLiteral("Es wurden Änderungen an der Fehlerdatenbank vorgenommen. Sollen "
                       "diese gesichert werden?"),
        Prompt::Yes | Prompt::No | Prompt::Cancel);
    if (answer == Prompt::Cancel)
        return TChangesAnswer::Stay;
    if (answer != Prompt::Yes)
        return TChangesAnswer::Proceed;
    if (!save())
        return TChangesAnswer::SaveFailed;
    return Modified() ? TChangesAnswer::Stay : TChangesAnswer::Proceed;
}
