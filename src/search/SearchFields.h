#pragma once

#include "core/DataRecord.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The only place where the quick search reads the fields of a TDataRecord.
namespace search {

// The fields of an entry, viewed without copying (valid while the entry lives
// and is not changed). Texts are Windows-1252 bytes.
struct SearchedFields {
    std::string_view language;
    std::string_view category;
    std::string_view project;
    std::string_view description;
    double date = 0.0;
    std::uint32_t minutes = 0;
};

SearchedFields FieldsOf(const TDataRecord& entry);

// Asks the processor to fetch what FieldsOf will read: the entry itself
// (first step), then the texts it points to (second step, once the entry
// has arrived). A scan over many entries calls both some entries ahead.
void PrefetchEntry(const TDataRecord* entry);
void PrefetchTexts(const TDataRecord* entry);

// The date as the list shows it ("dd.mm.yyyy"), written to `out`; returns its
// length, 0 when the date is no calendar day.
std::size_t DateText(double date, char (&out)[10]);

} // namespace search
