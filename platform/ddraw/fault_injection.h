// Failures that tests can inject into the DirectDraw steps of the game's
// set-up. In a normal run nothing is armed and every step proceeds.
#pragma once

#include <ddraw.h>

namespace platform {

enum class DDrawCall {
  DirectDrawCreateEx,
  SetCooperativeLevel,
  SetDisplayMode,
  CreatePrimarySurface,
  CreateOffscreenSurface,
  GetAttachedSurface,
  Lock,
  Count,
};

// Counts one call of the step and returns the failure armed for this call,
// or DD_OK.
HRESULT take_fault(DDrawCall call);
void arm_fault(DDrawCall call, int nth, HRESULT result);
int fault_call_count(DDrawCall call);
void clear_faults();

}  // namespace platform
