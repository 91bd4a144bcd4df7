#include "fileio/PlacedReader.h"

#include "fileio/FileErrors.h"
#include "fileio/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fileio {

PlacedReader::PlacedReader(const std::string& name) {
    if (const MemoryFiles* files = ActiveMemoryFiles()) {
        const auto it = files->find(name);
        if (it == files->end())
            throw FileError(ENOENT);
        memory_ = &it->second;
        return;
    }
    fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0)
        throw FileError(errno);
}

PlacedReader::~PlacedReader() {
    if (fd_ >= 0)
        ::close(fd_);
}

FileStamp PlacedReader::Stamp() const {
    return fd_ >= 0 ? StampOfFd(fd_) : FileStamp{};
}

std::size_t PlacedReader::ReadAt(std::uint64_t offset, char* data, std::size_t size) {
    if (memory_) {
        if (offset >= memory_->size())
            return 0;
        const std::size_t n =
            std::min<std::size_t>(size, memory_->size() - static_cast<std::size_t>(offset));
        std::memcpy(data, memory_->data() + offset, n);
        return n;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileError(errno);
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

} // namespace fileio
