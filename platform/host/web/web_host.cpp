#include "host/web/web_host.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>

#include "host/frame_statistics.h"
#include "host/picture_scaling.h"
#include "host/web/canvas_pixels.h"
#include "host/web/gamepads.h"
#include "user32/input.h"

extern "C" {
// page.js
void hops_page_show(const void* pixels, int width, int height, const void* parts, int part_count);
void hops_page_rest(int milliseconds);
void hops_page_toggle_full_screen();
int hops_page_statistics_wanted();
void hops_page_game_ended(int exit_code);
}

namespace platform {
namespace {

constexpr int kVkF1 = 0x70;
constexpr int kVkF11 = 0x7A;
constexpr int kVkF12 = 0x7B;
constexpr char kCanvas[] = "#canvas";
// The canvas before the first frame, in black.
constexpr int kBlankWidth = 1024;
constexpr int kBlankHeight = 768;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;
// The statistics line comes this often while the game runs.
constexpr double kReportEveryMs = 5000.0;
// The gamepads are read this often, as often as a display refreshes.
constexpr double kPadPollEveryMs = 1000.0 / 60.0;
// The display's refresh is timed over this many animation frames, this
// often (it changes when the page moves to another display).
constexpr std::size_t kRefreshSamples = 8;
constexpr double kTimeRefreshEveryMs = 10'000.0;
static_assert(sizeof(PictureRect) == 4 * sizeof(int), "page.js reads each part put as four ints");

bool closes_box(int key_code) {
  return key_code == VK_RETURN || key_code == VK_SPACE || key_code == VK_ESCAPE;
}

bool inside(const RECT& rect, int x, int y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

void erase_value(std::vector<int>& values, int value) {
  values.erase(std::remove(values.begin(), values.end(), value), values.end());
}

WebHost& host_of(void* user_data) { return *static_cast<WebHost*>(user_data); }

// The browser's clock, in milliseconds, as counter ticks.
std::int64_t ticks_at(double milliseconds) {
  return static_cast<std::int64_t>(milliseconds * static_cast<double>(kTicksPerSecond / 1000));
}

EM_BOOL on_key(int event_type, const EmscriptenKeyboardEvent* event, void* user_data) {
  return host_of(user_data).key(static_cast<int>(event->keyCode), event_type == EMSCRIPTEN_EVENT_KEYDOWN,
                                event->repeat != 0, event->altKey != 0,
                                event->ctrlKey != 0 || event->metaKey != 0);
}

EM_BOOL on_blur(int, const EmscriptenFocusEvent*, void* user_data) {
  host_of(user_data).lose_focus();
  return false;
}

EM_BOOL on_pointer(int event_type, const EmscriptenMouseEvent* event, void* user_data) {
  if (event->button != 0) return false;
  return host_of(user_data).pointer(event_type == EMSCRIPTEN_EVENT_MOUSEDOWN,
                                    static_cast<double>(event->targetX), static_cast<double>(event->targetY));
}

EM_BOOL on_animation_frame(double time_ms, void* user_data) {
  host_of(user_data).animation_frame(time_ms);
  return false;
}

}  // namespace

WebHost::WebHost() : statistics_(hops_page_statistics_wanted() != 0) {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, on_key);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, on_key);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, on_blur);
  emscripten_set_mousedown_callback(kCanvas, this, true, on_pointer);
  emscripten_set_mouseup_callback(kCanvas, this, true, on_pointer);
  resumed_ms_ = emscripten_get_now();
  time_refresh();
}

void WebHost::present(const FrameView& frame, const ChangedArea& changed) {
  const double now_ms = emscripten_get_now();
  rest_planner_.flipped(ticks_at(now_ms));
  if (flipped_++ == 0) {
    first_flip_ms_ = now_ms;
    next_report_ms_ = now_ms + kReportEveryMs;
  }
  // A new surface, or one of another size, is drawn whole.
  if (newest_.pixels == nullptr || frame.width != newest_.width || frame.height != newest_.height) {
    undrawn_ = ChangedArea::everything();
  } else {
    undrawn_.add(changed);
  }
  newest_ = frame;
  if (undrawn_.empty() && !fresh_) {
    // The canvas shows this frame already.
    count_shown_frame();
    return;
  }
  fresh_ = true;
  draw_when_due(now_ms);
}

void WebHost::draw_when_due(double now_ms) {
  // A frame flipped within a millisecond of its turn is drawn: the game's
  // frames keep their pace only so closely.
  constexpr double kToleranceMs = 1.0;
  if (!fresh_ || now_ms < next_draw_ms_ - kToleranceMs) return;
  next_draw_ms_ = std::max(next_draw_ms_ + refresh_ms_, now_ms);
  draw_changes();
  fresh_ = false;
  if (!box_) count_shown_frame();
}

