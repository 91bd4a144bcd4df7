#pragma once

#include "core/ValueList.h"

#include <cstdint>
#include <string>

// One exact spelling of a listed value, kept once by its value list for every
// entry that uses it, with the hash of its ASCII-folded letters so that the
// duplicate check hashes each distinct spelling once, not once per entry.
struct TSpelling {
    std::string text;
    TValueList::Node* node = nullptr; // the listed value it belongs to
    std::uint64_t foldedHash = 0;
};
