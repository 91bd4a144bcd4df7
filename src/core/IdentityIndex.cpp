#include "IdentityIndex.h"

#include "RecordIdentity.h"

#include <utility>

const TDataRecord* IdentityIndex::Find(const TDataRecord& record, std::uint64_t hash) const {
    if (size_ == 0)
        return nullptr;
    for (std::size_t i = hash & mask();; i = (i + 1) & mask()) {
        const Slot& slot = slots_[i];
        if (!slot.record)
            return nullptr;
        if (slot.hash == hash && identity::Equal(*slot.record, record))
            return slot.record;
    }
}

void IdentityIndex::Insert(const TDataRecord* record, std::uint64_t hash) {
    if ((size_ + 1) * 2 > slots_.size())
        rehash(slots_.empty() ? 64 : slots_.size() * 2);
    std::size_t i = hash & mask();
    while (slots_[i].record)
        i = (i + 1) & mask();
    slots_[i] = Slot{hash, record};
    ++size_;
}

std::size_t IdentityIndex::slotOf(const TDataRecord* record, std::uint64_t hash) const {
    for (std::size_t i = hash & mask(); slots_[i].record; i = (i + 1) & mask())
        if (slots_[i].record == record)
            return i;
    // Not under this hash: the entry was edited in place after it was adopted.
    // Look for its address so that no dangling slot remains.
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].record == record)
            return i;
    return slots_.size();
}

void IdentityIndex::Erase(const TDataRecord* record, std::uint64_t hash) {
    if (size_ == 0)
        return;
    const std::size_t i = slotOf(record, hash);
    if (i == slots_.size())
        return;
    // Backward-shift deletion: move later members of the probe run into the
    // gap so that every lookup still finds them without tombstones.
    std::size_t gap = i;
    for (std::size_t j = (i + 1) & mask(); slots_[j].record; j = (j + 1) & mask()) {
        const std::size_t home = slots_[j].hash & mask();
        // The slot at j may move to the gap when its home is not in (gap, j].
        const bool movable = gap <= j ? (home <= gap || home > j) : (home <= gap && home > j);
        if (movable) {
            slots_[gap] = slots_[j];
            gap = j;
        }
    }
    slots_[gap] = Slot{};
    --size_;
}

void IdentityIndex::Reserve(std::size_t entries) {
    std::size_t capacity = slots_.empty() ? 64 : slots_.size();
    while (capacity < entries * 2)
        capacity *= 2;
    if (capacity > slots_.size())
        rehash(capacity);
}

void IdentityIndex::Clear() {
    std::vector<Slot>().swap(slots_);
    size_ = 0;
}

void IdentityIndex::rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    for (const Slot& slot : old) {
        if (!slot.record)
            continue;
        std::size_t i = slot.hash & mask();
        while (slots_[i].record)
            i = (i + 1) & mask();
        slots_[i] = slot;
    }
}
