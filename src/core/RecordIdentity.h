#pragma once

#include "core/DataRecord.h"

#include <cstdint>
#include <string_view>

// The identity of an entry: field texts 1 to 5 with the ASCII capitals folded.
// Two entries are identical exactly when these agree; the helpers compute that
// without building the texts, for the database's duplicate index.
namespace identity {

// The calendar day of a date as the whole day number, or one value shared by
// every date that is no calendar day (their field text is empty).
std::int64_t DayKey(double date);

// The hash of a spelling's ASCII-folded bytes, kept with each spelling.
std::uint64_t FoldedHash(std::string_view text);

bool Equal(const TDataRecord& a, const TDataRecord& b);
std::uint64_t Hash(const TDataRecord& record);

} // namespace identity
