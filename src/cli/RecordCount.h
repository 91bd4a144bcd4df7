#pragma once

#include <cstdint>
#include <string>

// How many entry records of a database file are complete, counted from the
// front: the records a load reads before it stops at damage (or all N). The
// data core offers no such count, and `mvd check` needs it to tell how many
// records a load skipped as duplicates. Returns 0 for a file without a valid
// magic or with a count of 2^31 or more, as a load reads no record then.
std::uint64_t CountCompleteRecords(const std::string& path);
