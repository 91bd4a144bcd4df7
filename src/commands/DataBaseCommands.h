#pragma once

#include "core/DataRecord.h"
#include "core/LoadReport.h"

#include <QObject>
#include <QUndoStack>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class TDataBase;
class TValueList;
class TDataBaseStep;

// One changed entry: the entry object that was replaced (gone: compare its
// address, never read it) and the one that replaced it.
struct TEntryChange {
    const TDataRecord* Before = nullptr;
    TDataRecord* After = nullptr;
};

// What an import of entries did.
struct TImportOutcome {
    std::size_t Added = 0;
    std::size_t Duplicates = 0; // of an entry present or of an earlier one
};

// Which entries the filter lists: a tick for each value of the three value
// lists, in their order, and whether an entry must pass every list.
struct TFilterTicks {
    std::vector<bool> Languages;
    std::vector<bool> ErrorTypes;
    std::vector<bool> Projects;
    bool AndFilter = false;
};

// The ticks the database's filter has now.
[[nodiscard]] TFilterTicks FilterTicksOf(const TDataBase& dataBase);
// The filter that lists only the entries of one value of one of the
// database's value lists, as the filter dialog does when only that value is
// ticked in its list: the other lists stay, the mode becomes AND. Nothing
// when the list does not hold the value.
[[nodiscard]] std::optional<TFilterTicks>
OnlyValueTicks(const TDataBase& dataBase, const TValueList& list, const std::string& value);

// The one way in which a database changes and the one owner of its unsaved
// state. New entry, change, deletion and every import are steps of an undo
// history (one QUndoStack per open database); opening, a new database and the
// filter change the database without a step. The steps keep what they need to
// go back: a deletion owns the removed entry, an import only the IDs of the
// entries it added, until it is undone.
//
// The unsaved state is the history's clean state: a save marks the present
// step clean, opening and a new database start a clean history.
//
// Observers (the list, the detail panel, the analysis window) follow the
// signals instead of reading the database again. Each signal comes after the
// database has changed and the unsaved state is right. Added and changed-to
// entries are the database's own (valid while they stay in it); removed ones
// are gone: their addresses are for comparison only, and a later entry may
// take the same address.
class TDataBaseCommands : public QObject {
    Q_OBJECT
public:
    explicit TDataBaseCommands(TDataBase& dataBase, QObject* parent = nullptr);
    ~TDataBaseCommands() override;

    // The database as it is now; change it only through this class.
    [[nodiscard]] const TDataBase& DataBase() const { return dataBase_; }

    // Single entries. A refused one (duplicate, unknown entry) raises as the
    // database raises and leaves no step behind.
    TDataRecord* AddEntry(const TRecordData& record);
    // Returns nullptr when no entry has record.ID.
    TDataRecord* ChangeEntry(const TRecordData& record);
    void DeleteEntry(std::uint32_t id);

    // Imports: the entries they add are one step named `text` (none when
    // nothing was added); EntriesImported follows in every case. A database
    // file's failure is in the report, with the entries read before it added;
    // entries are added as TDataBase::AddRecords does (the duplicate rule),
    // also when it raises.
    LoadReport ImportFile(const std::string& fileName,
                          const QString& text = QStringLiteral("Datenbank importieren"));
    TImportOutcome ImportEntries(const QString& text, std::span<const TRecordView> entries);
    // Merges the file `fileName` (the database's own, changed on disk) three
    // ways, as TDataBase::PlanMerge says, as one step named `text`: entries
    // go (EntriesRemoved) and come (EntriesImported). A file that does not
    // load completely changes nothing; its failure is in the report.
    LoadReport MergeWithFile(const std::string& fileName, const QString& text);

    // The whole database: the history starts over, clean.
    void NewDataBase();
    // Names `fileName` and reads it; a failure is in the report, with what was
    // read before it kept.
    LoadReport Open(const std::string& fileName);
    // Names a file without reading it: the database that a save creates there.
    void Name(const std::string& fileName);
    // The database becomes what `load` reads into it (emptied first), for
    // another origin than its file (a kept version opened under the file's
    // name): the history starts over, and nothing of it counts as saved
    // until the next save.
    LoadReport OpenUnsaved(const std::function<LoadReport(TDataBase&)>& load);

    // Saving: the present step is unchanged from now on. A failure raises,
    // leaves the file as it was and the database unsaved.
    void Save();
    void SaveAs(const std::string& fileName);
    [[nodiscard]] bool Modified() const { return !stack_.isClean(); }

    // The filter: which entries are hidden. No step, no unsaved change.
    void SetFilter(const TFilterTicks& ticks);

    // Undo and redo of the last step; a step that fails leaves the database
    // and the history as they were.
    void Undo();
    void Redo();
    [[nodiscard]] bool CanUndo() const { return stack_.canUndo(); }
    [[nodiscard]] bool CanRedo() const { return stack_.canRedo(); }
    // What the next undo or redo would do ("Datensatz löschen"), empty for nothing.
    [[nodiscard]] QString UndoText() const { return stack_.undoText(); }
    [[nodiscard]] QString RedoText() const { return stack_.redoText(); }

    // The history itself, for views of it; change it only through this class.
    [[nodiscard]] const QUndoStack& Stack() const { return stack_; }

signals:
    // One entry came into the database (new, or put back by undo or redo).
    void EntriesAdded(const std::vector<TDataRecord*>& entries);
    // Entries that were replaced by changed ones.
    void EntriesChanged(const std::vector<TEntryChange>& changes);
    // Entries that left the database (gone: compare their addresses, never
    // read them; a later entry may take the same address).
    void EntriesRemoved(const std::vector<TDataRecord*>& entries);
    // An import, or its redo, added these entries (none when every one was a
    // duplicate); a list shows them as after any bulk change.
    void EntriesImported(const std::vector<TDataRecord*>& entries);
    // The whole database is another one (new, opened); the history is empty.
    void DataBaseReplaced();
    // The filter hides other entries now.
    void FilterChanged();
    // Undo or redo became possible or impossible, or their texts changed.
    void HistoryChanged();
    // The database became unsaved, or saved.
    void ModifiedChanged(bool modified);

private:
    friend class TDataBaseStep;
    // Puts a step whose operation is already done on the stack.
    void pushDone(TDataBaseStep* step);
    // Makes the entries with these IDs, which an import appended, one step
    // (none when there are none), and tells the observers.
    void recordImport(const QString& text, std::vector<std::uint32_t>&& ids);
    void moveIndex(bool undo);
    // The history starts over (clean) for a database that is another one now.
    void startOver();

    TDataBase& dataBase_;
    QUndoStack stack_;
    bool quiet_ = false; // the stack moves over a step whose work is done
};
