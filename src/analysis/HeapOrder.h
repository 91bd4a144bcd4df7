#pragma once

#include <span>
#include <vector>

class TDataRecord;

namespace analysis {

// A list sorted by some column jumps across the heap at every entry, and a
// full count then waits for memory at each one. Visited page by page, the
// loads stay near each other. Returns the entries in the order of the memory
// pages they start in, or nothing when they are in that order nearly
// already (as entries listed in the order they were read are).
std::vector<const TDataRecord*> InHeapOrder(std::span<const TDataRecord* const> entries);

} // namespace analysis
