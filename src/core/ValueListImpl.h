#pragma once

// Inside of TValueList, shared with the database so that it can keep use
// counts and read flags through stable node pointers.

#include "core/Spelling.h"
#include "core/ValueList.h"

#include <cstdint>
#include <string>
#include <vector>

struct TValueList::Node {
    std::string value; // the spelling first inserted
    std::string key;   // collation sort key: equal keys are the same value
    TFilter filter;
    std::uint32_t uses = 0;
    std::vector<TSpelling*> spellings; // exact spellings kept for this node
};
