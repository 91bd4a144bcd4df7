#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace fileio {

// Fills the file of the given name, opening it itself; may throw.
using NamedWriter = std::function<void(const std::string& path)>;

// Where the writer of a replace puts the new content: buffered writes to an
// open file, each through WriteAll (so the fault hook sees them), or straight
// into a string in memory. Failures throw std::runtime_error with the German
// message of the file layer.
class OutputFile {
public:
    // The open file `fd`, whose name is `path`.
    OutputFile(int fd, std::string path);
    explicit OutputFile(std::string& memory);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const char* data, std::size_t size);
    // Room for the next `size` bytes, which count as written and must all be
    // filled before the next call; nullptr when the buffer lacks the room
    // (then Write them). The buffer is written out in the same pieces either way.
    char* Room(std::size_t size) {
        if (memory_) {
            const std::size_t at = memory_->size();
            memory_->resize(at + size);
            return memory_->data() + at;
        }
        if (buffer_.size() - used_ <= size) // a full buffer goes out through Write
            return nullptr;
        char* at = buffer_.data() + used_;
        used_ += size;
        return at;
    }
    // Writes out what the buffer holds.
    void Flush();
    // The whole content, from a writer that opens its output by name (a
    // library that writes files by name): `write` gets the open file's name,
    // or for content in memory that of a scratch file in the temporary folder,
    // which is then read in. Comes instead of every other write.
    void WriteByName(const NamedWriter& write);

private:
    int fd_ = -1;
    std::string path_;
    std::string* memory_ = nullptr;
    std::vector<char> buffer_; // kBufferSize bytes, the first used_ of them filled
    std::size_t used_ = 0;
};

} // namespace fileio
