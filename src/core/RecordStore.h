#pragma once

#include "DataRecord.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// Where the database keeps its entries: blocks of entries at addresses that
// stay while an entry lives, and one growing arena for the descriptions. A
// million entries cost a few hundred allocations, and freeing them as many
// calls. A deleted entry's slot is reused; its description stays behind as
// garbage until Clear (a reload).
class TRecordStore {
public:
    TRecordStore() = default;
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
    static constexpr std::size_t kBlockEntries = 4096;
    union Slot {
        Slot() {}
        TDataRecord record;
        Slot* nextFree;
    };
    std::vector<std::unique_ptr<Slot[]>> blocks_;
    std::size_t usedInLast_ = kBlockEntries;
    Slot* free_ = nullptr;

    std::vector<std::unique_ptr<char[]>> texts_;
    char* textNext_ = nullptr;
    char* textEnd_ = nullptr;
};
