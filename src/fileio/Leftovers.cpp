#include "fileio/Leftovers.h"

#include "fileio/FileIO.h"
#include "fileio/PathUtil.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {
namespace {

constexpr std::size_t kRandomPart = 6; // the X's of mkostemp

// Removes `name` from the folder when nobody holds its lock; the lock is
// taken on the opened file, and the name must still lead to that file.
void RemoveIfUnheld(int folder, const char* name) {
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev)
        (void)::unlinkat(folder, name, 0);
    ::close(fd);
}

} // namespace

std::string TempTemplate(const std::string& target) {
    const std::string base = target.substr(target.rfind('/') + 1);
    return DirectoryOf(target) + "/.~" + base.substr(0, 200) + "." + std::string(kRandomPart, 'X');
}

void RemoveLeftovers(const std::string& name) noexcept {
    if (ActiveMemoryFiles())
        return;
    try {
        const std::string target = ResolveLinks(name);
        const std::string pattern = TempTemplate(target);
        const std::string prefix = pattern.substr(
            pattern.rfind('/') + 1, pattern.size() - pattern.rfind('/') - 1 - kRandomPart);
        DIR* folder = ::opendir(DirectoryOf(target).c_str());
        if (!folder)
            return;
        while (const dirent* entry = ::readdir(folder)) {
            const std::size_t length = std::strlen(entry->d_name);
            if (length == prefix.size() + kRandomPart &&
                std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0)
                RemoveIfUnheld(::dirfd(folder), entry->d_name);
        }
        ::closedir(folder);
    } catch (...) {
        // A path that cannot be resolved has no leftovers to remove.
    }
}

} // namespace fileio
