// The Windows API subset the game calls, as the SDK's umbrella header.
#pragma once

#include "windef.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
