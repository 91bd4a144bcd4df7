#pragma once

#include <cstddef>

// Large blocks straight from the system, for the database's entry blocks,
// description arena and identity index. A block of at least a huge page is
// aligned to one and mapped in huge pages where the system allows them, so
// that filling it costs one page fault per 2 MiB instead of one per 4 KiB.
// Pages are zero and not resident until touched; a block goes back whole.
namespace pagememory {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Throws std::bad_alloc when the system has no room.
void* Map(std::size_t bytes);
void Unmap(void* block, std::size_t bytes) noexcept;

// Makes the C heap give every freed allocation of 1 MiB or more back to the
// system at once. By default the heap raises that limit to the size of the
// largest block freed, so the row lists of a million-entry window (8 MB each,
// replaced at every search or filter change) would stay resident after
// their release and add up to more than the lists alive at any one time.
// The program calls this once at its start.
void ReturnLargeFreesAtOnce() noexcept;

} // namespace pagememory
