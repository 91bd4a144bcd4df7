#pragma once

#include <cstdint>
#include <map>
#include <string>

// The small index of a database's versions, a text file "index" in their
// folder: for each version the number of its entries (or that it cannot be
// read) with the size, change time and inode of the file it was found in, so
// that a listing reads no version whose file is unchanged. It is a cache: a
// line that is missing or no longer fits its file is made anew by loading
// that version, and a lost write costs only that. A save appends the line of
// the version it keeps; lines of removed versions stay until they outnumber
// the others, and then the index is written anew.
namespace versions {

struct IndexEntry {
    std::uint64_t size = 0;
    std::int64_t changedNs = 0; // st_mtim
    std::uint64_t inode = 0;
    std::int64_t entries = -1; // -1: the version cannot be read
};

using Index = std::map<std::string, IndexEntry, std::less<>>; // by version file name

inline constexpr char IndexFileName[] = "index";

// The index in `folder`; empty when there is none or it cannot be read.
[[nodiscard]] Index ReadIndex(const std::string& folder);
// Replaces the index in `folder` (a temporary file renamed over it, not
// flushed to disk); `databaseFile` is noted in it for the reader. 0 or the
// errno value of the failure.
[[nodiscard]] int WriteIndex(const std::string& folder, const std::string& databaseFile,
                             const Index& index);

// Adds the line of one version at the end of the index in `folder` (one
// write, no rename: the cheap way for a save); a later line of the same name
// counts over an earlier one. 0 or the errno value of the failure.
[[nodiscard]] int AppendToIndex(const std::string& folder, const std::string& databaseFile,
                                const std::string& name, const IndexEntry& entry);

// Whether `entry` still describes the file with this status.
[[nodiscard]] bool Fits(const IndexEntry& entry, std::uint64_t size, std::int64_t changedNs,
                        std::uint64_t inode);

} // namespace versions
