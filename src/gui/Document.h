#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QWidget;
namespace fileio {
class FileLock;
}
class TDataBase;
class TDataBaseCommands;
namespace versions {
class Keeper;
struct Policy;
} // namespace versions

// The open database of the main window: the database, the command layer that
// alone changes it, the file it is named after and that file as it was loaded
// or saved. New, open, import, save, save as, the merge with the file on disk
// and the question about unsaved changes go through it. Every save keeps the
// file it replaces as an older version, as the user's policy says (the
// default policy until SetVersionPolicy). It has no widgets: its questions
// and reports go through the Prompt seam, owned by `dialogParent`.
class TDocument : public QObject {
    Q_OBJECT
public:
    explicit TDocument(QWidget* dialogParent);
    ~TDocument() override;

    // The database, to read; every change goes through Commands().
    [[nodiscard]] const TDataBase& DataBase() const { return *dataBase_; }
    [[nodiscard]] TDataBaseCommands& Commands() const { return *commands_; }
    // Native path bytes; empty for a database without a file.
    [[nodiscard]] const std::string& FileName() const;
    // The file's name without its folder, as printouts and reports name the
    // database; "neue Datenbank" without a file.
    [[nodiscard]] QString DisplayName() const;
    // Unsaved changes: the command layer's clean state.
    [[nodiscard]] bool Modified() const;

    // An empty database without a file; unsaved entries are dropped.
    void New();
    // Opens `file` in place of the database, as "Datenbank laden" does: a
    // file that can't be read is reported, the database keeps what was read
    // and the name. Returns whether it loaded without an error; then Opened
    // follows.
    bool Open(const std::string& file);
    // The file named on the command line: as Open, but the program goes on
    // with an empty database when it does not load; a name that names no file
    // stays, so that a save creates it, and a file that is there but does not
    // load is not named, so that no save overwrites it with the part read.
    void OpenAtStart(const std::string& file);
    // Adds the entries of a database file as one step; the file name stays.
    void ImportFile(const std::string& file);
    // Saves to the database's file. When someone else wrote the file since it
    // was loaded or saved here, asks first whether to merge its entries in,
    // to overwrite it or to cancel. Returns false when nothing was saved
    // because the user cancelled or the merge failed; a failed save raises.
    bool Save();
    // Saves under `file`, which the database is named after from now on.
    void SaveAs(const std::string& file);

    // The question about unsaved changes of the close path. `save` runs the
    // save action and returns false when it failed (its error reported).
    // Proceed when there are no unsaved changes, after "Nein" and after "Ja"
    // with a successful save; Stay after "Abbrechen" or a save that was
    // cancelled or did not run; SaveFailed when the save failed.
    enum class TChangesAnswer { Proceed, Stay, SaveFailed };
    TChangesAnswer AskToSaveChanges(const std::function<bool()>& save);

    // Whether and how much the saves keep of older versions; the next save
    // follows it.
    void SetVersionPolicy(const versions::Policy& policy);
    [[nodiscard]] const versions::Policy& VersionPolicy() const;

signals:
    // A file loaded without an error, or was saved: for the recent files.
    void Opened(const std::string& file);
    void Saved(const std::string& file);

private:
    // True when the save may go on.
    bool settleChangesOnDisk();
    [[nodiscard]] std::unique_ptr<fileio::FileLock> lockFile(const std::string& file) const;
    // Shows the message of a load that failed during the last operation;
    // returns whether there was one.
    bool reportLoadError();
    // After a save: the warning about a version that could not be kept, once
    // per run (the keeper gives it once).
    void reportKeepingWarning();

    QWidget* dialogParent_;
    std::unique_ptr<versions::Keeper> keeper_; // the database's saves refer to it
    std::unique_ptr<TDataBase> dataBase_;
    TDataBaseCommands* commands_ = nullptr;
    std::string loadError_; // of the operation under way
};
