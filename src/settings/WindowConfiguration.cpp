#include "settings/WindowConfiguration.h"

namespace {

void PutInt32(WindowConfiguration::Bytes& bytes, std::size_t offset, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xffu);
}

std::int32_t GetInt32(const WindowConfiguration::Bytes& bytes, std::size_t offset) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

std::uint8_t KnownCode(std::uint8_t code) {
    return code <= WindowConfiguration::MaxColumnCode ? code : 0;
}

constexpr std::size_t TopOffset = 0;
constexpr std::size_t LeftOffset = 4;
constexpr std::size_t ClientWidthOffset = 8;
constexpr std::size_t ClientHeightOffset = 12;
constexpr std::size_t DetailWidthOffset = 16;
constexpr std::size_t SortColumnOffset = 20;
constexpr std::size_t ColumnOrderOffset = 21;
constexpr std::size_t ColumnWidthsOffset = 28;
constexpr std::size_t SortDescendingOffset = 48;

} // namespace

WindowConfiguration WindowConfiguration::FirstStart() {
    WindowConfiguration c;
    c.Top = 143;
    c.Left = 259;
    c.ClientWidth = 639;
    c.ClientHeight = 420;
    c.DetailWidth = 283;
    c.SortColumn = 0;
    c.ColumnOrder = {1, 2, 4, 0, 0};
    c.ColumnWidths = {70, 156, 70, 0, 0};
    c.SortDescending = true;
    return c;
}

WindowConfiguration::Bytes WindowConfiguration::Encode() const {
    Bytes bytes{};
    PutInt32(bytes, TopOffset, Top);
    PutInt32(bytes, LeftOffset, Left);
    PutInt32(bytes, ClientWidthOffset, ClientWidth);
    PutInt32(bytes, ClientHeightOffset, ClientHeight);
    PutInt32(bytes, DetailWidthOffset, DetailWidth);
    bytes[SortColumnOffset] = SortColumn;
    for (std::size_t slot = 0; slot < Slots; ++slot) {
        bytes[ColumnOrderOffset + slot] = ColumnOrder[slot];
        PutInt32(bytes, ColumnWidthsOffset + 4 * slot, ColumnWidths[slot]);
    }
    bytes[SortDescendingOffset] = SortDescending ? 1 : 0;
    return bytes;
}

WindowConfiguration WindowConfiguration::Decode(const Bytes& bytes) {
    WindowConfiguration c;
    c.Top = GetInt32(bytes, TopOffset);
    c.Left = GetInt32(bytes, LeftOffset);
    c.ClientWidth = GetInt32(bytes, ClientWidthOffset);
    c.ClientHeight = GetInt32(bytes, ClientHeightOffset);
    c.DetailWidth = GetInt32(bytes, DetailWidthOffset);
    c.SortColumn = KnownCode(bytes[SortColumnOffset]);
    for (std::size_t slot = 0; slot < Slots; ++slot) {
        c.ColumnOrder[slot] = KnownCode(bytes[ColumnOrderOffset + slot]);
        c.ColumnWidths[slot] = GetInt32(bytes, ColumnWidthsOffset + 4 * slot);
    }
    c.SortDescending = bytes[SortDescendingOffset] != 0;
    return c;
}

std::size_t WindowConfiguration::ShownColumnCount() const {
    std::size_t count = 0;
    while (count < Slots && ColumnOrder[count] != 0)
        ++count;
    return count;
}
