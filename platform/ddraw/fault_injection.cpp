#include "ddraw/fault_injection.h"

#include <array>
#include <vector>

namespace platform {
namespace {

struct ArmedFault {
  int at_call;
  HRESULT result;
};

struct StepFaults {
  int calls = 0;
  std::vector<ArmedFault> armed;
};

std::array<StepFaults, static_cast<std::size_t>(DDrawCall::Count)>& steps() {
  static std::array<StepFaults, static_cast<std::size_t>(DDrawCall::Count)> s_steps;
  return s_steps;
}

StepFaults& step(DDrawCall call) { return steps()[static_cast<std::size_t>(call)]; }

}  // namespace

HRESULT take_fault(DDrawCall call) {
  StepFaults& faults = step(call);
  ++faults.calls;
  for (const ArmedFault& fault : faults.armed) {
    if (fault.at_call == faults.calls) return fault.result;
  }
  return DD_OK;
}

void arm_fault(DDrawCall call, int nth, HRESULT result) {
  StepFaults& faults = step(call);
  faults.armed.push_back({faults.calls + nth, result});
}

int fault_call_count(DDrawCall call) { return step(call).calls; }

void clear_faults() { steps() = {}; }

}  // namespace platform
