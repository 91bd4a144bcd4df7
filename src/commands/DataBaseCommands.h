#pragma once

#include "core/DataRecord.h"
#include "core/LoadReport.h"

#include <QObject>
#include <QUndoStack>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TDataBase;
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

// The one way in which the entries of a database change: new entry, change,
// deletion and import of a database file, each one step of an undo history
// (one QUndoStack per open database). The steps keep what they need to go
// back: a deletion owns the removed entry, an import only the IDs of the
// entries it added, until it is undone.
//
// Observers (the list, the detail panel, later windows) follow the signals
// instead of reading the database again. Each signal comes after the database
// has changed and the unsaved-changes flag is right. Added and changed-to
// entries are the database's own (valid while they stay in it); removed ones
// are gone: their addresses are for comparison only, and a later entry may
// take the same address.
class TDataBaseCommands : public QObject {
    Q_OBJECT
public:
    explicit TDataBaseCommands(TDataBase& dataBase, QObject* parent = nullptr);
    ~TDataBaseCommands() override;

    // The operations. A refused one (duplicate, unknown entry, failed load
    // without entries) raises or returns as the database does and leaves no
    // step behind.
    TDataRecord* AddEntry(const TRecordData& record);
    // Returns nullptr when no entry has record.ID.
    TDataRecord* ChangeEntry(const TRecordData& record);
    void DeleteEntry(std::uint32_t id);
    // Imports a database file; the entries it added are one step.
    LoadReport ImportFile(const std::string& fileName);
    // Adds the entries as TDataBase::AddRecords does (a CSV import); the
    // entries added are one step named `text`, also when it raises.
    TImportOutcome ImportEntries(const QString& text, std::span<const TRecordView> entries);

    // Undo and redo of the last step; a step that fails leaves the database
    // and the history as they were.
    void Undo();
    void Redo();
    [[nodiscard]] bool CanUndo() const { return stack_.canUndo(); }
    [[nodiscard]] bool CanRedo() const { return stack_.canRedo(); }
    // What the next undo or redo would do ("Datensatz löschen"), empty for nothing.
    [[nodiscard]] QString UndoText() const { return stack_.undoText(); }
    [[nodiscard]] QString RedoText() const { return stack_.redoText(); }

    // The database was saved: this point of the history is unchanged from now on.
    void MarkSaved();
    // The database was emptied or loaded anew: the history starts over.
    void Replaced();

    // The history itself, for views of it; change it only through this class.
    [[nodiscard]] const QUndoStack& Stack() const { return stack_; }

signals:
    // Entries that came into the database (new, put back, imported), in database order.
    void EntriesAdded(const std::vector<TDataRecord*>& entries);
    // Entries that were replaced by changed ones.
    void EntriesChanged(const std::vector<TEntryChange>& changes);
    // Entries that left the database (gone: compare their addresses, never
    // read them; a later entry may take the same address).
    void EntriesRemoved(const std::vector<TDataRecord*>& entries);
    // The whole database is another one (new, loaded); the history is empty.
    void DataBaseReplaced();
    // Undo or redo became possible or impossible, or their texts changed.
    void HistoryChanged();

private:
    friend class TDataBaseStep;
    // Puts a step whose operation is already done on the stack.
    void pushDone(TDataBaseStep* step);
    // Makes the entries with these IDs, which an import appended, one step
    // (none: the unsaved state goes back to `wasModified`).
    void recordImport(const QString& text, std::vector<std::uint32_t>&& ids, bool wasModified);
    void moveIndex(bool undo);
    void syncModified();

    TDataBase& dataBase_;
    QUndoStack stack_;
    bool quiet_ = false; // the stack moves over a step whose work is done
};
