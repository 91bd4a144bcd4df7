#pragma once

#include <chrono>
#include <string>

// Makes the read-change-save cycle of `add`, `merge` and `import` exclusive
// per database file: an advisory lock (flock) on "<file>.lock" beside the
// database (links followed), held while alive. Other `mvd` runs on the same
// file wait for it; the program's windows do not take it.
class DatabaseLock {
public:
    // Waits up to `timeout` for the lock. A folder where the lock file cannot
    // be made (e.g. one that may not be written) gives no lock and no failure.
    DatabaseLock(const std::string& file, std::chrono::milliseconds timeout);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // False when another run still held the lock after the timeout.
    [[nodiscard]] bool Acquired() const { return acquired_; }

    // The wait of a verb: MVD_LOCK_TIMEOUT (seconds) or 10 s.
    static std::chrono::milliseconds DefaultTimeout();

private:
    int fd_ = -1;
    bool acquired_ = true;
};
