#include "host/sdl/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "host/frame_pacer.h"
#include "host/frame_statistics.h"
#include "host/rest_planner.h"
#include "host/screenshot.h"
#include "host/sdl/gamepad.h"
#include "host/sdl/input_wait.h"
#include "host/sdl/keys.h"
#include "host/sdl/message_box.h"
#include "host/sdl/present.h"
#include "host/sdl/window.h"
#include "user32/input.h"

namespace platform {
namespace {

constexpr char kHowToRunWithout[] =
    "start it from a desktop session (DISPLAY or WAYLAND_DISPLAY set), or run it without a window with "
    "HOPS_HOST=headless";
constexpr int kUnknownRefreshRate = 60;

// SDL falls back on drivers that show nothing when no display answers; a
// game running there would play unseen.
bool shows_nothing(std::string_view video_driver) {
  return video_driver == "offscreen" || video_driver == "dummy" || video_driver == "evdev";
}

class SdlHost final : public Host {
 public:
  explicit SdlHost(const Settings& settings) : settings_(settings), presentation_(settings.scale) {}
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;
  ~SdlHost() override {
    close_window();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void present(const FrameView& frame, const ChangedArea& changed) override;
  void forget_frame() override { pacer_.forget(); }
  void pump_events() override;
  void rest() override;
  void show_window(HWND hwnd, int width, int height) override;
  void destroy_window(HWND hwnd) override {
    if (hwnd == window_.hwnd()) close_window();
  }
  void message_box(const std::string& text, const std::string& caption) override;
  std::int64_t counter_frequency() override { return kTicksPerSecond; }
  std::int64_t counter_now() override {
    const std::int64_t now = monotonic_ticks();
    rest_planner_.counter_read(now);
    return now;
  }

 private:
  void open_window(HWND hwnd, int width, int height);
  void close_window() {
    presentation_.close();
    window_.close();
  }
  void show(const FrameView& frame, const ChangedArea& changed) {
    presentation_.draw(frame, changed);
    count_shown();
    // Drawing may have read events from the display's connection.
    last_pump_ = kNever;
  }
  // Takes every event SDL has; how many there were.
  int pump();
  // Turns one SDL event into window messages, or acts on it.
  void handle_event(const SDL_Event& event);
  void handle_key(const SDL_KeyboardEvent& key);
  void handle_window_event(const SDL_WindowEvent& event);

  const Settings settings_;
  GameWindow window_;
  Presentation presentation_;
  Keyboard keyboard_;
  FramePacer pacer_{kTicksPerSecond / kUnknownRefreshRate,
                    [this](const FrameView& frame, const ChangedArea& changed) { show(frame, changed); }};
  RestPlanner rest_planner_{kTicksPerMicrosecond};
  static constexpr std::int64_t kPumpInterval = 250 * kTicksPerMicrosecond;
  static constexpr std::int64_t kNever = INT64_MIN / 2;
  std::int64_t last_pump_ = kNever;
  Gamepads gamepads_;
};

void SdlHost::open_window(HWND hwnd, int width, int height) {
  close_window();
  // A game played unseen is no game: the player is told why, and it ends.
  if (!window_.open(hwnd, width, height, settings_.windowed) ||
      !presentation_.open(window_.sdl(), settings_.vsync)) {
    std::exit(EXIT_FAILURE);
  }
  // Opening the window read its first events off the display's connection.
  last_pump_ = kNever;
  // A waiting flip shows every frame, at the refresh the renderer waits for.
  pacer_.set_refresh_ticks(settings_.vsync ? 0 : kTicksPerSecond / window_.refresh_rate());
}

void SdlHost::present(const FrameView& frame, const ChangedArea& changed) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
  if (!window_.is_open()) open_window(input_window(), frame.width, frame.height);
  rest_planner_.flipped(monotonic_ticks());
  pacer_.flipped(frame, changed);
  if (settings_.vsync) pacer_.poll(monotonic_ticks(), rest_planner_.next_start());
}

void SdlHost::handle_key(const SDL_KeyboardEvent& key) {
  switch (keyboard_.take(key)) {
    case Keyboard::Use::game: {
      const int virtual_key = virtual_key_of(key.keysym);
      if (virtual_key != 0) post_key(virtual_key, key.type == SDL_KEYDOWN, key.repeat != 0);
      break;
    }
    case Keyboard::Use::toggle_full_screen:
      if (!window_.is_open()) break;
      window_.toggle_full_screen();
      presentation_.invalidate();
      break;
    case Keyboard::Use::screenshot:
      save_screenshot(pacer_.newest(), settings_);
      break;
    case Keyboard::Use::none:
      break;
  }
}

void SdlHost::handle_window_event(const SDL_WindowEvent& event) {
  if (!window_.owns(event.windowID)) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      post_close();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      presentation_.invalidate();
      presentation_.draw(pacer_.newest(), ChangedArea::everything());
      if (window_.hwnd() != nullptr) invalidate_window(window_.hwnd());
      break;
    default:
      break;
  }
}

void SdlHost::handle_event(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      handle_key(event.key);
      break;
    case SDL_WINDOWEVENT:
      handle_window_event(event.window);
      break;
    case SDL_QUIT:
      // A second WM_CLOSE after the window's own is dropped with the window.
      post_close();
      break;
    default:
      gamepads_.handle(event);
      break;
  }
}

