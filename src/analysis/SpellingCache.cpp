#include "SpellingCache.h"

#include <algorithm>
#include <cstring>

namespace analysis {
namespace {

constexpr std::size_t kFirstSize = 256;
constexpr std::size_t kLastSize = std::size_t{1} << 16;

template <typename T> std::uint64_t Load(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The bytes between the first and the last eight, in the overlapping words
// that PrintOf hashes.
bool SameMiddle(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 8; i + 8 < n; i += 8) {
        const std::size_t at = std::min(i, n - 16);
        if (Load<std::uint64_t>(a + at) != Load<std::uint64_t>(b + at))
            return false;
    }
    return true;
}

} // namespace

SpellingCache::Print SpellingCache::PrintOf(std::string_view text) {
    constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ull;
    Print print;
    const char* p = text.data();
    const std::size_t n = text.size();
    print.size = static_cast<std::uint32_t>(n);
    std::uint64_t middle = 0;
    if (n >= 8) {
        print.head = Load<std::uint64_t>(p);
        print.tail = Load<std::uint64_t>(p + n - 8);
        // The bytes between head and tail, in overlapping words.
        for (std::size_t i = 8; i + 8 < n; i += 8)
            middle = (middle ^ Load<std::uint64_t>(p + std::min(i, n - 16))) * kOdd;
    } else if (n >= 4) {
        print.head = Load<std::uint32_t>(p) | Load<std::uint32_t>(p + n - 4) << 32;
    } else if (n > 0) {
        const auto byte = [p](std::size_t i) {
            return std::uint64_t{static_cast<unsigned char>(p[i])};
        };
        print.head = byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
    }
    const std::uint64_t h =
        ((print.head ^ (print.tail * kOdd) ^ n) * 0xBF58476D1CE4E5B9ull) ^ middle;
    print.hash = h ^ (h >> 31);
    return print;
}

bool SpellingCache::Same(const Slot& slot, const Print& print, std::string_view text) {
    return slot.print.hash == print.hash && slot.print.size == print.size &&
           slot.print.head == print.head && slot.print.tail == print.tail &&
           SameMiddle(slot.data, text.data(), text.size());
}

std::uint32_t SpellingCache::Find(std::string_view text) const {
    if (slots_.empty())
        return None;
    const Print print = PrintOf(text);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = print.hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.group == None)
            return None;
        if (Same(slot, print, text))
            return slot.group;
    }
}

void SpellingCache::Insert(std::string_view text, std::uint32_t group) {
    if (2 * (used_ + 1) > slots_.size()) {
        if (slots_.size() >= kLastSize)
            return;
        std::vector<Slot> old(std::max(kFirstSize, 2 * slots_.size()));
        old.swap(slots_);
        used_ = 0;
        for (const Slot& slot : old)
            if (slot.group != None)
                Place(slot);
    }
    Place(Slot{PrintOf(text), text.data(), group});
}

void SpellingCache::Place(const Slot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slot.print.hash & mask;
    while (slots_[i].group != None)
        i = (i + 1) & mask;
    slots_[i] = slot;
    ++used_;
}

void SpellingCache::Clear() {
    slots_.clear();
    slots_.shrink_to_fit();
    used_ = 0;
}

} // namespace analysis
