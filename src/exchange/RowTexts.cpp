#include "exchange/RowTexts.h"

#include <algorithm>

namespace exchange {

namespace {

constexpr std::size_t BlockSize = std::size_t{1} << 20;

} // namespace

char* RowTexts::Room(std::size_t size) {
    if (static_cast<std::size_t>(end_ - next_) < size) {
        // Blocks of 1 MiB, or one of its own for a longer text.
        const std::size_t blockSize = std::max(size, BlockSize);
        blocks_.reserve(blocks_.size() + 1);
        blocks_.emplace_back(new char[blockSize]);
        next_ = blocks_.back().get();
        end_ = next_ + blockSize;
        lastSize_ = blockSize;
    }
    return next_;
}

std::string_view RowTexts::Keep(const char* at, std::size_t used) {
    next_ += used;
    return {at, used};
}

void RowTexts::Adopt(RowTexts&& other) {
    blocks_.reserve(blocks_.size() + other.blocks_.size());
    for (auto& block : other.blocks_)
        blocks_.push_back(std::move(block));
    other = RowTexts();
}

void RowTexts::Rewind() {
    if (blocks_.empty())
        return;
    if (lastSize_ > BlockSize) { // one long text's: not kept
        *this = RowTexts();
        return;
    }
    blocks_.erase(blocks_.begin(), blocks_.end() - 1);
    next_ = blocks_.back().get();
    end_ = next_ + lastSize_;
}

} // namespace exchange
