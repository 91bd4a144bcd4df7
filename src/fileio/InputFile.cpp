#include "fileio/InputFile.h"

#include "fileio/FileErrors.h"
#include "fileio/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

} // namespace

InputFile::InputFile(const std::string& name, Access access) {
    if (const MemoryFiles* files = ActiveMemoryFiles()) {
        const auto it = files->find(name);
        if (it == files->end())
            throw FileError(ENOENT);
        next_ = it->second.data();
        end_ = next_ + it->second.size();
        size_ = it->second.size();
        sizeKnown_ = true;
        return;
    }
    const int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY;
    fd_ = ::open(name.c_str(), flags);
    if (fd_ < 0)
        throw FileError(errno);
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
        sizeKnown_ = true;
        size_ = static_cast<std::uint64_t>(st.st_size);
    }
    // A small file gets a small buffer: no more than it can hold, at least a page.
    const std::uint64_t wanted = sizeKnown_ ? size_ + 1 : kBufferSize;
    buffer_.resize(static_cast<std::size_t>(std::clamp<std::uint64_t>(wanted, 4096, kBufferSize)));
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void InputFile::Read(char* data, std::size_t size) {
    while (size > 0) {
        const std::size_t k = ReadSome(data, size);
        if (k == 0)
            throw std::runtime_error(PastEndMessage);
        data += k;
        size -= k;
    }
}

std::string_view InputFile::View(std::size_t size, std::string& scratch) {
    if (static_cast<std::size_t>(end_ - next_) >= size) {
        const std::string_view view(next_, size);
        next_ += size;
        consumed_ += size;
        return view;
    }
    scratch.resize(size);
    Read(scratch.data(), size);
    return scratch;
}

std::size_t InputFile::ReadSome(char* data, std::size_t size) {
    if (size == 0)
        return 0;
    if (next_ == end_) {
        if (fd_ < 0)
            return 0;
        if (size >= buffer_.size()) {
            const std::size_t n = readFile(data, size);
            consumed_ += n;
            return n;
        }
        const std::size_t n = readFile(buffer_.data(), buffer_.size());
        if (n == 0)
            return 0;
        next_ = buffer_.data();
        end_ = next_ + n;
    }
    const std::size_t k = std::min(size, static_cast<std::size_t>(end_ - next_));
    std::memcpy(data, next_, k);
    next_ += k;
    consumed_ += k;
    return k;
}

bool InputFile::Holds(std::uint64_t size) const {
    if (fd_ < 0)
        return size <= Remaining();
    if (!sizeKnown_)
        return true;
    // The file's offset lies ahead of the bytes handed out; it is put back.
    const off_t offset = ::lseek(fd_, 0, SEEK_CUR);
    const off_t hole = ::lseek(fd_, static_cast<off_t>(consumed_), SEEK_HOLE);
    if (offset >= 0)
        ::lseek(fd_, offset, SEEK_SET);
    // Without SEEK_HOLE support every byte counts as held.
    return hole < 0 || static_cast<std::uint64_t>(hole) >= consumed_ + size;
}

std::size_t InputFile::readFile(char* data, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd_, data, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw FileError(errno);
    }
}

} // namespace fileio
