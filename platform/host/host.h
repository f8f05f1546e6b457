// The seam between the platform layer and the machine: one interface with an
// SDL2 and a headless implementation, chosen once at start-up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Pixels of the primary surface as the last Flip left them.
struct FrameView {
  const void* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;            // bytes per row
  int bits_per_pixel = 32;  // 32: 0x00RRGGBB, 16: 5-6-5
};

// One rest of a polling thread: a due frame or a key waits at most this long.
inline constexpr std::int64_t kLongestRestMicroseconds = 1000;
// Sleeps the thread for up to `microseconds`, less the wake-up delay the
// kernel adds, so the rest as the thread sees it stays within its bound.
void sleep_at_most(std::int64_t microseconds);

class Host {
 public:
  virtual ~Host() = default;

  // Called by each Flip with the screen's new contents; the view stays
  // valid until the next present or until the primary surface goes away.
  // Returns at once: a host with a display shows the newest frame when the
  // display can take one (from pump_events or rest), dropping the others.
  virtual void present(const FrameView& frame) = 0;
  // Forgets the last frame (the primary surface is being destroyed).
  virtual void forget_frame() = 0;
  // Turns pending machine events into posted window messages; called by
  // PeekMessageA before it looks at the queue. Never blocks.
  virtual void pump_events() = 0;
  // Called by PeekMessageA when the game keeps finding the queue empty: the
  // thread may sleep or wait for input, for at most kLongestRestMicroseconds.
  virtual void rest() {}
  // Shows a window of this size; hidden windows have no host presence.
  virtual void show_window(HWND hwnd, int width, int height) = 0;
  virtual void destroy_window(HWND hwnd) = 0;
  // Text and caption in UTF-8. Modal where the host has a screen.
  virtual void message_box(const std::string& text, const std::string& caption) = 0;
  virtual std::int64_t counter_frequency() = 0;
  virtual std::int64_t counter_now() = 0;
};

// Chooses the host once, as HOPS_HOST says: SDL2 on a display unless it is
// "headless". False, the reason and the way out written to standard error,
// when the wanted host cannot start (no display: never a silent fallback).
bool start_host();
// The host in use; chosen on first use as start_host does, ending the
// process with exit code 1 when it cannot start.
Host& host();
// Replaces the host (tests install a headless one with a virtual clock).
void install_host(std::unique_ptr<Host> replacement);

}  // namespace platform
