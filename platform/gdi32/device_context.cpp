// Device contexts on surfaces, their background mode and colours, and the
// stock objects.
#include "gdi32/device_context.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace platform {

namespace {

// Above the paint contexts of windows (window handle | 0x01000000), so no
// handle of one kind is ever taken for the other.
constexpr std::uintptr_t kFirstHandle = 0x02010010;
constexpr std::uintptr_t kHandleStep = 0x10;

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kBlack = 0x00000000;

struct DeviceContext {
  PixelView target;
  int bk_mode = OPAQUE;
  COLORREF bk_color = kWhite;
  COLORREF text_color = kBlack;
  // Bounds of the pixels drawn so far; empty while none were.
  RECT drawn{0, 0, 0, 0};
};

struct Contexts {
  std::unordered_map<HDC, DeviceContext> live;
  // Never rewound: a stale handle stays unknown.
  std::uintptr_t next_handle = kFirstHandle;
};

Contexts& contexts() {
  static Contexts s_contexts;
  return s_contexts;
}

DeviceContext* find(HDC hdc) {
  if (hdc == nullptr) return nullptr;
  const auto it = contexts().live.find(hdc);
  return it == contexts().live.end() ? nullptr : &it->second;
}

}  // namespace

HDC create_surface_dc(const PixelView& target) {
  Contexts& all = contexts();
  const HDC hdc = reinterpret_cast<HDC>(all.next_handle);
  all.next_handle += kHandleStep;
  all.live[hdc] = DeviceContext{.target = target};
  return hdc;
}

bool release_surface_dc(HDC hdc, RECT* drawn) {
  const DeviceContext* dc = find(hdc);
  if (dc == nullptr) return false;
  if (drawn != nullptr) *drawn = dc->drawn;
  contexts().live.erase(hdc);
  return true;
}

void note_surface_dc_drawing(HDC hdc, long long left, long long top, long long right, long long bottom) {
  DeviceContext* dc = find(hdc);
  if (dc == nullptr) return;
  left = std::max(left, 0LL);
  top = std::max(top, 0LL);
  right = std::min(right, static_cast<long long>(dc->target.width));
  bottom = std::min(bottom, static_cast<long long>(dc->target.height));
  if (left >= right || top >= bottom) return;
  RECT& drawn = dc->drawn;
  if (drawn.left >= drawn.right) {
    drawn = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                 static_cast<LONG>(bottom)};
    return;
  }
  drawn.left = std::min(drawn.left, static_cast<LONG>(left));
  drawn.top = std::min(drawn.top, static_cast<LONG>(top));
  drawn.right = std::max(drawn.right, static_cast<LONG>(right));
  drawn.bottom = std::max(drawn.bottom, static_cast<LONG>(bottom));
}

bool surface_dc_text_state(HDC hdc, PixelView& target, int& bk_mode, COLORREF& bk_color,
                           COLORREF& text_color) {
  const DeviceContext* dc = find(hdc);
  if (dc == nullptr) return false;
  target = dc->target;
  bk_mode = dc->bk_mode;
  bk_color = dc->bk_color;
  text_color = dc->text_color;
  return true;
}

}  // namespace platform

int WINAPI SetBkMode(HDC hdc, int mode) {
  platform::DeviceContext* dc = platform::find(hdc);
  if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  const int previous = dc->bk_mode;
  dc->bk_mode = mode;
  return previous;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  platform::DeviceContext* dc = platform::find(hdc);
  if (dc == nullptr) return CLR_INVALID;
  const COLORREF previous = dc->text_color;
  dc->text_color = color;
  return previous;
}

HGDIOBJ WINAPI GetStockObject(int i) {
  // The brushes WHITE_BRUSH..NULL_BRUSH and SYSTEM_FONT; only their
  // identity matters to the game, so each is one distinct byte.
  static char s_stock[SYSTEM_FONT + 1];
  const bool known = (i >= WHITE_BRUSH && i <= NULL_BRUSH) || i == SYSTEM_FONT;
  return known ? static_cast<HGDIOBJ>(&s_stock[i]) : nullptr;
}
