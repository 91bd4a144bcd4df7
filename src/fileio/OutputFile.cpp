#include "fileio/OutputFile.h"

#include "fileio/FileErrors.h"
#include "fileio/FileIO.h"
#include "fileio/Leftovers.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace fileio {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

// A file of this process's own in the temporary folder, removed when it goes.
class ScratchFile {
public:
    ScratchFile() {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        path_ = TempTemplate((error ? std::string("/tmp") : folder.string()) + "/mavrolin");
        if (const int err = CreateTemp(path_, fd_))
            throw FileError(err);
    }
    ~ScratchFile() {
        ::unlink(path_.c_str());
        ::close(fd_);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    [[nodiscard]] int Fd() const { return fd_; }
    [[nodiscard]] const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace

OutputFile::OutputFile(int fd, std::string path)
    : fd_(fd), path_(std::move(path)), buffer_(kBufferSize) {}

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

void OutputFile::WriteByName(const NamedWriter& write) {
    if (!memory_) {
        used_ = 0;
        write(path_);
        return;
    }
    const ScratchFile scratch;
    write(scratch.Path());
    if (const int err = ReadWhole(scratch.Fd(), *memory_))
        throw FileError(err);
}

} // namespace fileio
