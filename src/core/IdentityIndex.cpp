#include "IdentityIndex.h"

#include "RecordIdentity.h"

#include <utility>

const TDataRecord* IdentityIndex::Find(const TDataRecord& record, std::uint64_t hash) const {
    if (size_ == 0)
        return nullptr;
    for (std::size_t i = hash & Mask();; i = (i + 1) & Mask()) {
        const Slot& slot = slots_[i];
        if (!slot.record)
            return nullptr;
        if (slot.hash == hash && identity::Equal(*slot.record, record))
            return slot.record;
    }
}

void IdentityIndex::Insert(const TDataRecord* record, std::uint64_t hash) {
    if ((size_ + 1) * 2 > slots_.size())
        Rehash(slots_.empty() ? 64 : slots_.size() * 2);
    std::size_t i = hash & Mask();
    while (slots_[i].record)
        i = (i + 1) & Mask();
    slots_[i] = Slot{hash, record};
    ++size_;
}

std::size_t IdentityIndex::SlotOf(const TDataRecord* record, std::uint64_t hash) const {
    for (std::size_t i = hash & Mask(); slots_[i].record; i = (i + 1) & Mask())
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
    const std::size_t i = SlotOf(record, hash);
    if (i == slots_.size())
        return;
    // Backward-shift deletion: move later members of the probe run into the
    // gap so that every lookup still finds them without tombstones.
    std::size_t gap = i;
    for (std::size_t j = (i + 1) & Mask(); slots_[j].record; j = (j + 1) & Mask()) {
        const std::size_t home = slots_[j].hash & Mask();
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
        Rehash(capacity);
}

void IdentityIndex::Clear() {
    std::vector<Slot>().swap(slots_);
    size_ = 0;
}

void IdentityIndex::Rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    for (const Slot& slot : old) {
        if (!slot.record)
            continue;
        std::size_t i = slot.hash & Mask();
        while (slots_[i].record)
            i = (i + 1) & Mask();
        slots_[i] = slot;
    }
}
