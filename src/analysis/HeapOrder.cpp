#include "analysis/HeapOrder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace analysis {
namespace {

// The entries lie in blocks of memory that may be far apart (small ones on
// the heap, large ones mapped on their own), so a region is a piece of a
// 2 MiB chunk of the address space: chunks are numbered as they are met,
// and each is cut into 64 KiB regions, small enough to stay in the cache
// while their entries are read.
constexpr int kChunkBits = 21;
constexpr int kRegionBits = 16;
constexpr int kRegionsPerChunk = 1 << (kChunkBits - kRegionBits);
// A million entries of some 60 bytes fill about thirty chunks; entries
// spread over more than this are left in their order.
constexpr std::size_t kMaxChunks = 512;
constexpr std::size_t kTableSize = 2048; // at most a quarter used

std::uintptr_t Address(const TDataRecord* entry) {
    return reinterpret_cast<std::uintptr_t>(entry);
}

// The numbers of the chunks met, by open addressing on the chunk's address.
class ChunkNumbers {
public:
    // The region of `entry`, or -1 when there are too many chunks.
    std::ptrdiff_t RegionOf(const TDataRecord* entry) {
        const std::uintptr_t chunk = Address(entry) >> kChunkBits;
        std::size_t slot = (chunk * 0x9E3779B97F4A7C15ull) >> (64 - 11);
        while (keys_[slot] != chunk) {
            if (keys_[slot] == 0) {
                if (count_ == kMaxChunks)
                    return -1;
                keys_[slot] = chunk; // chunk 0 holds no entries
                numbers_[slot] = static_cast<std::uint16_t>(count_++);
                break;
            }
            slot = (slot + 1) % kTableSize;
        }
        const auto inChunk = (Address(entry) >> kRegionBits) & (kRegionsPerChunk - 1);
        return static_cast<std::ptrdiff_t>(std::size_t{numbers_[slot]} * kRegionsPerChunk +
                                           inChunk);
    }

private:
    std::array<std::uintptr_t, kTableSize> keys_{};
    std::array<std::uint16_t, kTableSize> numbers_{};
    std::size_t count_ = 0;
};

} // namespace

std::vector<const TDataRecord*> InHeapOrder(std::span<const TDataRecord* const> entries) {
    std::size_t backwards = 0;
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (Address(entries[i]) < Address(entries[i - 1]))
            ++backwards;
    if (entries.empty() || backwards < entries.size() / 16)
        return {};
    ChunkNumbers chunks;
    std::vector<std::size_t> start(kMaxChunks * kRegionsPerChunk);
    for (const TDataRecord* entry : entries) {
        const std::ptrdiff_t region = chunks.RegionOf(entry);
        if (region < 0)
            return {};
        ++start[static_cast<std::size_t>(region)];
    }
    std::size_t sum = 0;
    for (std::size_t& slot : start) {
        const std::size_t n = slot;
        slot = sum;
        sum += n;
    }
    std::vector<const TDataRecord*> ordered(entries.size());
    for (const TDataRecord* entry : entries)
        ordered[start[static_cast<std::size_t>(chunks.RegionOf(entry))]++] = entry;
    return ordered;
}

} // namespace analysis
