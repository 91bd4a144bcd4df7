#pragma once

#include "core/DataRecord.h"
#include "core/LoadReport.h"
#include "core/ValueList.h"
#include "fileio/FileStamp.h"
#include "fileio/ReplaceFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The in-memory error database: the entries, the three value lists with their
// filter flags, duplicate refusal, IDs, the unsaved-changes flag and the
// database file (.mvd).
class TDataBase {
public:
    // Receives the German message of a failed load (UTF-8). The GUI shows it in
    // an error box, the command-line tool prints it. Without a reporter the
    // message is dropped.
    using LoadErrorReporter = std::function<void(const std::string& message)>;

    TDataBase();
    ~TDataBase();
    TDataBase(const TDataBase&) = delete;
    TDataBase& operator=(const TDataBase&) = delete;

    bool AndFilter = false;
    bool Modified = false;
    std::string FileName; // native path bytes; empty for a database without file
    // FileName's file as Reload found it or Save left it, to tell whether
    // someone else wrote it since; empty after Clear.
    fileio::FileStamp DiskStamp;
    // The number of entries that FileName's file held at DiskStamp, as a
    // complete Reload read them or Save wrote them; -1 when not known.
    std::int64_t DiskEntries = -1;
    // Keeps the file that Save is about to replace (an older version of the
    // database); empty: the old content simply goes.
    fileio::KeepOldFile KeepOldFile;
    TValueList ErrorTypes;
    TValueList Languages;
    TValueList Projects;
    std::uint32_t NextID = 1;
    LoadErrorReporter OnLoadError;

    [[nodiscard]] int Count() const;
    // nullptr when index >= Count(). The entry stays at its address until it
    // is changed, deleted or the database is cleared.
    [[nodiscard]] TDataRecord* GetRecord(int index) const;
    [[nodiscard]] bool IsHidden(const TDataRecord& record) const;
    // The entry identical to `record` (an entry of any database) by the
    // duplicate rule, or nullptr.
    [[nodiscard]] const TDataRecord* FindIdentical(const TDataRecord& record) const;

    void AddLanguage(const std::string& value);
    void AddErrorType(const std::string& value);
    void AddProject(const std::string& value);
    void RemoveUnusedValues(const std::string& language, const std::string& errorType,
                            const std::string& project);

    void Clear();
    // Both report failures through OnLoadError and never pass them on; the
    // report says what the load did. `addedIds`, when given, gets the ID of
    // each entry added.
    LoadReport Reload();
    LoadReport LoadFromFile(const std::string& name,
                            std::vector<std::uint32_t>* addedIds = nullptr);
    void Save();

    // Adopts a copy of `record` with the next ID, or raises
    // InvalidEntryException and changes nothing. Returns the adopted entry.
    TDataRecord* AddRecord(const TRecordData& record);
    TDataRecord* AddRecord(const TRecordView& record);
    // Adds the entries in order, each as AddRecord would with the next ID,
    // and returns how many were added: an entry identical to one present or to
    // an earlier one stays out. `ids` gets the ID of each one added. Raises
    // only when room runs out; the entries added until then stay.
    std::size_t AddRecords(std::span<const TRecordView> entries, std::vector<std::uint32_t>& ids);
    void DeleteRecord(std::uint32_t id);
    // Replaces the entry with record.ID by a copy of `record`; raises
    // InvalidEntryException like AddRecord. Returns the adopted entry, or
    // nullptr when no entry has that ID.
    TDataRecord* ChangeRecord(const TRecordData& record);
    void SetAndFilter(bool value);

    // Undo support: entries taken out of the database with what they need to
    // come back exactly as they were. They refer to their descriptions where
    // the database keeps them (until Clear) and hold each distinct value once,
    // with the tick it had, so that a million of them cost no copies of texts.
    class TakenRecords {
    public:
        [[nodiscard]] bool empty() const { return entries_.empty(); }
        [[nodiscard]] std::size_t size() const { return entries_.size(); }
        [[nodiscard]] std::uint32_t Id(std::size_t k) const { return entries_[k].id; }
        // Its place in database order when taken.
        [[nodiscard]] std::size_t Position(std::size_t k) const { return entries_[k].position; }
        void SetPosition(std::size_t k, std::size_t position) {
            entries_[k].position = static_cast<std::uint32_t>(position);
        }
        // Where it stood: an address to compare, never to read (its slot is
        // free for the next entry).
        [[nodiscard]] TDataRecord* Slot(std::size_t k) const { return entries_[k].slot; }
        // Its fields, read while the database has not been cleared since.
        [[nodiscard]] TRecordData Data(std::size_t k) const;

