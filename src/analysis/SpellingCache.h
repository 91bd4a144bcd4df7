#pragma once

#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace analysis {

// The group of each exact spelling met during one full count, so that a
// million entries ask the value list once per spelling. It keeps views of
// the entries' own texts, so it is cleared before those may go; it holds at
// most a few ten thousand spellings and stops remembering beyond.
class SpellingCache {
public:
    static constexpr std::uint32_t None = std::numeric_limits<std::uint32_t>::max();

    [[nodiscard]] std::uint32_t Find(std::string_view text) const;
    void Insert(std::string_view text, std::uint32_t group);
    void Clear();

private:
    // Length and the first and last eight bytes, which hold every byte of a
    // text up to 16 bytes (so most spellings compare without memcmp), and a
    // hash of all bytes.
    struct Print {
        std::uint64_t head = 0;
        std::uint64_t tail = 0;
        std::uint64_t hash = 0;
        std::uint32_t size = 0;
    };
    struct Slot {
        Print print;
        const char* data = nullptr;
        std::uint32_t group = None; // None: empty
    };
    static Print PrintOf(std::string_view text);
    static bool Same(const Slot& slot, const Print& print, std::string_view text);
    void Place(const Slot& slot);

    std::vector<Slot> slots_; // a power of two, at most half used
    std::uint32_t used_ = 0;
};

} // namespace analysis
