// The input seam: a host posts keys and closes to the window that has the
// keyboard.
#include "user32/input.h"

#include "user32/key_state.h"
#include "user32/window.h"

namespace platform {

HWND input_window() {
  const Window* chosen = nullptr;
  for (const Window& window : windows()) {
    if (window.visible && (chosen == nullptr || window.shown_serial > chosen->shown_serial)) chosen = &window;
  }
  if (chosen != nullptr) return chosen->handle;
  return windows().empty() ? nullptr : windows().back().handle;
}

std::string window_title(HWND hwnd) {
  const Window* window = find(hwnd);
  return window == nullptr ? std::string() : window->title;
}

void post_key(int virtual_key, bool down, bool repeat) {
  const HWND target = input_window();
  if (target == nullptr || virtual_key <= 0 || virtual_key >= 0xFF) return;
  const DWORD previous_state = (!down || repeat) ? 1u : 0u;
  const DWORD transition = down ? 0u : 1u;
  const DWORD bits = 1u | (scan_code(virtual_key) << 16) | (previous_state << 30) | (transition << 31);
  PostMessageA(target, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtual_key),
               static_cast<LPARAM>(bits));
}

void post_close() {
  const HWND target = input_window();
  if (target != nullptr) PostMessageA(target, WM_CLOSE, 0, 0);
}

void invalidate_window(HWND hwnd) {
  if (hwnd != nullptr) InvalidateRect(hwnd, nullptr, FALSE);
}

}  // namespace platform
