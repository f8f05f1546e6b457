// user32's side of input that does not come from the game: a host posts its
// machine's keys and closes through here, and learns what it needs of the
// windows.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// The window that has the keyboard: the last shown window, else the last
// created one; NULL when none exists.
HWND input_window();
// Posts WM_KEYDOWN (repeat: previous-state bit set) or WM_KEYUP to the input
// window with Windows' lParam bits (repeat count 1, scan code, bits 30/31).
void post_key(int virtual_key, bool down, bool repeat = false);
// Posts WM_CLOSE to the input window.
void post_close();
// Marks the window invalid so that PeekMessageA produces WM_PAINT for it.
void invalidate_window(HWND hwnd);
// The window's title as CreateWindowExA got it (CP949 bytes); empty for a
// handle that is not a window.
std::string window_title(HWND hwnd);

}  // namespace platform
