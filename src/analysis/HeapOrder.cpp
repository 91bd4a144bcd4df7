#include "HeapOrder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace analysis {
namespace {

// Regions of the entries' span of the heap: small enough to stay in the
// cache while their entries are read, few enough for one counting pass.
constexpr int kRegionBits = 12;
constexpr int kSmallestRegion = 12; // a page

std::uintptr_t Address(const TDataRecord* entry) {
    return reinterpret_cast<std::uintptr_t>(entry);
}

} // namespace

std::vector<const TDataRecord*> InHeapOrder(std::span<const TDataRecord* const> entries) {
    if (entries.empty())
        return {};
    std::uintptr_t low = Address(entries.front());
    std::uintptr_t high = low;
    std::size_t backwards = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        low = std::min(low, Address(entries[i]));
        high = std::max(high, Address(entries[i]));
        if (i > 0 && Address(entries[i]) < Address(entries[i - 1]))
            ++backwards;
    }
    if (backwards < entries.size() / 16)
        return {};
    const int shift =
        std::max(kSmallestRegion, static_cast<int>(std::bit_width(high - low)) - kRegionBits);
    const auto region = [low, shift](const TDataRecord* entry) {
        return (Address(entry) - low) >> shift;
    };
    std::vector<std::size_t> start(std::size_t{1} << kRegionBits);
    for (const TDataRecord* entry : entries)
        ++start[region(entry)];
    std::size_t sum = 0;
    for (std::size_t& slot : start) {
        const std::size_t n = slot;
        slot = sum;
        sum += n;
    }
    std::vector<const TDataRecord*> ordered(entries.size());
    for (const TDataRecord* entry : entries)
        ordered[start[region(entry)]++] = entry;
    return ordered;
}

} // namespace analysis
