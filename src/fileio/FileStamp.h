#pragma once

#include <cstdint>
#include <string>

namespace fileio {

// What identifies one state of a file on disk: its inode, size and time of
// the last change. A replace gives the file a new inode and a write in place a
// new change time, so two stamps differ when someone wrote the file between
// them. A missing file, or one that is no regular file (a folder, a
// device), has the empty stamp.
struct FileStamp {
    bool exists = false; // a regular file is there
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t changedNs = 0; // st_mtim in nanoseconds

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file that `name` names (links are followed); the empty
// stamp while the files are in memory (fileio::UseMemoryFiles), as a replace
// there leaves.
[[nodiscard]] FileStamp StampOf(const std::string& name);
// The stamp of an open file.
[[nodiscard]] FileStamp StampOfFd(int fd);

} // namespace fileio
