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

} // namespace pagememory
