#include "fileio/OutputFile.h"

#include "fileio/FileErrors.h"
#include "fileio/FileIO.h"

#include <algorithm>
#include <cstring>

namespace fileio {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

} // namespace

OutputFile::OutputFile(int fd) : fd_(fd), buffer_(kBufferSize) {}

OutputFile::OutputFile(std::string& memory) : memory_(&memory) {}

void OutputFile::Write(const char* data, std::size_t size) {
    if (memory_) {
        memory_->append(data, size);
        return;
    }
    // Most writes are a few bytes: one copy into the buffer.
    while (size > 0) {
        const std::size_t k = std::min(size, kBufferSize - used_);
        std::memcpy(buffer_.data() + used_, data, k);
        used_ += k;
        data += k;
        size -= k;
        if (used_ == kBufferSize)
            Flush();
    }
}

void OutputFile::Flush() {
    if (used_ == 0)
        return;
    if (const int err = WriteAll(fd_, buffer_.data(), used_))
        throw FileError(err);
    used_ = 0;
}

} // namespace fileio
