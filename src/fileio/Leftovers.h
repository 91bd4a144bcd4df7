#pragma once

#include <string>

namespace fileio {

// The name pattern of the temporary files that a replace of `target` writes
// beside it: ".~<name>.XXXXXX" (the name cut to 200 bytes).
[[nodiscard]] std::string TempTemplate(const std::string& target);

// Removes the temporary files of `target` (links followed) that no live
// process holds, i.e. the leftovers of saves that were killed while they
// wrote. A save holds an exclusive flock on its temporary file until the file
// is renamed, so a file that can be locked belongs to nobody. Never fails:
// what cannot be removed stays.
void RemoveLeftovers(const std::string& target) noexcept;

} // namespace fileio