void WebHost::count_shown_frame() {
  ++shown_;
  count_shown();
}

void WebHost::forget_frame() {
  // The last frame is drawn while its pixels are still there.
  if (fresh_) draw_changes();
  fresh_ = false;
  newest_ = FrameView{};
}

std::int64_t WebHost::counter_now() {
  const std::int64_t now = ticks_at(emscripten_get_now());
  rest_planner_.counter_read(now);
  return now;
}

void WebHost::rest() {
  // The page sleeps until a moment before the frame the planner expects;
  // the page's events come in its sleep and are taken as they come.
  sleep(std::min(rest_planner_.rest_ticks(ticks_at(emscripten_get_now())), kLongestSleepTicks));
}

void WebHost::sleep(std::int64_t ticks) {
  // A browser's timer counts whole milliseconds and fires a few tenths of
  // one late (set a tenth short, Chromium's let the game fall to 94-98
  // frames a second on a quiet machine): it is set short of the wait by
  // three tenths and the milliseconds' remainder. The rest of the wait,
  // under a millisecond, is waited out here: handing the page back and
  // taking it again would cost more, and the browser's own work in between
  // could start the frame late. Each tenth set short is a tenth of a
  // millisecond of every frame spent waiting in place.
  constexpr std::int64_t kTimerLateness = 3 * kTicksPerSecond / 10'000;
  constexpr std::int64_t kTicksPerMillisecond = kTicksPerSecond / 1000;
  const double before = emscripten_get_now();
  // A frame that waited for its turn is drawn when it comes.
  draw_when_due(before);
  if (ticks < kTicksPerMillisecond) {
    const std::int64_t until = ticks_at(before) + ticks;
    while (ticks_at(emscripten_get_now()) < until) {
    }
    return;
  }
  busy_ms_ += before - resumed_ms_;
  hops_page_rest(static_cast<int>((ticks - kTimerLateness) / kTicksPerMillisecond));
  resumed_ms_ = emscripten_get_now();
  if (resumed_ms_ >= next_pad_poll_ms_) {
    next_pad_poll_ms_ = resumed_ms_ + kPadPollEveryMs;
    poll_gamepads();
  }
  if (resumed_ms_ >= next_refresh_timing_ms_) time_refresh();
  if (statistics_ && flipped_ > 0 && resumed_ms_ >= next_report_ms_) {
    next_report_ms_ += kReportEveryMs;
    report_statistics(false);
  }
}

void WebHost::report_statistics(bool final_line) {
  FrameStatistics statistics;
  statistics.flipped = flipped_;
  statistics.shown = shown_;
  statistics.seconds = (emscripten_get_now() - first_flip_ms_) / 1000.0;
  statistics.cpu_seconds = busy_ms_ / 1000.0;
  std::fprintf(stderr, "%s%s\n", statistics_line(statistics).c_str(),
               final_line ? " (the game has ended)" : "");
}

void WebHost::message_box(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "MessageBox [%s]: %s\n", caption.c_str(), text.c_str());
  box_.emplace();
  box_->picture = draw_message_box(caption, text);
  undrawn_ = ChangedArea::everything();
  draw_changes();
  while (!box_->done) sleep(kLongestSleepTicks);
  const std::vector<int> keys_let_go = std::move(box_->keys_let_go);
  box_.reset();
  undrawn_ = ChangedArea::everything();
  draw_changes();
  for (const int key_code : keys_let_go) post_key(key_code, false);
}

void WebHost::game_ended(int exit_code) {
  if (fresh_) draw_changes();
  ended_ = true;
  if (statistics_ && flipped_ > 0) report_statistics(true);
  hops_page_game_ended(exit_code);
}

bool WebHost::key(int key_code, bool down, bool repeat, bool alt, bool command) {
  if (ended_) return false;
  // The browser keeps its own shortcuts and function keys (F5 reloads,
  // F12 opens its tools); F11 and Alt+Enter switch the page's full screen.
  if (command) return false;
  const bool host_key = key_code == kVkF11 || (key_code == VK_RETURN && alt);
  const bool held_host_key =
      std::find(host_keys_down_.begin(), host_keys_down_.end(), key_code) != host_keys_down_.end();
  if (host_key || held_host_key) {
    if (!down) {
      erase_value(host_keys_down_, key_code);
    } else if (!held_host_key) {
      host_keys_down_.push_back(key_code);
      if (!repeat) hops_page_toggle_full_screen();
    }
    return true;
  }
  if (key_code >= kVkF1 && key_code <= kVkF12) return false;
  game_key(key_code, down, repeat);
  // The page never scrolls or moves its focus on the game's keys.
  return true;
}

void WebHost::game_key(int key_code, bool down, bool repeat) {
  if (box_) {
    box_key(key_code, down, repeat);
    return;
  }
  erase_value(keys_down_, key_code);
  if (down) keys_down_.push_back(key_code);
  post_key(key_code, down, repeat);
}

