#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The main window's placement, list columns and sort state as the 52-byte
// record kept in the settings value "configuration". All integers are
// little-endian; the fill bytes at 26..27 and 49..51 are written as zero and
// ignored when read.
//
//   0 Top, 4 Left, 8 ClientWidth, 12 ClientHeight, 16 DetailWidth (int32)
//  20 SortColumn (uint8), 21 ColumnOrder[5] (uint8), 26 fill[2]
//  28 ColumnWidths[5] (int32), 48 SortDescending (0/1), 49 fill[3]
//
// Column codes are the list's column kinds: 0 empty slot (as sort column: by
// entry ID), 1 language, 2 category, 3 project, 4 date, 5 minutes.
struct WindowConfiguration {
    static constexpr std::size_t Size = 52;
    static constexpr std::size_t Slots = 5;
    static constexpr std::uint8_t MaxColumnCode = 5;
    using Bytes = std::array<std::uint8_t, Size>;

    std::int32_t Top = 0;
    std::int32_t Left = 0;
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;
    std::int32_t DetailWidth = 0;
    std::uint8_t SortColumn = 0;
    std::array<std::uint8_t, Slots> ColumnOrder{};
    std::array<std::int32_t, Slots> ColumnWidths{};
    bool SortDescending = false;

    // The main window's first-start layout, its only definition: top 143,
    // left 259, client area 639 x 420, detail panel 283, sorted by entry ID
    // with the largest first, columns language 70, category 156, date 70.
    static WindowConfiguration FirstStart();

    Bytes Encode() const;
    // Codes above 5 (in a slot or as sort column) read as 0, the empty slot /
    // sort by ID; any non-zero SortDescending byte reads as true. Widths are
    // taken as stored.
    static WindowConfiguration Decode(const Bytes& bytes);

    // Number of occupied slots before the first empty one: the columns shown.
    std::size_t ShownColumnCount() const;

    bool operator==(const WindowConfiguration&) const = default;
};
