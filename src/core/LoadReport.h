#pragma once

#include <cstdint>
#include <string>

// What one load of a database file did: the entries it added, the entries it
// read but skipped because the database already held an identical one, and
// the message of the failure that ended it (empty when the file was read to
// its end). An entry that the load was reading when it failed counts nowhere.
struct LoadReport {
    std::uint64_t Added = 0;
    std::uint64_t Duplicates = 0;
    std::string Error;
};