void WebHost::box_key(int key_code, bool down, bool repeat) {
  if (down) {
    if (!repeat && closes_box(key_code)) box_->armed_key = key_code;
  } else if (box_->armed_key != 0 && key_code == box_->armed_key) {
    box_->done = true;
  } else {
    box_->keys_let_go.push_back(key_code);
  }
}

void WebHost::poll_gamepads() {
  const std::vector<int> held = gamepad_keys_held();
  const auto in = [](const std::vector<int>& keys, int key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  };
  for (const int key : pad_keys_) {
    if (!in(held, key)) game_key(key, false, false);
  }
  for (const int key : held) {
    if (!in(pad_keys_, key)) game_key(key, true, false);
  }
  pad_keys_ = held;
}

void WebHost::lose_focus() {
  // Keys let go while the page had no focus send nothing; the game hears
  // them let go now, or a held arrow would move the player on forever.
  for (const int key_code : keys_down_) post_key(key_code, false);
  keys_down_.clear();
  host_keys_down_.clear();
}

bool WebHost::pointer(bool down, double x, double y) {
  if (!box_) return false;
  double css_width = 0.0;
  double css_height = 0.0;
  if (emscripten_get_element_css_size(kCanvas, &css_width, &css_height) != EMSCRIPTEN_RESULT_SUCCESS ||
      css_width <= 0.0 || css_height <= 0.0) {
    return true;
  }
  // The page shows the canvas as large as it fits, its proportions kept;
  // the box lies on the canvas's own pixels.
  const PictureRect shown = picture_rect(static_cast<int>(css_width), static_cast<int>(css_height),
                                         canvas_width_, canvas_height_, ScaleMode::fit);
  if (shown.width <= 0 || shown.height <= 0) return true;
  const int canvas_x =
      static_cast<int>((x - shown.x) * canvas_width_ / shown.width) - static_cast<int>(box_->at.x);
  const int canvas_y =
      static_cast<int>((y - shown.y) * canvas_height_ / shown.height) - static_cast<int>(box_->at.y);
  const bool on_ok = inside(box_->picture.ok_button, canvas_x, canvas_y);
  if (down) {
    box_->armed_click = on_ok;
  } else if (box_->armed_click && on_ok) {
    box_->done = true;
  }
  return true;
}

void WebHost::time_refresh() {
  next_refresh_timing_ms_ = emscripten_get_now() + kTimeRefreshEveryMs;
  if (timing_refresh_) return;
  timing_refresh_ = true;
  last_animation_frame_ms_ = 0.0;
  frame_gaps_.clear();
  emscripten_request_animation_frame(on_animation_frame, this);
}

void WebHost::animation_frame(double time_ms) {
  if (last_animation_frame_ms_ > 0.0) frame_gaps_.push_back(time_ms - last_animation_frame_ms_);
  last_animation_frame_ms_ = time_ms;
  if (frame_gaps_.size() < kRefreshSamples) {
    emscripten_request_animation_frame(on_animation_frame, this);
    return;
  }
  // The median gap: a frame the browser skipped only lengthens one.
  const auto middle = frame_gaps_.begin() + static_cast<std::ptrdiff_t>(kRefreshSamples / 2);
  std::nth_element(frame_gaps_.begin(), middle, frame_gaps_.end());
  refresh_ms_ = *middle;
  timing_refresh_ = false;
}

void WebHost::draw_changes() {
  const bool blank = newest_.pixels == nullptr;
  const int width = blank ? kBlankWidth : newest_.width;
  const int height = blank ? kBlankHeight : newest_.height;
  if (width != canvas_width_ || height != canvas_height_) {
    canvas_width_ = width;
    canvas_height_ = height;
    canvas_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    undrawn_ = ChangedArea::everything();
  }
  const std::vector<PictureRect> parts =
      parts_to_redraw(PictureRect{0, 0, width, height}, width, height, undrawn_, ScaleMode::fit);
  undrawn_.clear();
  if (parts.empty()) return;
  for (const PictureRect& part : parts) {
    if (!blank) {
      frame_to_canvas(newest_, canvas_, part);
      continue;
    }
    for (int y = part.y; y < part.y + part.height; ++y) {
      const auto row = canvas_.begin() + static_cast<std::ptrdiff_t>(y) * width;
      std::fill(row + part.x, row + part.x + part.width, kOpaqueBlack);
    }
  }
  // The box lies over every part it meets.
  if (box_) box_->at = box_to_canvas(box_->picture, canvas_, canvas_width_);
  hops_page_show(canvas_.data(), canvas_width_, canvas_height_, parts.data(), static_cast<int>(parts.size()));
}

std::unique_ptr<Host> make_display_host(const Settings&) { return std::make_unique<WebHost>(); }

}  // namespace platform