    private:
        friend class TDataBase;
        struct Value {
            std::string text;
            bool ticked = true;
        };
        struct Entry {
            TDataRecord* slot = nullptr;
            const char* description = nullptr;
            std::uint64_t hash = 0; // its identity's
            double date = 0.0;
            std::uint32_t descriptionSize = 0;
            std::uint32_t id = 0;
            std::uint32_t minutes = 0;
            std::uint32_t position = 0;
            std::uint32_t value[3] = {}; // in values_[field]
            std::uint16_t onDisk = 0;    // the entry's disk mark
        };
        std::vector<Value> values_[3];
        std::vector<Entry> entries_;
        std::uint64_t generation_ = 0; // of the database's texts
    };
    // Takes the entries with these IDs out of the database in one pass and
    // returns them in database order; IDs that no entry has are skipped.
    // Values that no entry uses any more leave their lists.
    TakenRecords TakeRecords(std::span<const std::uint32_t> ids);
    // The entries with these IDs as TakeRecords would return them, left in
    // place (a change keeps the entry that it replaces so).
    [[nodiscard]] TakenRecords CopyRecords(std::span<const std::uint32_t> ids) const;
    // Puts entries taken by TakeRecords back, each with its own ID at its old
    // position (as returned: ascending positions). Raises
    // InvalidEntryException and changes nothing when an identical entry is
    // present. `taken` is emptied on success and left as it was on failure.
    void PutBackRecords(TakenRecords& taken);

    // A merge of the file on disk, three ways, with the entries as they were
    // read from FileName or last saved there as the base: an entry added on
    // disk comes in; one changed on disk and unchanged here replaces this
    // one; one deleted here stays deleted; one deleted on disk and unchanged
    // here goes. Everything else here stays as it is.
    struct MergePlan {
        std::vector<int> Add;              // positions in the disk's database
        std::vector<std::uint32_t> Remove; // IDs of entries here
    };
    [[nodiscard]] MergePlan PlanMerge(const TDataBase& disk) const;

private:
    struct Index;
    struct Candidate;
    // Lets go of one use of each value and removes those that no entry uses.
    void dropIfUnused(const TDataRecord& record);
    // Checks `candidate` against every entry but `except`, stores it at
    // `position` and counts its values' uses; raises InvalidEntryException.
    TDataRecord* adopt(Candidate& candidate, std::size_t position, const TDataRecord* except);
    // The storing part of adopt, for a candidate known to differ from every
    // entry but `except`, with its identity hash.
    TDataRecord* place(Candidate& candidate, std::uint64_t hash, std::size_t position,
                       const TDataRecord* except);
    void loadEntries(const std::string& name, LoadReport& report,
                     std::vector<std::uint32_t>* addedIds);
    // Undo support: the positions of the entries with these IDs (sorted and
    // made unique on the way), ascending.
    std::vector<std::size_t> positionsOf(std::vector<std::uint32_t>& ids) const;
    TakenRecords copyAt(const std::vector<std::size_t>& positions) const;
    void reserveFor(std::size_t moreEntries);
    [[nodiscard]] std::size_t positionOf(std::uint32_t id) const;

    std::vector<TDataRecord*> Records;
    std::unique_ptr<Index> index_;
    // The disk mark: counts the loads of FileName and saves to it (never 0),
    // and the identities of the entries that the file held then, for
    // PlanMerge. `stamping_` is the mark that entries placed now get.
    std::uint16_t diskMark_ = 0;
    std::uint16_t stamping_ = 0;
    std::vector<std::uint64_t> diskIdentities_;
    [[nodiscard]] std::uint16_t nextDiskMark() const;
    // Counts the Clears: taken entries refer to texts of one generation.
    std::uint64_t generation_ = 0;
};
