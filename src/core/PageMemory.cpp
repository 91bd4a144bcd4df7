#include "core/PageMemory.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace pagememory {
namespace {

constexpr std::size_t kPage = 4096;

std::size_t Rounded(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

void* MapAnonymous(std::size_t bytes) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    return p;
}

} // namespace

void* Allocate(std::size_t bytes) {
    if (bytes < kHugePage) {
        void* block = std::calloc(1, bytes == 0 ? 1 : bytes);
        if (!block)
            throw std::bad_alloc();
        return block;
    }
    bytes = Rounded(bytes, kPage);
    // One huge page more than asked for, then the unaligned head and the
    // tail go back, so that the block starts on a huge page.
    auto* raw = static_cast<char*>(MapAnonymous(bytes + kHugePage));
    const auto at = reinterpret_cast<std::uintptr_t>(raw);
    char* aligned = raw + (Rounded(at, kHugePage) - at);
    if (aligned != raw)
        ::munmap(raw, static_cast<std::size_t>(aligned - raw));
    const std::size_t tail = static_cast<std::size_t>(raw + bytes + kHugePage - (aligned + bytes));
    if (tail > 0)
        ::munmap(aligned + bytes, tail);
    ::madvise(aligned, bytes, MADV_HUGEPAGE); // a hint; without it the block still works
    return aligned;
}

void Free(void* block, std::size_t bytes) noexcept {
    if (!block)
        return;
    if (bytes < kHugePage)
        std::free(block);
    else
        ::munmap(block, Rounded(bytes, kPage));
}

} // namespace pagememory
