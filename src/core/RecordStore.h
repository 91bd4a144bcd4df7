#pragma once

#include "core/DataRecord.h"

#include <cstddef>
#include <string_view>
#include <vector>

// Where the database keeps its entries: blocks of entries at addresses that
// stay while an entry lives, and one growing arena for the descriptions. A
// million entries cost a few dozen blocks, and freeing them as many calls. A
// deleted entry's slot is reused; its description stays behind as garbage
// until Clear (a reload).
class TRecordStore {
public:
    TRecordStore() = default;
    ~TRecordStore();
    TRecordStore(const TRecordStore&) = delete;
    TRecordStore& operator=(const TRecordStore&) = delete;

    // A fresh entry; throws std::bad_alloc when no block can be had.
    TDataRecord* Take();
    // Returns an entry taken before; never throws.
    void Give(TDataRecord* record) noexcept;

    // A copy of `text` in the arena (nullptr for an empty text); may throw.
    const char* CopyText(std::string_view text);
    // Takes back the last copy when nothing was copied after it.
    void ReleaseText(const char* text, std::size_t size) noexcept;

    // Room for `entries` more entries without further blocks; touches none.
    void Reserve(std::size_t entries);
    // Frees every block: each entry taken before is gone.
    void Clear() noexcept;

private:
    union Slot {
        Slot() {}
        TDataRecord record;
        Slot* nextFree;
    };
    // A block of entries or of texts: from the heap while the database is
    // small, mapped from the system once it is large (see PageMemory.h).
    struct Block {
        void* memory = nullptr;
        std::size_t bytes = 0;
    };
    static Block NewBlock(std::size_t bytes);
    static void FreeBlocks(std::vector<Block>& blocks) noexcept;

    std::vector<Block> blocks_;
    Slot* next_ = nullptr; // the next untaken slot of the last block
    Slot* end_ = nullptr;
    Slot* free_ = nullptr;

    std::vector<Block> texts_;
    char* textNext_ = nullptr;
    char* textEnd_ = nullptr;
};
