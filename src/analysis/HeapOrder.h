#pragma once

#include <span>
#include <vector>

class TDataRecord;

namespace analysis {

// A list sorted by some column jumps across the heap at every entry, and a
// full count then waits for memory at each one. Visited region by region of
// memory (64 KiB each, in one counting pass), the loads stay near each other.
// Returns the entries in that order, or nothing when they are in heap order
// nearly already (as entries listed in the order they were read are).
std::vector<const TDataRecord*> InHeapOrder(std::span<const TDataRecord* const> entries);

} // namespace analysis
