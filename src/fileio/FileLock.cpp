#include "fileio/FileLock.h"

#include "fileio/PathUtil.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fileio {

namespace {

std::string NoLockFile(const std::string& lockName) {
    return "Die Sperrdatei \u201E" + lockName +
           "\u201C ist keine gew\u00F6hnliche Datei (etwa ein Verweis auf eine andere "
           "Datei). Aus Sicherheitsgr\u00FCnden wurde nichts gespeichert; bitte entfernen Sie "
           "sie.";
}

} // namespace

FileLock::FileLock(const std::string& file, std::chrono::milliseconds timeout) {
    std::string target = file;
    try {
        target = ResolveLinks(file);
    } catch (...) {
        // A loop of links: the load will say so.
    }
    const std::string lockName = target + ".lock";
    // Never through a link; O_NONBLOCK, so that a planted FIFO cannot hold
    // the open up.
    fd_ = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd_ < 0) {
        // A link, a folder, a socket or a device: no lock file to use. Any
        // other failure (a folder that may not be written) goes on unlocked.
        if (errno == ELOOP || errno == EISDIR || errno == ENXIO || errno == ENODEV)
            throw std::runtime_error(NoLockFile(lockName));
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw std::runtime_error(NoLockFile(lockName));
    }
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

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing releases the lock
}

} // namespace fileio
