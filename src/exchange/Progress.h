#pragma once

#include <cstdint>
#include <functional>

// How a long export or import tells how far it is, and how it is cancelled.
namespace exchange {

// Called with `done` of `total` steps while the work runs: now and then (at
// least every 16,384 entries or 1 MiB of a read file, and ten times a second
// while a workbook is packed) and a last time with done == total. The unit
// of the steps is the work's own; only their ratio means anything. `total`
// is at least 1 and the same in every call. The calls come one at a time
// from the thread that started the work.
//
// Returning false cancels: an export then leaves no file (a file of that
// name stays as it was) and a read gives no rows.
using Progress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

} // namespace exchange
