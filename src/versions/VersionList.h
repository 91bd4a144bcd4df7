#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The kept versions of a database file, read from its versions folder with
// the help of the folder's index.
namespace versions {

enum class VersionState {
    Readable,   // loads completely; `entries` is its number of entries
    Unreadable, // does not load ("nicht lesbar"): never offered for a restore
    Unchecked,  // the check was cancelled before it came to this one
};

struct Version {
    std::string name;            // the file name, "YYYYMMDD-HHMMSS-uuuuuu.mvd"
    std::string path;            // the version file
    std::int64_t keptMicros = 0; // when it was kept (µs since 1970, UTC), from its name
    std::uint64_t size = 0;      // bytes
    std::int64_t changedNs = 0;  // the file's st_mtim and inode, as the index notes them
    std::uint64_t inode = 0;
    VersionState state = VersionState::Unchecked;
    std::int64_t entries = -1; // when Readable
};

// The version files in `folder` (names of the version pattern, regular
// files) with name, path, time and size, newest first; state Unchecked.
[[nodiscard]] std::vector<Version> ScanFolder(const std::string& folder);

// Told how many of the versions that need a check (the index lacks them or
// no longer fits their file) are done, of how many; false cancels the rest,
// which stay Unchecked.
using CheckProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The versions of `databaseFile`, newest first, each Readable with its
// number of entries or Unreadable. Only the versions that the index lacks are
// loaded for it; the index is then written back (when that fails, the next
// listing checks them again).
[[nodiscard]] std::vector<Version> ListVersions(const std::string& databaseFile,
                                                const CheckProgress& progress = {});

// The version of `databaseFile` named `name` (a file name as listed, with or
// without ".mvd"), checked; nothing when there is no such version.
[[nodiscard]] std::optional<Version> FindVersion(const std::string& databaseFile,
                                                 const std::string& name);

} // namespace versions