int SdlHost::pump() {
  last_pump_ = monotonic_ticks();
  int events = 0;
  SDL_Event event;
  for (; SDL_PollEvent(&event) != 0; ++events) handle_event(event);
  return events;
}

void SdlHost::pump_events() {
  rest_planner_.polled();
  const std::int64_t now = monotonic_ticks();
  // Asking the display for events costs system calls; a thread polling
  // while its frame falls due asks at most every kPumpInterval, and after
  // every rest that input ended.
  if (now - last_pump_ >= kPumpInterval) pump();
  pacer_.poll(now, rest_planner_.next_start());
}

void SdlHost::rest() {
  // A frame the display would take before the next is flipped is shown now,
  // rather than after a wake of its own.
  pacer_.poll(monotonic_ticks(), rest_planner_.next_start());
  const std::int64_t now = monotonic_ticks();
  std::int64_t ticks = rest_planner_.rest_ticks(now);
  const std::int64_t until_shown = pacer_.ticks_until_due(now);
  // A frame waiting to be shown wakes the thread when it falls due.
  if (until_shown >= 0) ticks = std::min(ticks, until_shown);
  if (ticks == 0) {
    nap();
    return;
  }
  // Under X, with no pad to poll, the thread waits on the display's
  // connection. Only this thread reads it, so what it holds when the last
  // pump found nothing is what came since; a draw since then may have read
  // events off it, and they are taken first.
  const int connection = gamepads_.any() ? -1 : window_.connection();
  if (connection >= 0) {
    if (last_pump_ == kNever && pump() > 0) return;
    last_pump_ = wait_for_input(connection, ticks / kTicksPerMicrosecond) ? kNever : monotonic_ticks();
    return;
  }
  // SDL waits on the display in whole milliseconds and ends the wait at the
  // first event, which is taken at once; less than a millisecond is slept.
  constexpr std::int64_t kTicksPerMillisecond = kTicksPerSecond / 1000;
  if (ticks < kTicksPerMillisecond) {
    sleep_at_most(ticks / kTicksPerMicrosecond);
  } else {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(ticks / kTicksPerMillisecond)) != 0)
      handle_event(event);
  }
  last_pump_ = kNever;
}

void SdlHost::show_window(HWND hwnd, int width, int height) {
  if (window_.is_open()) {
    window_.stand_for(hwnd);
    return;
  }
  open_window(hwnd, width, height);
}

void SdlHost::message_box(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "MessageBox [%s]: %s\n", caption.c_str(), text.c_str());
  // The box runs SDL on this thread while the game waits for it.
  run_sdl_message_box(text, caption, window_.sdl());
  last_pump_ = kNever;
}

}  // namespace

std::unique_ptr<Host> make_sdl_host(const Settings& settings) {
  // The window's own pixels are put straight on the display; SDL is never
  // to make a renderer behind them (see present.h).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  return std::make_unique<SdlHost>(settings);
}

std::unique_ptr<Host> make_display_host(const Settings& settings) {
  auto sdl = make_sdl_host(settings);
  if (!sdl) {
    std::fprintf(stderr, "hops: no display to show the game on (SDL2: %s): %s\n", SDL_GetError(),
                 kHowToRunWithout);
    return nullptr;
  }
  const char* const driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || shows_nothing(driver)) {
    std::fprintf(stderr,
                 "hops: no display to show the game on (SDL2 found only its %s video driver, which shows "
                 "nothing): %s\n",
                 driver != nullptr ? driver : "no", kHowToRunWithout);
    return nullptr;
  }
  return sdl;
}

}  // namespace platform
