#pragma once

#include "core/DataRecord.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The database's entries by identity (field texts 1 to 5, ASCII letters
// folded): an open-addressing hash table of (hash, entry) slots, so that a
// lookup touches one slot and reads an entry only when the full hashes agree.
class IdentityIndex {
public:
    IdentityIndex() = default;
    ~IdentityIndex();
    IdentityIndex(const IdentityIndex&) = delete;
    IdentityIndex& operator=(const IdentityIndex&) = delete;

    // The entry identical to `record`, or nullptr.
    [[nodiscard]] const TDataRecord* Find(const TDataRecord& record, std::uint64_t hash) const;
    // `record` must not be identical to an entry already present.
    void Insert(const TDataRecord* record, std::uint64_t hash);
    // Removes exactly this entry (found by its hash and address).
    void Erase(const TDataRecord* record, std::uint64_t hash);
    void Reserve(std::size_t entries);
    // Starts loading the slot at which a lookup of `hash` begins: work on many
    // entries asks a few entries ahead, so that the misses overlap.
    void Prefetch(std::uint64_t hash) const {
        if (slots_)
            __builtin_prefetch(&slots_[hash & mask()]);
    }
    void Clear();
    [[nodiscard]] std::size_t Size() const { return size_; }
    // The identity hashes of all entries, in no order.
    [[nodiscard]] std::vector<std::uint64_t> Hashes() const;

private:
    struct Slot {
        std::uint64_t hash = 0;
        const TDataRecord* record = nullptr;
    };
    void rehash(std::size_t capacity);
    // The slot holding exactly `record`, or slots_.size().
    [[nodiscard]] std::size_t slotOf(const TDataRecord* record, std::uint64_t hash) const;
    [[nodiscard]] std::size_t mask() const { return capacity_ - 1; }

    // Power-of-two capacity, at most half full. A large table is mapped from
    // the system in huge pages (see PageMemory.h), so that the random probes
    // of a load miss the TLB far less often.
    Slot* slots_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};
