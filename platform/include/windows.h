// The Windows API subset the game calls, as the SDK's umbrella header.
#pragma once

// The types come first: every other header declares with them.
// clang-format off
#include "windef.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
// clang-format on
