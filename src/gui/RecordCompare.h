#pragma once

#include "core/DataRecord.h"

#include <cstdint>
#include <string>
#include <string_view>

// The list's sort rule. Text keys fold A-Z to a-z and then ä, ö, ü (0xE4, 0xF6,
// 0xFC in Windows-1252) to a, o, u; Ä, Ö, Ü and ß stay as they are. Keys compare
// byte by byte as unsigned values, a prefix sorting first.
namespace RecordCompare {

// One byte of a text key.
constexpr unsigned char FoldByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c - 'A' + 'a');
    if (c == 0xE4)
        return 'a';
    if (c == 0xF6)
        return 'o';
    if (c == 0xFC)
        return 'u';
    return c;
}

std::string TextKey(std::string_view text);

// Compares the text keys of two texts without building them: <0, 0, >0.
int CompareTextKeys(std::string_view a, std::string_view b);

// The list's compare callback: a negative result puts e1 before e2. With
// `descending` the larger key comes first. ckNone compares IDs. There is no
// second key; equal keys give 0.
int CompareEntries(const TDataRecord& e1, const TDataRecord& e2, TColumnKind sortColumn,
                   bool descending);

// A 64-bit key whose unsigned order agrees with the order of the sort key: equal
// 64-bit keys mean equal sort keys, except for text columns, where only the
// first eight key bytes are packed and equal packed keys need CompareTextKeys.
std::uint64_t PackedKey(const TDataRecord& e, TColumnKind sortColumn);

} // namespace RecordCompare
