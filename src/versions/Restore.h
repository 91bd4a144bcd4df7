#pragma once

#include "core/DataRecord.h"
#include "core/LoadReport.h"
#include "versions/Keeper.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TDataBase;

// Bringing back what a kept version holds: its entries that the open
// database lacks (by the duplicate rule), the whole version as an unsaved
// database, or the version in place of the database file.
namespace versions {

// A version compared with an open database.
struct Comparison {
    std::unique_ptr<TDataBase> version; // the version's entries, loaded
    // Positions in `version` of its entries that the open database lacks, in
    // the version's order (shown as "+n").
    std::vector<int> missing;
    // How many entries of the open database the version lacks (shown as "−n").
    std::size_t onlyOpen = 0;
    // Not empty when the version does not load completely: then nothing else
    // is set, and the version must not be offered for a restore.
    std::string error;
    // The comparison was stopped before its end: nothing else is set.
    bool stopped = false;
};

// Loads the version file and compares it with `open`. `stop`, when given, is
// asked every few thousand entries of the comparison (not during the load);
// when it says so, the comparison ends at once, reading `open` no more.
[[nodiscard]] Comparison CompareVersion(const TDataBase& open, const std::string& versionPath,
                                        const std::function<bool()>& stop = {});

// Adds the entries of `compared.version` at the positions `which` (taken
// from compared.missing) to `db` in that order through the duplicate rule,
// each with the next ID; returns how many were added and puts their IDs into
// `ids`. An entry that `db` holds meanwhile stays out.
std::size_t BringBack(TDataBase& db, const Comparison& compared, std::span<const int> which,
                      std::vector<std::uint32_t>& ids);
// The entries `which` (indexes into compared.missing's version) as views for
// an import (valid while `compared` lives).
std::vector<TRecordView> MissingEntries(const Comparison& compared, std::span<const int> which);

// Makes `db` the whole version as an unsaved database named `originalFile`:
// saving it replaces that file (and keeps the file as a version, as every
// save does). DiskStamp is the original file's as it is now, so that a later
// change by someone else is noticed before the save. A version that does
// not load completely leaves `db` empty and without a name; the report says why.
LoadReport OpenVersionAs(TDataBase& db, const std::string& versionPath,
                         const std::string& originalFile);

// Replaces the database file by the version: the version is loaded (a version
// that does not load completely is refused with its load error) and saved
// under the database's name; the replaced file is kept as a version through
// keeper.HookAlways, whatever the policy says. Returns the number of entries
// written. Failures throw std::runtime_error with the German message.
std::size_t ReplaceByVersion(const std::string& databaseFile, const std::string& versionPath,
                             Keeper& keeper);

} // namespace versions
