#pragma once

#include <chrono>
#include <string>

namespace fileio {

// Makes the read-change-save cycle of a database file exclusive among the
// programs that take this lock (mvd's changing verbs, the window's save): an
// advisory lock (flock) on "<file>.lock" beside the file (the file's own links
// followed), held while alive.
//
// The lock file itself is opened without following links and must be a
// regular file: in a shared folder another user could otherwise plant a link
// that makes the lock create or open a file elsewhere.
class FileLock {
public:
    // Waits up to `timeout` for the lock. A folder where the lock file cannot
    // be made (e.g. one that may not be written) gives no lock and no failure.
    // Raises the German message, taking no lock, when the lock's name is a
    // link or something other than a regular file.
    FileLock(const std::string& file, std::chrono::milliseconds timeout);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when another program still held the lock after the timeout.
    [[nodiscard]] bool Acquired() const { return acquired_; }

private:
    int fd_ = -1;
    bool acquired_ = true;
};

} // namespace fileio
