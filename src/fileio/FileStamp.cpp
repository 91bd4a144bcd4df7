#include "fileio/FileStamp.h"

#include "fileio/FileIO.h"

#include <sys/stat.h>

namespace fileio {
namespace {

FileStamp FromStat(const struct stat& st) {
    return {true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

FileStamp StampOf(const std::string& name) {
    if (ActiveMemoryFiles())
        return {};
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? FromStat(st) : FileStamp{};
}

FileStamp StampOfFd(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? FromStat(st) : FileStamp{};
}

} // namespace fileio
