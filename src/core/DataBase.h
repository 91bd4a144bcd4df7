#pragma once

#include "DataRecord.h"
#include "FileStamp.h"
#include "LoadReport.h"
#include "ValueList.h"

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

    void AddLanguage(const std::string& value);
    void AddErrorType(const std::string& value);
    void AddProject(const std::string& value);
    void RemoveUnusedValues(const std::string& language, const std::string& errorType,
                            const std::string& project);

    void Clear();
    // Both report failures through OnLoadError and never pass them on; the
    // report says what the load did.
    LoadReport Reload();
    LoadReport LoadFromFile(const std::string& name);
    void Save();

    // Adopts a copy of `record` with the next ID, or raises
    // InvalidEntryException and changes nothing. Returns the adopted entry.
    TDataRecord* AddRecord(const TRecordData& record);
    void DeleteRecord(std::uint32_t id);
    // Replaces the entry with record.ID by a copy of `record`; raises
    // InvalidEntryException like AddRecord. Returns the adopted entry, or
    // nullptr when no entry has that ID.
    TDataRecord* ChangeRecord(const TRecordData& record);
    void SetAndFilter(bool value);

    // Undo support. An entry taken out of the database
    // with what it needs to come back exactly as it was.
    struct TakenRecord {
        TRecordData Data;         // with its ID
        std::size_t Position = 0; // its place in database order when taken
        // Where it stood: an address to compare, never to read (its slot is
        // free for the next entry).
        TDataRecord* Slot = nullptr;
        // The ticks of its three values when taken: a value that left the
        // lists with the entry comes back with its tick.
        bool LanguageTicked = true;
        bool ErrorTypeTicked = true;
        bool ProjectTicked = true;
    };
    // Takes the entries with these IDs out of the database in one pass and
    // returns them in database order; IDs that no entry has are skipped.
    // Values that no entry uses any more leave their lists.
    std::vector<TakenRecord> TakeRecords(std::span<const std::uint32_t> ids);
    // Puts entries taken by TakeRecords back, each with its own ID at its old
    // position (as returned: ascending positions). Raises
    // InvalidEntryException and changes nothing when an identical entry is
    // present. `taken` is emptied on success and left as it was on failure.
    void PutBackRecords(std::vector<TakenRecord>& taken);

private:
    struct Index;
    struct Candidate;
    // Lets go of one use of each value and removes those that no entry uses.
    void dropIfUnused(const TDataRecord& record);
    // Checks `candidate` against every entry but `except`, stores it at
    // `position` and counts its values' uses; raises InvalidEntryException.
    TDataRecord* adopt(Candidate& candidate, std::size_t position, const TDataRecord* except);
    void loadEntries(const std::string& name, LoadReport& report);
    // Undo support: the positions of the entries with these IDs (sorted and
    // made unique on the way), ascending.
    std::vector<std::size_t> positionsOf(std::vector<std::uint32_t>& ids) const;
    void reserveFor(std::size_t moreEntries);
    [[nodiscard]] std::size_t positionOf(std::uint32_t id) const;

    std::vector<TDataRecord*> Records;
    std::unique_ptr<Index> index_;
};
