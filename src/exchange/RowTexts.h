#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace exchange {

// The texts of read rows, in blocks that stay where they are while the
// owner lives (also when it is moved).
class RowTexts {
public:
    // Room for `size` bytes after the last text.
    char* Room(std::size_t size);
    // Keeps the first `used` bytes of the room last given (`at`).
    std::string_view Keep(const char* at, std::size_t used);
    // Takes over the texts of `other`.
    void Adopt(RowTexts&& other);
    // Forgets the texts kept so far but keeps the last block for new ones,
    // unless a long text had it (a scratch store used row after row).
    void Rewind();

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::size_t lastSize_ = 0; // of the last block
};

} // namespace exchange
