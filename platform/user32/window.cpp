// CreateWindowExA, ShowWindow, DestroyWindow, DefWindowProcA and the
// window's rectangles and update region.
#include "user32/window.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/host.h"
#include "user32/message_queue.h"
#include "user32/window_class.h"

namespace platform {
namespace {

// Window handles count up from here; a destroyed window's handle is never
// handed out again, so a stale handle cannot reach a newer window.
constexpr std::uintptr_t kFirstHandle = 0x00010010;
constexpr std::uintptr_t kHandleStep = 4;

// What WM_CREATE's lParam points at: laid out as Windows' CREATESTRUCTA.
struct CreateParameters {
  LPVOID create_params;
  HINSTANCE instance;
  HMENU menu;
  HWND parent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR name;
  LPCSTR class_name;
  DWORD ex_style;
};

struct WindowManager {
  std::vector<Window> windows;  // in creation order
  std::uintptr_t next_handle = kFirstHandle;
  unsigned show_count = 0;
};

WindowManager& manager() {
  static WindowManager s_manager;
  return s_manager;
}

}  // namespace

Window* find(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  auto& windows = manager().windows;
  const auto it =
      std::find_if(windows.begin(), windows.end(), [hwnd](const Window& w) { return w.handle == hwnd; });
  return it == windows.end() ? nullptr : &*it;
}

const std::vector<Window>& windows() { return manager().windows; }

namespace {

RECT bounding(const RECT& a, const RECT& b) {
  if (is_empty(a)) return b;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

}  // namespace

bool is_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT intersection(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

namespace {

void invalidate(Window& window, const RECT* area) {
  const RECT dirty = area == nullptr ? window.client : intersection(*area, window.client);
  if (is_empty(dirty)) return;
  window.update = bounding(window.update, dirty);
}

}  // namespace

WNDPROC window_procedure(HWND hwnd) {
  const Window* window = find(hwnd);
  return window == nullptr ? nullptr : window->procedure;
}

HWND window_needing_paint(HWND filter) {
  for (const Window& window : manager().windows) {
    if (filter != nullptr && window.handle != filter) continue;
    if (window.visible && !is_empty(window.update)) return window.handle;
  }
  return nullptr;
}

bool validate_window(HWND hwnd, RECT* update) {
  Window* window = find(hwnd);
  if (window == nullptr) return false;
  if (update != nullptr) *update = is_empty(window->update) ? RECT{} : window->update;
  window->update = RECT{};
  return true;
}

}  // namespace platform

using platform::find;
using platform::Window;

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  const platform::WindowClass* window_class = platform::find_window_class(lpClassName);
  if (window_class == nullptr) return nullptr;
  if (hWndParent != nullptr && find(hWndParent) == nullptr) return nullptr;

  auto& manager = platform::manager();
  Window window;
  window.handle = reinterpret_cast<HWND>(manager.next_handle);
  manager.next_handle += platform::kHandleStep;
  window.owner = hWndParent;
  window.procedure = window_class->procedure;
  window.title = lpWindowName == nullptr ? "" : lpWindowName;
  // No frame is drawn around our windows, so the whole window is client area.
  SetRect(&window.client, 0, 0, std::max(nWidth, 0), std::max(nHeight, 0));
  window.update = window.client;
  manager.windows.push_back(window);
  const HWND hwnd = window.handle;

  platform::CreateParameters create{
      lpParam,      hInstance,   hMenu,    hWndParent, nHeight, nWidth, Y, X, static_cast<LONG>(dwStyle),
      lpWindowName, lpClassName, dwExStyle};
  const LRESULT created = window.procedure(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
  if (created == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (find(hwnd) == nullptr) return nullptr;
  if ((dwStyle & WS_VISIBLE) != 0) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Window* window = find(hWnd);
  if (window == nullptr) return FALSE;
  const BOOL was_visible = window->visible ? TRUE : FALSE;
  if (nCmdShow == SW_HIDE) {
    if (window->visible) {
      window->visible = false;
      platform::host().destroy_window(hWnd);
    }
    return was_visible;
  }
  window->shown_serial = ++platform::manager().show_count;
  if (!window->visible) {
    window->visible = true;
    // What a hidden window drew is not on the screen: all of it needs paint.
    platform::invalidate(*window, nullptr);
    const RECT client = window->client;
    platform::host().show_window(hWnd, client.right - client.left, client.bottom - client.top);
  }
  return was_visible;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  Window* window = find(hWnd);
  if (window == nullptr) return FALSE;
  if (window->destroying) return TRUE;
  window->destroying = true;

  // Owned windows go first, as on Windows.
  for (;;) {
    const auto& windows = platform::manager().windows;
    const auto owned = std::find_if(windows.begin(), windows.end(),
                                    [hWnd](const Window& w) { return w.owner == hWnd && !w.destroying; });
    if (owned == windows.end()) break;
    DestroyWindow(owned->handle);
  }

  window = find(hWnd);
  if (window->visible) {
    window->visible = false;
    platform::host().destroy_window(hWnd);
  }
  SendMessageA(hWnd, WM_DESTROY, 0, 0);

  auto& windows = platform::manager().windows;
  windows.erase(
      std::remove_if(windows.begin(), windows.end(), [hWnd](const Window& w) { return w.handle == hWnd; }),
      windows.end());
  platform::discard_window_messages(hWnd);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return find(hWnd) != nullptr ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  const Window* window = find(hWnd);
  return window != nullptr && window->visible ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  const Window* window = find(hWnd);
  if (window == nullptr || lpRect == nullptr) return FALSE;
  *lpRect = window->client;
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL) {
  if (hWnd == nullptr) {
    for (Window& window : platform::manager().windows) platform::invalidate(window, lpRect);
    return TRUE;
  }
  Window* window = find(hWnd);
  if (window == nullptr) return FALSE;
  platform::invalidate(*window, lpRect);
  return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
  switch (Msg) {
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_PAINT:
      // A window that does not paint is still made valid, or WM_PAINT would
      // come back forever and starve the idle loop.
      platform::validate_window(hWnd, nullptr);
      return 0;
    default:
      return 0;
  }
}
