#include "cli/DatabaseLock.h"

#include "fileio/PathUtil.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

DatabaseLock::DatabaseLock(const std::string& file, std::chrono::milliseconds timeout) {
    std::string target = file;
    try {
        target = fileio::ResolveLinks(file);
    } catch (...) {
        // A loop of links: the load will say so.
    }
    fd_ = ::open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            acquired_ = errno != EWOULDBLOCK; // a file system without locks: go on unlocked
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

DatabaseLock::~DatabaseLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing releases the lock
}

std::chrono::milliseconds DatabaseLock::DefaultTimeout() {
    if (const char* seconds = std::getenv("MVD_LOCK_TIMEOUT")) {
        char* end = nullptr;
        const double value = std::strtod(seconds, &end);
        if (end != seconds && *end == '\0' && value >= 0 && value < 86400)
            return std::chrono::milliseconds(static_cast<long long>(value * 1000));
    }
    return std::chrono::seconds(10);
}
