// DirectDraw objects that fail on request: programs that link the testing
// library get theirs from DirectDrawCreateEx in place of the platform's own
// (by the maker direct_draw.h lets a program bring), identical but for the
// failures armed through testing.h, and counted while they live.
#pragma once

#include <ddraw.h>

namespace platform::testing {

// The steps of a display's set-up that can be made to fail.
enum class Call {
  DirectDrawCreateEx,
  SetCooperativeLevel,
  SetDisplayMode,
  CreatePrimarySurface,
  CreateOffscreenSurface,
  GetAttachedSurface,
  Lock,
  Count,
};

// Disarms every failure, zeroes the counts and forgets the objects alive
// (a finished test may have left some to whoever still holds them).
void clear_failures();

}  // namespace platform::testing
