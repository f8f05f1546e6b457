// Controls of the headless host for tests: the virtual clock, key and window
// message injection, DirectDraw fault injection and read-back of the screen
// and of the message boxes shown. Linked into tests only.
#pragma once

#include <ddraw.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ddraw/fault_injection.h"
#include "host/headless_host.h"

namespace platform::testing {

// Installs a fresh headless host with a virtual clock at 0 and clears every
// DLL's state. Call before each test's world is built.
void reset();

// --- Virtual performance counter (frequency kCounterFrequency) ---
inline constexpr std::int64_t kCounterFrequency = 10'000'000;
void set_counter(std::int64_t value);
void advance_counter(std::int64_t ticks);
std::int64_t counter();
// After each QueryPerformanceCounter read the clock moves on by this many
// ticks (0 by default), so a polling loop sees time pass.
void set_counter_step(std::int64_t ticks);
// Rests of a polling thread (none by default) move the virtual clock as far
// as the host would have slept on the real one.
void set_rests_move_clock(bool move);
int rest_count();
// Ticks the rests moved the clock.
std::int64_t rested_ticks();

// --- Input: posted to the window the host shows (else the last created) ---
void press_key(int virtual_key);
void release_key(int virtual_key);
void post_close();
// Sets the key state that GetKeyState reports directly, without messages.
void set_key_down(int virtual_key, bool down);

// --- Windows ---
void set_client_rect(HWND hwnd, const RECT& rect);
bool window_shown(HWND hwnd);

// --- DirectDraw fault injection ---
using Call = DDrawCall;
// The nth call (1-based, counted from now) of that step fails with `result`
// and does nothing else.
void fail_call(Call call, int nth, HRESULT result);
// How many times the step was called since reset.
int call_count(Call call);

// --- Screen read-back ---
struct Screen {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, 16-bit screens widened
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
int flip_count();
// What the last Flip put on the screen; empty before the first.
Screen screen();
// Called inside each present with the 1-based flip number; may inject input.
void on_flip(std::function<void(int flip)> callback);

// --- Message boxes, text and caption decoded to UTF-8 ---
using MessageBoxRecord = HeadlessHost::MessageBoxRecord;
// The most recent boxes (at most the last 64), oldest first.
const std::vector<MessageBoxRecord>& message_boxes();
void clear_message_boxes();

// --- The ANSI code page ---
// The next attempt to open the CP949 converter fails, as it may when memory
// runs short; a converter already open is closed first.
void fail_next_code_page_open();

// --- Surfaces ---
// Where a surface's pixels are read as they are, without making the copies
// it leaves for later (as a Lock or a blit from it would); valid until the
// next DirectDraw call. 32-bit pixels whole, 16-bit ones in the low half.
struct SurfaceView {
  const std::uint8_t* first = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
  int bits_per_pixel = 32;
  std::uint32_t at(int x, int y) const {
    const std::uint8_t* pixel = first + static_cast<std::ptrdiff_t>(y) * pitch + x * (bits_per_pixel / 8);
    if (bits_per_pixel == 32) {
      std::uint32_t value;
      std::memcpy(&value, pixel, 4);
      return value;
    }
    std::uint16_t value;
    std::memcpy(&value, pixel, 2);
    return value;
  }
};
SurfaceView surface_view(IDirectDrawSurface7* surface);

// The description of an off-screen plain surface of this size and depth
// (32: 0x00RRGGBB, 16: 5-6-5) with these capabilities.
DDSURFACEDESC2 plain_surface_description(int width, int height, int bits, DWORD caps);

// Live DirectDraw objects and surfaces.
int live_objects();

}  // namespace platform::testing
