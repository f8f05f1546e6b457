// The thread's message queue as the rest of user32 sees it.
#pragma once

#include <windows.h>

namespace platform {

// Drops the messages still posted to a window that is being destroyed, so
// that none of them reaches a handle that no longer names a window.
void discard_window_messages(HWND hwnd);

}  // namespace platform
