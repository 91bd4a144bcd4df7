#pragma once

#include "core/DataRecord.h"

#include <cstddef>

// What the quick search needs beside an entry's fields (TDataRecord::View):
// fetching them ahead, and the date as the list shows it.
namespace search {

// Asks the processor to fetch what TDataRecord::View will read: the entry itself
// (first step), then the texts it points to (second step, once the entry
// has arrived). A scan over many entries calls both some entries ahead.
void PrefetchEntry(const TDataRecord* entry);
void PrefetchTexts(const TDataRecord* entry);

// The date as the list shows it ("dd.mm.yyyy"), written to `out`; returns its
// length, 0 when the date is no calendar day.
std::size_t DateText(double date, char (&out)[10]);

} // namespace search
