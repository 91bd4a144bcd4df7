// The main window's open database: opening, importing and saving through
// the command layer, with the questions that belong to them.
#include "gui/Document.h"

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "fileio/FileLock.h"
#include "fileio/FileStamp.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "versions/Keeper.h"

#include <QFileInfo>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace {

// Asked of the path's own bytes, so that any name is found.
bool FileExists(const std::string& file) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(file), error);
}

} // namespace

TDocument::TDocument(QWidget* dialogParent)
    : QObject(dialogParent), dialogParent_(dialogParent),
      keeper_(std::make_unique<versions::Keeper>()), dataBase_(std::make_unique<TDataBase>()) {
    setObjectName(QStringLiteral("Document"));
    // A setting of the saves, not a change of the entries: it stays through
    // every opening and clearing of the database.
    dataBase_->KeepOldFile = keeper_->HookFor(*dataBase_);
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

// The lock that `mvd` takes for its changes, held from the check of the file
// on disk to the end of the save, so that no other writer slips in between.
// A lock that another program holds too long ends the save.
std::unique_ptr<fileio::FileLock> TDocument::lockFile(const std::string& file) const {
    auto lock = std::make_unique<fileio::FileLock>(file, std::chrono::seconds(3));
    if (!lock->Acquired())
        throw std::runtime_error(
            "Die Fehlerdatenbank wird gerade von einem anderen Programm ge\u00E4ndert. Bitte "
            "sp\u00E4ter noch einmal sichern.");
    return lock;
}

bool TDocument::Save() {
    const auto lock = lockFile(FileName());
    if (!settleChangesOnDisk())
        return false;
    commands_->Save();
    emit Saved(FileName());
    reportKeepingWarning();
    return true;
}

void TDocument::SaveAs(const std::string& file) {
    const auto lock = lockFile(file);
    commands_->SaveAs(file);
    emit Saved(FileName());
    reportKeepingWarning();
}

void TDocument::reportKeepingWarning() {
    const std::string warning = keeper_->TakeWarning();
    if (!warning.empty())
        Prompt::Message(dialogParent_, Prompt::Kind::Warning, QString::fromStdString(warning),
                        Prompt::Ok);
}

void TDocument::SetVersionPolicy(const versions::Policy& policy) {
    keeper_->SetPolicy(policy);
}

const versions::Policy& TDocument::VersionPolicy() const {
    return keeper_->GetPolicy();
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
    // One step, three ways with the file as loaded or last saved: what was
    // added there comes in, what was deleted here stays deleted. A file that
    // does not load completely is reported, and neither merged nor overwritten.
    commands_->MergeWithFile(FileName(), QStringLiteral("Datenbank zusammenführen"));
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
