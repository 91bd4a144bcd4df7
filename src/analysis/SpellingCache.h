#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace analysis {

// The group of each exact spelling met during one full count, so that a
// million entries ask the value list once per spelling. The database keeps
// each spelling once and every entry refers to it, so a spelling is known by
// its address and no text is read or hashed per entry. The addresses are
// only right while the spellings stay: the cache is cleared after the count.
// It holds at most a few ten thousand spellings and stops remembering beyond.
class SpellingCache {
public:
    static constexpr std::uint32_t None = std::numeric_limits<std::uint32_t>::max();

    [[nodiscard]] std::uint32_t Find(const std::string* spelling) const;
    void Insert(const std::string* spelling, std::uint32_t group);
    void Clear();

private:
    struct Slot {
        const std::string* spelling = nullptr; // nullptr: empty
        std::uint32_t group = None;
    };
    [[nodiscard]] std::size_t Home(const std::string* spelling) const;
    void Place(const Slot& slot);

    std::vector<Slot> slots_; // a power of two, at most half used
    std::uint32_t used_ = 0;
};

} // namespace analysis
