#pragma once

#include "fileio/FileStamp.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fileio {

// A file read at places rather than front to back (the rows of a report,
// read again when they are shown): opened once, each read from an offset of
// its own. A file in memory (UseMemoryFiles) is read from there.
class PlacedReader {
public:
    // Opens an existing file for reading; throws std::runtime_error with the
    // German message of the file layer.
    explicit PlacedReader(const std::string& name);
    ~PlacedReader();
    PlacedReader(const PlacedReader&) = delete;
    PlacedReader& operator=(const PlacedReader&) = delete;

    // The stamp of the open file (empty for a file in memory).
    [[nodiscard]] FileStamp Stamp() const;
    // Up to `size` bytes from `offset` into `data`, their count: fewer only
    // at the end of the file. Throws as the constructor does.
    std::size_t ReadAt(std::uint64_t offset, char* data, std::size_t size);

private:
    int fd_ = -1;
    const std::string* memory_ = nullptr; // the content of a file in memory
};

} // namespace fileio
