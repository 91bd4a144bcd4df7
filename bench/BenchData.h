#pragma once

#include <cstdint>
#include <optional>
#include <string>

class TDataBase;

// Deterministic test databases for the benchmarks: mixed languages (some typed
// in other letter case), categories with umlauts, a few hundred projects,
// descriptions with umlauts and line breaks, and about 2 % entries that repeat
// an earlier one in other ASCII letter case, another time of day and another
// description (so a load skips them as duplicates). Text is Windows-1252.
namespace bench {

struct GeneratedFile {
    std::uint32_t records = 0;    // records in the file
    std::uint32_t duplicates = 0; // of those, repeats of an earlier record
    std::uint64_t bytes = 0;
};

// Writes `records` entries to `path` in the .mvd format; the same arguments
// always give the same bytes. Throws std::runtime_error when writing fails.
GeneratedFile WriteDatabaseFile(const std::string& path, std::uint32_t records,
                                std::uint64_t seed = 20240601);

// The options every database benchmark takes: --entries N and --repeat R.
struct SizeOptions {
    std::uint32_t entries = 1000000;
    int repeat = 3;
    [[nodiscard]] bool Full() const { return entries == 1000000; } // the targets hold for a million
};

// Reads the options; anything else prints the usage of `program` and gives nothing.
std::optional<SizeOptions> ParseSizeOptions(int argc, char** argv, const char* program,
                                            int defaultRepeat);

// Loads `path` into `db`; a load error throws std::runtime_error with its message.
void LoadOrThrow(TDataBase& db, const std::string& path);

} // namespace bench
