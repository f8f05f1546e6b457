// user32's window records as the queue, painting and DefWindowProcA see them.
#pragma once

#include <windows.h>

namespace platform {

// The procedure of a live window; null for a handle that is not a window.
WNDPROC window_procedure(HWND hwnd);
// The first window, in creation order, that is visible, has a non-empty
// update region and passes the filter (NULL: any window); NULL when none.
HWND window_needing_paint(HWND filter);
// Empties the window's update region and returns what it held (empty when
// the window was valid); false for a handle that is not a window.
bool validate_window(HWND hwnd, RECT* update);
void reset_windows();

}  // namespace platform
