#include "RecordStore.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Arena blocks grow from the first to the largest size, so that a small
// database stays small; the large ones come straight from the system and go
// back to it whole, and a page is only touched when a text is written to it.
constexpr std::size_t kFirstTextBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestTextBlock = std::size_t{4} << 20;
// A longer text gets a block of its own, so that it wastes no room.
constexpr std::size_t kOwnBlock = std::size_t{512} << 10;

} // namespace

TDataRecord* TRecordStore::Take() {
    if (free_) {
        Slot* slot = free_;
        free_ = slot->nextFree;
        return new (&slot->record) TDataRecord();
    }
    if (usedInLast_ == kBlockEntries) {
        blocks_.reserve(blocks_.size() + 1);
        // Not value-initialised: the slots are written when they are taken.
        blocks_.emplace_back(new Slot[kBlockEntries]);
        usedInLast_ = 0;
    }
    return new (&blocks_.back()[usedInLast_++].record) TDataRecord();
}

void TRecordStore::Give(TDataRecord* record) noexcept {
    auto* slot = reinterpret_cast<Slot*>(record);
    slot->nextFree = free_;
    free_ = slot;
}

const char* TRecordStore::CopyText(std::string_view text) {
    if (text.empty())
        return nullptr;
    const std::size_t size = text.size();
    char* at = nullptr;
    if (size > kOwnBlock) {
        texts_.reserve(texts_.size() + 1);
        auto block = std::unique_ptr<char[]>(new char[size]);
        at = block.get();
        // Before the current block, which keeps taking the short texts.
        texts_.insert(texts_.empty() ? texts_.end() : texts_.end() - 1, std::move(block));
    } else {
        if (static_cast<std::size_t>(textEnd_ - textNext_) < size) {
            texts_.reserve(texts_.size() + 1);
            const std::size_t blockSize = std::min(
                kLargestTextBlock, kFirstTextBlock << std::min<std::size_t>(texts_.size(), 6));
            texts_.emplace_back(new char[blockSize]);
            textNext_ = texts_.back().get();
            textEnd_ = textNext_ + blockSize;
        }
        at = textNext_;
        textNext_ += size;
    }
    std::memcpy(at, text.data(), size);
    return at;
}

void TRecordStore::ReleaseText(const char* text, std::size_t size) noexcept {
    if (text && text + size == textNext_)
        textNext_ -= size;
}

void TRecordStore::Reserve(std::size_t entries) {
    blocks_.reserve(blocks_.size() + entries / kBlockEntries + 1);
}

void TRecordStore::Clear() noexcept {
    std::vector<std::unique_ptr<Slot[]>>().swap(blocks_);
    usedInLast_ = kBlockEntries;
    free_ = nullptr;
    std::vector<std::unique_ptr<char[]>>().swap(texts_);
    textNext_ = textEnd_ = nullptr;
}
