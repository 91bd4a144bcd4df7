#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fileio {

// Where the writer of a replace puts the new content: buffered writes to an
// open file, each through WriteAll (so the fault hook sees them), or straight
// into a string in memory. Failures throw std::runtime_error with the German
// message of the file layer.
class OutputFile {
public:
    explicit OutputFile(int fd);
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

private:
    int fd_ = -1;
    std::string* memory_ = nullptr;
    std::vector<char> buffer_; // kBufferSize bytes, the first used_ of them filled
    std::size_t used_ = 0;
};

} // namespace fileio
