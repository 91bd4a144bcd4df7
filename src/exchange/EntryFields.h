#pragma once

#include "core/DataRecord.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The only place where the exchange formats read or build the fields of a
// TDataRecord; writers and readers work on these two shapes.
namespace exchange {

// The fields of a stored entry, viewed without copying (valid while the entry
// lives and is not changed). Texts are Windows-1252 bytes.
struct EntryView {
    std::uint32_t id = 0;
    std::string_view language;
    std::string_view category;
    std::string_view project;
    std::string_view description;
    double date = 0.0; // days since 30 Dec 1899
    std::uint32_t minutes = 0;
};

EntryView ViewOf(const TDataRecord& record);

// The fields of an entry that is still to be added. Texts are Windows-1252.
struct EntryData {
    std::string language;
    std::string category;
    std::string project;
    std::string description;
    double date = 0.0;
    std::uint32_t minutes = 0;
};

TRecordData MakeRecord(EntryData&& data);

} // namespace exchange
