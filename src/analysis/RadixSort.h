#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace analysis {

// Sorts `keys` ascending by bytes, least significant first, skipping every
// byte in which all keys agree: a million keys of a few significant bytes
// take a few passes over memory instead of a comparison sort's n log n.
template <typename Key> void RadixSort(std::vector<Key>& keys) {
    if (keys.size() < 2)
        return;
    Key differing = 0;
    for (const Key key : keys)
        differing |= key ^ keys.front();
    std::vector<Key> scratch(keys.size());
    for (unsigned shift = 0; shift < 8 * sizeof(Key); shift += 8) {
        if (((differing >> shift) & 0xFFu) == 0)
            continue;
        std::array<std::size_t, 256> start{};
        for (const Key key : keys)
            ++start[(key >> shift) & 0xFFu];
        std::size_t sum = 0;
        for (std::size_t& slot : start) {
            const std::size_t n = slot;
            slot = sum;
            sum += n;
        }
        for (const Key key : keys)
            scratch[start[(key >> shift) & 0xFFu]++] = key;
        keys.swap(scratch);
    }
}

} // namespace analysis
