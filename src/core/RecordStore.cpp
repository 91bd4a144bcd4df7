#include "core/RecordStore.h"

#include "core/PageMemory.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Blocks grow from the first to the largest size, so that a small database
// (and each run of the fuzzer) allocates little; the largest are huge pages,
// mapped from the system, and a page is only touched when an entry or a text
// is written to it.
constexpr std::size_t kFirstBlock = std::size_t{4} << 10;
constexpr std::size_t kLargestEntryBlock = pagememory::kHugePage;
constexpr std::size_t kLargestTextBlock = 2 * pagememory::kHugePage;
// A longer text gets a block of its own, so that it wastes no room.
constexpr std::size_t kOwnBlock = std::size_t{512} << 10;
static_assert((kFirstBlock << 10) >= kLargestTextBlock);

std::size_t GrownSize(std::size_t blocks, std::size_t largest) {
    return std::min(largest, kFirstBlock << std::min<std::size_t>(blocks, 10));
}

} // namespace

TRecordStore::Block TRecordStore::NewBlock(std::size_t bytes) {
    return {pagememory::Allocate(bytes), bytes};
}

void TRecordStore::FreeBlocks(std::vector<Block>& blocks) noexcept {
    for (const Block& block : blocks)
        pagememory::Free(block.memory, block.bytes);
    std::vector<Block>().swap(blocks);
}

TRecordStore::~TRecordStore() {
    Clear();
}

TDataRecord* TRecordStore::Take() {
    if (free_) {
        Slot* slot = free_;
        free_ = slot->nextFree;
        return new (&slot->record) TDataRecord();
    }
    if (next_ == end_) {
        blocks_.reserve(blocks_.size() + 1);
        // Not written here: a slot is written when it is taken.
        const Block block = NewBlock(GrownSize(blocks_.size(), kLargestEntryBlock));
        blocks_.push_back(block);
        next_ = static_cast<Slot*>(block.memory);
        end_ = next_ + block.bytes / sizeof(Slot);
    }
    return new (&(next_++)->record) TDataRecord();
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
        const Block block = NewBlock(size);
        at = static_cast<char*>(block.memory);
        // Before the current block, which keeps taking the short texts.
        texts_.insert(texts_.empty() ? texts_.end() : texts_.end() - 1, block);
    } else {
        if (static_cast<std::size_t>(textEnd_ - textNext_) < size) {
            texts_.reserve(texts_.size() + 1);
            // Never smaller than the text: one of up to kOwnBlock may be
            // longer than the next grown block.
            const Block block =
                NewBlock(std::max(size, GrownSize(texts_.size(), kLargestTextBlock)));
            texts_.push_back(block);
            textNext_ = static_cast<char*>(block.memory);
            textEnd_ = textNext_ + block.bytes;
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
    // The growing first blocks hold fewer: at most ten more blocks.
    blocks_.reserve(blocks_.size() + entries / (kLargestEntryBlock / sizeof(Slot)) + 11);
}

void TRecordStore::Clear() noexcept {
    FreeBlocks(blocks_);
    next_ = end_ = free_ = nullptr;
    FreeBlocks(texts_);
    textNext_ = textEnd_ = nullptr;
}
