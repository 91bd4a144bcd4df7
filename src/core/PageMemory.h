#pragma once

#include <cstddef>

// Blocks for the database's entries, description arena and identity index.
// Small blocks come from the heap; a block of at least a huge page comes
// straight from the system, aligned to one and mapped in huge pages where the
// system allows them, so that filling it costs one page fault per 2 MiB
// instead of one per 4 KiB, its pages stay out of memory until touched, and
// it goes back whole.
namespace pagememory {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Room for `bytes`, every byte zero. Throws std::bad_alloc when there is none.
void* Allocate(std::size_t bytes);
// Gives back a block of Allocate, with the size that was asked for.
void Free(void* block, std::size_t bytes) noexcept;

} // namespace pagememory
