#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fileio {

// One file read front to back: from the disk through a buffer, or an entry of
// the memory table (see UseMemoryFiles). A read that finds the file ending
// early fails with the end-of-file message. The size of a regular file is
// known, so that a reader can refuse a length that the file cannot hold
// before it allocates room for it.
class InputFile {
public:
    enum class Access { ReadOnly, ReadWrite };

    // Opens an existing file. ReadWrite asks for write access too, so that a
    // file that may not be written fails to open. Throws std::runtime_error
    // with the German message of the file layer.
    InputFile(const std::string& name, Access access);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Fills `data` with the next `size` bytes or throws.
    void Read(char* data, std::size_t size);
    // Up to `size` of the next bytes into `data`, their count: 0 at the end
    // of the file. A large read goes straight from the file to `data`.
    std::size_t ReadSome(char* data, std::size_t size);
    // The next `size` bytes: in place when the buffer holds them, otherwise
    // read into `scratch`. Valid until the next read.
    std::string_view View(std::size_t size, std::string& scratch);
    // The next `size` bytes in place when the buffer holds them (valid until
    // the next read), otherwise nullptr and nothing is consumed.
    const char* TakeBuffered(std::size_t size) {
        if (static_cast<std::size_t>(end_ - next_) < size)
            return nullptr;
        const char* at = next_;
        next_ += size;
        consumed_ += size;
        return at;
    }
    // False when the next `size` bytes of a regular file run into a hole
    // (a sparse file claims them but holds no data there).
    [[nodiscard]] bool Holds(std::uint64_t size) const;

    [[nodiscard]] bool SizeKnown() const { return sizeKnown_; }
    // Bytes of a regular file not read yet (its size may have changed since).
    [[nodiscard]] std::uint64_t Remaining() const {
        return size_ > consumed_ ? size_ - consumed_ : 0;
    }

private:
    // Reads from the file where it stands; 0 at its end.
    std::size_t readFile(char* data, std::size_t size);

    int fd_ = -1; // -1 for a file in memory
    std::vector<char> buffer_;
    // The bytes at hand: a window of buffer_, or the whole file in memory.
    const char* next_ = nullptr;
    const char* end_ = nullptr;
    std::uint64_t consumed_ = 0;
    std::uint64_t size_ = 0;
    bool sizeKnown_ = false;
};

} // namespace fileio
