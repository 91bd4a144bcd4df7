#pragma once

#include "core/DataBase.h"

#include <vector>

// The entries of a database in database order, as the exchange writers take them.
inline std::vector<const TDataRecord*> AllEntries(const TDataBase& db) {
    std::vector<const TDataRecord*> entries;
    entries.reserve(static_cast<std::size_t>(db.Count()));
    for (int i = 0; i < db.Count(); ++i)
        entries.push_back(db.GetRecord(i));
    return entries;
}
