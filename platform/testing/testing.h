// What tests, benchmarks and fuzzers reach the platform through beyond the
// Windows API: a host of their own with a counter that moves only when told,
// key and window messages posted as a host posts them, DirectDraw objects
// that fail on request, and read-back of the screen, of surfaces and of the
// message boxes shown. None of it is in the game: programs that link the
// testing library get it.
//
// user32's windows, queue and key state are the process's, as on Windows:
// each test case runs in a process of its own (CTest runs them so).
#pragma once

#include <ddraw.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ddraw/pixels.h"
#include "testing/failing_direct_draw.h"
#include "testing/test_host.h"

namespace platform::testing {

// Installs a fresh host with its counter at 0, disarms every DirectDraw
// failure and forgets the objects alive. Call before each world is built.
void reset();

// --- The counter (frequency kCounterFrequency) ---
inline constexpr std::int64_t kCounterFrequency = 10'000'000;
void set_counter(std::int64_t value);
void advance_counter(std::int64_t ticks);
std::int64_t counter();
// After each QueryPerformanceCounter read the clock moves on by this many
// ticks (0 by default), so a polling loop sees time pass.
void set_counter_step(std::int64_t ticks);
// Rests of a polling thread (none by default) move the clock as far as the
// headless host would have slept on the real one.
void set_rests_move_clock(bool move);
int rest_count();
// Ticks the rests moved the clock.
std::int64_t rested_ticks();

// --- Input: posted to the window the host shows (else the last created) ---
void press_key(int virtual_key);
void release_key(int virtual_key);
// A key pressed when the counter reaches `ticks`, as input comes from
// outside: a rest that would pass that moment ends there, as a thread
// waiting for input wakes, and the next look at the queue finds the key.
void press_key_at(std::int64_t ticks, int virtual_key);
void post_close();
// Sets the key state that GetKeyState reports directly, without messages.
void set_key_down(int virtual_key, bool down);

// --- Windows ---
void set_client_rect(HWND hwnd, const RECT& rect);
bool window_shown(HWND hwnd);

// --- DirectDraw failures ---
// The nth call (1-based, counted from now) of that step fails with `result`
// and does nothing else.
void fail_call(Call call, int nth, HRESULT result);
// How many times the step was called since reset.
int call_count(Call call);
// DirectDraw objects and surfaces alive.
int live_objects();

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
// Where the last Flip changed the screen, against the frame flipped before.
const ChangedArea& changes();

// --- Message boxes, text and caption decoded to UTF-8 ---
// The most recent boxes (at most the last 64), oldest first.
const std::vector<MessageBoxRecord>& message_boxes();
void clear_message_boxes();

// --- Surfaces ---
// A surface's pixels as they are, read through a lock that only reads, so
// that the copies it leaves for later stay left (as a lock to write or a
// blit from it would not); valid until the next DirectDraw call. Empty
// while the surface is locked or has a device context.
using SurfaceView = PixelView;
SurfaceView surface_view(IDirectDrawSurface7* surface);

// The description of an off-screen plain surface of this size and depth
// (32: 0x00RRGGBB, 16: 5-6-5) with these capabilities.
DDSURFACEDESC2 plain_surface_description(int width, int height, int bits, DWORD caps);

}  // namespace platform::testing
