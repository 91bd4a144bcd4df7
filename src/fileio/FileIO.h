#pragma once

// The seams of the file layer: every creation of a temporary file, write,
// flush to disk and rename of a replace goes through here, so that tests can make the k-th of them
// fail (fault sweep), and the fuzzer can put files in memory in place of the disk.

#include <cstddef>
#include <functional>
#include <map>
#include <string>

namespace fileio {

enum class Op { Create, Write, Flush, Rename };

// Consulted before every operation; a non-zero result makes that operation
// fail with this errno value without touching the file. Tests only.
using FaultHook = std::function<int(Op)>;
void SetFaultHook(FaultHook hook);

// When off, Flush skips the fsync (the hook is still consulted): for the
// fuzzer and tests, where durability buys nothing and costs most of the time.
void SetDurable(bool durable);
[[nodiscard]] bool Durable();

// Files by name, held in memory. While a table is set, InputFile reads and
// ReplaceFile writes its entries through the same code as on disk, but no
// file is opened, flushed or renamed (for the fuzzer). nullptr: the disk again.
using MemoryFiles = std::map<std::string, std::string, std::less<>>;
void UseMemoryFiles(MemoryFiles* files);
[[nodiscard]] MemoryFiles* ActiveMemoryFiles();

// Each returns 0 on success or an errno value.
// Creates and opens the file of a mkostemp template (its X's are replaced),
// where the system can already locked (flock) when its name appears.
int CreateTemp(std::string& pathTemplate, int& fd);
int WriteAll(int fd, const char* data, std::size_t size);
int Flush(int fd);
int Rename(const std::string& from, const std::string& to);
// Reads the whole open file from its start into `content` (no seam: reading
// changes nothing).
int ReadWhole(int fd, std::string& content);

} // namespace fileio
