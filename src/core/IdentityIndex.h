#pragma once

#include "DataRecord.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The database's entries by identity (field texts 1 to 5, ASCII letters
// folded): an open-addressing hash table of (hash, entry) slots, so that a
// lookup touches one slot and reads an entry only when the full hashes agree.
class IdentityIndex {
public:
    // The entry identical to `record`, or nullptr.
    [[nodiscard]] const TDataRecord* Find(const TDataRecord& record, std::uint64_t hash) const;
    // `record` must not be identical to an entry already present.
    void Insert(const TDataRecord* record, std::uint64_t hash);
    // Removes exactly this entry (found by its hash and address).
    void Erase(const TDataRecord* record, std::uint64_t hash);
    void Reserve(std::size_t entries);
    void Clear();
    [[nodiscard]] std::size_t Size() const { return size_; }

private:
    struct Slot {
        std::uint64_t hash = 0;
        const TDataRecord* record = nullptr;
    };
    void rehash(std::size_t capacity);
    // The slot holding exactly `record`, or slots_.size().
    [[nodiscard]] std::size_t slotOf(const TDataRecord* record, std::uint64_t hash) const;
    [[nodiscard]] std::size_t mask() const { return slots_.size() - 1; }

    std::vector<Slot> slots_; // power-of-two size, at most half full
    std::size_t size_ = 0;
};
