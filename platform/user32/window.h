// user32's window records as the queue, painting and DefWindowProcA see them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace platform {

struct Window {
  HWND handle = nullptr;
  HWND owner = nullptr;
  WNDPROC procedure = nullptr;
  std::string title;
  RECT client{};
  RECT update{};  // bounding rectangle of the update region; empty when valid
  bool visible = false;
  bool destroying = false;
  unsigned shown_serial = 0;  // when it was last shown; 0 never
};

// The live window with that handle; null for a handle that is not a window.
Window* find(HWND hwnd);
// Every live window, in creation order.
const std::vector<Window>& windows();
bool is_empty(const RECT& r);
RECT intersection(const RECT& a, const RECT& b);

// The procedure of a live window; null for a handle that is not a window.
WNDPROC window_procedure(HWND hwnd);
// The first window, in creation order, that is visible, has a non-empty
// update region and passes the filter (NULL: any window); NULL when none.
HWND window_needing_paint(HWND filter);
// Empties the window's update region and returns what it held (empty when
// the window was valid); false for a handle that is not a window.
bool validate_window(HWND hwnd, RECT* update);

}  // namespace platform
