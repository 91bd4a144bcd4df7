#pragma once

#include <functional>

// The seam of the versions room: every step that writes into a versions
// folder asks here first, so that tests can make the k-th of them fail (the
// same sweep as the save's own fault seam, fileio::SetFaultHook, which these
// steps do not go through: a failure here must never touch the save).
namespace versions {

enum class Step { Folder, Link, Clone, Create, Write, IndexFile };

// Consulted before every step; a non-zero result makes that step fail with
// this errno value. Tests only.
using StepFault = std::function<int(Step)>;
void SetStepFault(StepFault fault);

// 0, or the errno value the seam asks for.
[[nodiscard]] int InjectedFault(Step step);

} // namespace versions
