#pragma once

// The file layer under Save: every write, flush to disk and rename goes
// through here, so that tests can make the k-th of them fail (fault sweep).

#include <cstddef>
#include <functional>
#include <string>

namespace fileio {

enum class Op { Write, Flush, Rename };

// Consulted before every operation; a non-zero result makes that operation
// fail with this errno value without touching the file. Tests only.
using FaultHook = std::function<int(Op)>;
void SetFaultHook(FaultHook hook);

// When off, Flush skips the fsync (the hook is still consulted): for the
// fuzzer and tests, where durability buys nothing and costs most of the time.
void SetDurable(bool durable);
[[nodiscard]] bool Durable();

// Each returns 0 on success or an errno value.
int WriteAll(int fd, const char* data, std::size_t size);
int Flush(int fd);
int Rename(const std::string& from, const std::string& to);

} // namespace fileio
