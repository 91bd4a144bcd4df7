#include "analysis/SpellingCache.h"

#include <algorithm>
#include <bit>

namespace analysis {
namespace {

constexpr std::size_t kFirstSize = 256;
constexpr std::size_t kLastSize = std::size_t{1} << 16;

} // namespace

std::size_t SpellingCache::Home(const std::string* spelling) const {
    // Fibonacci hashing of the address: its upper bits pick the slot.
    const auto address = reinterpret_cast<std::uintptr_t>(spelling);
    const std::uint64_t mixed = std::uint64_t{address} * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> (64 - std::countr_zero(slots_.size())));
}

std::uint32_t SpellingCache::Find(const std::string* spelling) const {
    if (slots_.empty())
        return None;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Home(spelling);; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.spelling == spelling)
            return slot.group;
        if (slot.spelling == nullptr)
            return None;
    }
}

void SpellingCache::Insert(const std::string* spelling, std::uint32_t group) {
    if (2 * (used_ + 1) > slots_.size()) {
        if (slots_.size() >= kLastSize)
            return;
        std::vector<Slot> old(std::max(kFirstSize, 2 * slots_.size()));
        old.swap(slots_);
        used_ = 0;
        for (const Slot& slot : old)
            if (slot.spelling != nullptr)
                Place(slot);
    }
    Place(Slot{spelling, group});
}

void SpellingCache::Place(const Slot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = Home(slot.spelling);
    while (slots_[i].spelling != nullptr)
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
