#include "OutputFile.h"

#include "Errors.h"
#include "FileIO.h"

#include <algorithm>

namespace fileio {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

} // namespace

OutputFile::OutputFile(int fd) : fd_(fd) {
    buffer_.reserve(kBufferSize);
}

OutputFile::OutputFile(std::string& memory) : memory_(&memory) {}

void OutputFile::Write(const char* data, std::size_t size) {
    if (memory_) {
        memory_->append(data, size);
        return;
    }
    while (size > 0) {
        const std::size_t k = std::min(size, kBufferSize - buffer_.size());
        buffer_.insert(buffer_.end(), data, data + k);
        data += k;
        size -= k;
        if (buffer_.size() == kBufferSize)
            Flush();
    }
}

void OutputFile::Flush() {
    if (buffer_.empty())
        return;
    if (const int err = WriteAll(fd_, buffer_.data(), buffer_.size()))
        throw FileError(err);
    buffer_.clear();
}

} // namespace fileio
