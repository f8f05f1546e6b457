// The performance counter: the host's clock (monotonic, or the headless
// host's virtual clock in tests).
#include <windows.h>

#include "host/host.h"

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (lpFrequency == nullptr) return FALSE;
  lpFrequency->QuadPart = platform::host().counter_frequency();
  return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (lpPerformanceCount == nullptr) return FALSE;
  lpPerformanceCount->QuadPart = platform::host().counter_now();
  return TRUE;
}
