#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace analysis {

// Sorts `items` stably by the bits of keyOf(item) from `firstBit` upwards,
// a byte at a time from the least significant, skipping every byte in which
// all keys agree: a million items of a few significant bytes take a few
// passes over memory instead of a comparison sort's n log n.
template <typename Item, typename KeyOf>
void RadixSort(std::vector<Item>& items, KeyOf keyOf, unsigned firstBit = 0) {
    if (items.size() < 2)
        return;
    using Key = decltype(keyOf(items.front()));
    const Key first = keyOf(items.front());
    Key differing = 0;
    for (const Item& item : items)
        differing |= keyOf(item) ^ first;
    std::vector<Item> scratch(items.size());
    for (unsigned shift = firstBit; shift < 8 * sizeof(Key); shift += 8) {
        if (((differing >> shift) & 0xFFu) == 0)
            continue;
        std::array<std::size_t, 256> start{};
        for (const Item& item : items)
            ++start[(keyOf(item) >> shift) & 0xFFu];
        std::size_t sum = 0;
        for (std::size_t& slot : start) {
            const std::size_t n = slot;
            slot = sum;
            sum += n;
        }
        for (const Item& item : items)
            scratch[start[(keyOf(item) >> shift) & 0xFFu]++] = item;
        items.swap(scratch);
    }
}

template <typename Key> void RadixSort(std::vector<Key>& keys) {
    RadixSort(keys, [](Key key) { return key; });
}

} // namespace analysis
