#pragma once

#include "DataRecord.h"
#include "FileStamp.h"
#include "LoadReport.h"
#include "ValueList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
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
    [[nodiscard]] TDataRecord* GetRecord(int index) const; // nullptr when index >= Count()
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

    // Adopts `record` (the pointer is moved from) or raises InvalidEntryException
    // and leaves it with the caller. Returns the adopted entry.
    TDataRecord* AddRecord(std::unique_ptr<TDataRecord>&& record);
    void DeleteRecord(std::uint32_t id);
    // Replaces the entry with record->ID; same ownership rule as AddRecord.
    // Returns the adopted entry, or nullptr when no entry has that ID (the
    // record then stays with the caller).
    TDataRecord* ChangeRecord(std::unique_ptr<TDataRecord>&& record);
    void SetAndFilter(bool value);

private:
    struct Index;
    // Lets go of one use of each value and removes those that no entry uses.
    void dropIfUnused(TValueList::Node* language, TValueList::Node* errorType,
                      TValueList::Node* project);
    void loadEntries(const std::string& name, LoadReport& report);
    void reserveFor(std::size_t moreEntries);

    std::vector<std::unique_ptr<TDataRecord>> Records;
    std::unique_ptr<Index> index_;
};
