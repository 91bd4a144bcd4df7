#include "versions/StepFaults.h"

#include <utility>

namespace versions {
namespace {

StepFault& Fault() {
    static StepFault fault;
    return fault;
}

} // namespace

void SetStepFault(StepFault fault) {
    Fault() = std::move(fault);
}

int InjectedFault(Step step) {
    const StepFault& fault = Fault();
    return fault ? fault(step) : 0;
}

} // namespace versions
