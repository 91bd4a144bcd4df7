#include "HeapOrder.h"

#include "RadixSort.h"

#include <algorithm>
#include <cstdint>

namespace analysis {
namespace {

constexpr unsigned kPageBits = 12;

std::uintptr_t Address(const TDataRecord* entry) {
    return reinterpret_cast<std::uintptr_t>(entry);
}

} // namespace

std::vector<const TDataRecord*> InHeapOrder(std::span<const TDataRecord* const> entries) {
    if (entries.empty())
        return {};
    std::uintptr_t low = Address(entries.front());
    std::size_t backwards = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        low = std::min(low, Address(entries[i]));
        if (i > 0 && Address(entries[i]) < Address(entries[i - 1]))
            ++backwards;
    }
    if (backwards < entries.size() / 16)
        return {};
    std::vector<const TDataRecord*> ordered(entries.begin(), entries.end());
    // Counted from the lowest address, the keys have only as many bytes as
    // the entries' span of the heap needs.
    RadixSort(
        ordered, [low](const TDataRecord* entry) { return Address(entry) - low; }, kPageBits);
    return ordered;
}

} // namespace analysis
