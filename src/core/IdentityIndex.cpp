#include "core/IdentityIndex.h"

#include "core/PageMemory.h"
#include "core/RecordIdentity.h"

#include <utility>

namespace {

template <typename Slot> Slot* AllocateSlots(std::size_t count) {
    return static_cast<Slot*>(pagememory::Allocate(count * sizeof(Slot)));
}

template <typename Slot> void FreeSlots(Slot* slots, std::size_t count) {
    pagememory::Free(slots, count * sizeof(Slot));
}

} // namespace

IdentityIndex::~IdentityIndex() {
    FreeSlots(slots_, capacity_);
}

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
    if ((size_ + 1) * 2 > capacity_)
        rehash(capacity_ == 0 ? 64 : capacity_ * 2);
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
    for (std::size_t i = 0; i < capacity_; ++i)
        if (slots_[i].record == record)
            return i;
    return capacity_;
}

void IdentityIndex::Erase(const TDataRecord* record, std::uint64_t hash) {
    if (size_ == 0)
        return;
    const std::size_t i = slotOf(record, hash);
    if (i == capacity_)
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
    std::size_t capacity = capacity_ == 0 ? 64 : capacity_;
    while (capacity < entries * 2)
        capacity *= 2;
    if (capacity > capacity_)
        rehash(capacity);
}

void IdentityIndex::Clear() {
    FreeSlots(slots_, capacity_);
    slots_ = nullptr;
    capacity_ = 0;
    size_ = 0;
}

void IdentityIndex::rehash(std::size_t capacity) {
    Slot* old = AllocateSlots<Slot>(capacity);
    std::swap(old, slots_);
    const std::size_t oldCapacity = std::exchange(capacity_, capacity);
    for (std::size_t k = 0; k < oldCapacity; ++k) {
        const Slot& slot = old[k];
        if (!slot.record)
            continue;
        std::size_t i = slot.hash & mask();
        while (slots_[i].record)
            i = (i + 1) & mask();
        slots_[i] = slot;
    }
    FreeSlots(old, oldCapacity);
}

std::vector<std::uint64_t> IdentityIndex::Hashes() const {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(size_);
    for (std::size_t i = 0; i < capacity_; ++i)
        if (slots_[i].record)
            hashes.push_back(slots_[i].hash);
    return hashes;
}
