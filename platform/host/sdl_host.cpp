#include "host/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/frame_pacer.h"
#include "host/frame_statistics.h"
#include "host/picture_scaling.h"
#include "host/rest_planner.h"
#include "host/screenshot.h"
#include "host/sdl_gamepad.h"
#include "host/sdl_message_box.h"
#include "host/sdl_surface_presenter.h"
#include "kernel32/code_page.h"
#include "user32/input.h"

namespace platform {
namespace {

constexpr int kVkF1 = 0x70;
constexpr int kVkCapsLock = 0x14;
constexpr int kVkPause = 0x13;
constexpr int kVkPageUp = 0x21;
constexpr int kVkPageDown = 0x22;
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;

// The Windows virtual key of an SDL key; letters and digits by the symbol
// they carry under the user's layout, as Windows assigns them. 0 for a key
// the platform does not know.
int virtual_key_of(const SDL_Keysym& key) {
  const SDL_Keycode sym = key.sym;
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + static_cast<int>(sym - SDLK_a);
  if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + static_cast<int>(sym - SDLK_0);
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return kVkF1 + static_cast<int>(sym - SDLK_F1);
  switch (sym) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_CAPSLOCK: return kVkCapsLock;
    case SDLK_PAUSE: return kVkPause;
    case SDLK_PAGEUP: return kVkPageUp;
    case SDLK_PAGEDOWN: return kVkPageDown;
    case SDLK_END: return kVkEnd;
    case SDLK_HOME: return kVkHome;
    case SDLK_INSERT: return kVkInsert;
    case SDLK_DELETE: return kVkDelete;
    default: return 0;
  }
}

bool windowed_requested() {
  const char* const windowed = std::getenv("HOPS_WINDOWED");
  return windowed != nullptr && std::strcmp(windowed, "1") == 0;
}

// HOPS_VSYNC=1: every Flip waits for the display's refresh and is shown, as
// a flip on a real display does; otherwise the game's own timer paces alone.
bool vsync_requested() {
  const char* const vsync = std::getenv("HOPS_VSYNC");
  return vsync != nullptr && std::strcmp(vsync, "1") == 0;
}

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerMicrosecond = kTicksPerSecond / 1'000'000;
constexpr int kUnknownRefreshRate = 60;

std::int64_t now_ticks() {
  // 100 ns ticks: a frequency that a cap of 100 frames a second divides
  // exactly, whatever the machine's own counter runs at.
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, kTicksPerSecond>>;
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

class SdlHost final : public Host {
 public:
  SdlHost() : vsync_(vsync_requested()), scale_(scale_mode_from(std::getenv("HOPS_SCALE"))) {}
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;
  ~SdlHost() override {
    close_window();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void present(const FrameView& frame) override;
  void forget_frame() override { pacer_.forget(); }
  void pump_events() override;
  void rest() override;
  void show_window(HWND hwnd, int width, int height) override;
  void destroy_window(HWND hwnd) override;
  void message_box(const std::string& text, const std::string& caption) override;
  std::int64_t counter_frequency() override { return kTicksPerSecond; }
  std::int64_t counter_now() override {
    const std::int64_t now = now_ticks();
    rest_planner_.counter_read(now);
    return now;
  }

 private:
  void open_window(HWND hwnd, int width, int height);
  // Full screen covers the whole screen the window is on, whatever a window
  // manager grants (without one, SDL's own full screen keeps the window's
  // size); a window is resizable, of the size it last had. The pointer
  // shows only over a window.
  void set_full_screen(bool full);
  // Alt+Enter and F11 toggle full screen; the game never sees them, down
  // or up. True for a key taken here.
  bool handle_host_key(const SDL_KeyboardEvent& key);
  bool open_renderer();
  void close_window();
  void show(const FrameView& frame);
  // Puts the frame on the screen: drawn straight into the window's own
  // pixels, or through SDL's renderer when it must wait for the refresh or
  // smooth the picture.
  void draw(const FrameView& frame);
  void draw_on_window_surface(const FrameView& frame);
  void draw_with_renderer(const FrameView& frame);
  // Makes the texture fit the frame; false when SDL cannot give one.
  bool fit_texture(const FrameView& frame);
  bool fit_sharp_texture(int width, int height);
  void handle_window_event(const SDL_WindowEvent& event);

  const bool vsync_;
  const ScaleMode scale_;
  bool full_screen_ = false;
  int windowed_width_ = 0;
  int windowed_height_ = 0;
  // Keys pressed as host keys, whose release the game must not see either.
  std::vector<SDL_Scancode> host_keys_down_;
  HWND hwnd_ = nullptr;
  SDL_Window* window_ = nullptr;
  FramePacer pacer_{kTicksPerSecond / kUnknownRefreshRate, [this](const FrameView& frame) { show(frame); }};
  RestPlanner rest_planner_{kTicksPerMicrosecond};
  SdlSurfacePresenter presenter_;

  // The window's own pixels, when the frame is drawn there; the bars around
  // the picture are cleared whenever SDL hands out a new one.
  SDL_Surface* surface_ = nullptr;
  std::vector<std::uint32_t> sharp_copy_;
  int surface_width_ = 0;
  int surface_height_ = 0;

  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texture_width_ = 0;
  int texture_height_ = 0;
  Uint32 texture_format_ = 0;
  SDL_Texture* sharp_texture_ = nullptr;
  int sharp_width_ = 0;
  int sharp_height_ = 0;
  Gamepads gamepads_;
};

void SdlHost::open_window(HWND hwnd, int width, int height) {
  close_window();
  hwnd_ = hwnd;
  const std::string title = ansi_to_utf8(window_title(hwnd));
  windowed_width_ = width;
  windowed_height_ = height;
  window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                             SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) {
    std::fprintf(stderr, "SDL: no window: %s\n", SDL_GetError());
    return;
  }
  // Full screen on the desktop's own mode: the picture is scaled and
  // letterboxed, the monitor's mode is never changed.
  if (!windowed_requested()) set_full_screen(true);
  SDL_ShowWindow(window_);
  SDL_ShowCursor(full_screen_ ? SDL_DISABLE : SDL_ENABLE);
  SDL_DisplayMode mode{};
  const int refresh_rate = SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0
                               ? mode.refresh_rate
                               : kUnknownRefreshRate;
  // A waiting flip shows every frame, at the refresh the renderer waits for.
  pacer_.set_refresh_ticks(vsync_ ? 0 : kTicksPerSecond / refresh_rate);
  if (vsync_ && !open_renderer()) close_window();
}

bool SdlHost::open_renderer() {
  const Uint32 vsync = vsync_ ? static_cast<Uint32>(SDL_RENDERER_PRESENTVSYNC) : 0u;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | vsync);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | vsync);
  if (renderer_ == nullptr) {
    std::fprintf(stderr, "SDL: no renderer: %s\n", SDL_GetError());
    return false;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

void SdlHost::close_window() {
  presenter_.wait_until_idle();
  if (sharp_texture_ != nullptr) SDL_DestroyTexture(sharp_texture_);
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  sharp_texture_ = nullptr;
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  surface_ = nullptr;
  hwnd_ = nullptr;
  texture_width_ = texture_height_ = sharp_width_ = sharp_height_ = 0;
  texture_format_ = 0;
}

void SdlHost::present(const FrameView& frame) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
  if (window_ == nullptr) open_window(input_window(), frame.width, frame.height);
  if (window_ == nullptr) return;
  rest_planner_.flipped(now_ticks());
  pacer_.flipped(frame);
  if (vsync_) pacer_.poll(now_ticks());
}

void SdlHost::show(const FrameView& frame) {
  draw(frame);
  count_shown();
}

void SdlHost::draw(const FrameView& frame) {
  if (window_ == nullptr || frame.pixels == nullptr) return;
  if (renderer_ != nullptr) {
    draw_with_renderer(frame);
  } else {
    draw_on_window_surface(frame);
  }
}

void SdlHost::draw_on_window_surface(const FrameView& frame) {
  presenter_.wait_until_idle();
  SDL_Surface* const surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return;
  const bool fresh = surface != surface_ || surface->w != surface_width_ || surface->h != surface_height_;
  if (fresh) {
    SDL_FillRect(surface, nullptr, 0);
    surface_ = surface;
    surface_width_ = surface->w;
    surface_height_ = surface->h;
  }
  const PictureRect rect = picture_rect(surface->w, surface->h, frame.width, frame.height, scale_);
  const bool direct = frame.bits_per_pixel == 32 && (surface->format->format == SDL_PIXELFORMAT_RGB888 ||
                                                     surface->format->format == SDL_PIXELFORMAT_ARGB8888);
  const SDL_Rect changed{rect.x, rect.y, rect.width, rect.height};
  const SDL_Rect* const put_rect = fresh ? nullptr : &changed;
  if (direct && !SDL_MUSTLOCK(surface)) {
    auto* const pixels = static_cast<std::uint32_t*>(surface->pixels);
    if (scale_ != ScaleMode::sharp) {
      scale_nearest(frame, pixels, surface->pitch, rect);
      presenter_.put(window_, put_rect);
      return;
    }
    // Smoothing takes several times as long as a copy: the presenting
    // thread does it, from a copy the next flip cannot touch.
    sharp_copy_.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y) {
      std::memcpy(sharp_copy_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width),
                  static_cast<const unsigned char*>(frame.pixels) + static_cast<std::ptrdiff_t>(y) * frame.pitch,
                  static_cast<std::size_t>(frame.width) * 4);
    }
    const FrameView copy{sharp_copy_.data(), frame.width, frame.height, frame.width * 4, 32};
    const int pitch = surface->pitch;
    presenter_.put(window_, put_rect, [copy, pixels, pitch, rect] { scale_sharp(copy, pixels, pitch, rect); });
    return;
  }
  // A window of another pixel format, or a 16-bit frame: SDL converts, more
  // slowly (and only nearest neighbour).
  const Uint32 format = frame.bits_per_pixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
  SDL_Surface* const source =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<void*>(frame.pixels), frame.width, frame.height,
                                         frame.bits_per_pixel, frame.pitch, format);
  if (source == nullptr) return;
  SDL_Rect target{rect.x, rect.y, rect.width, rect.height};
  SDL_BlitScaled(source, nullptr, surface, &target);
  SDL_FreeSurface(source);
  presenter_.put(window_, put_rect);
}

bool SdlHost::fit_texture(const FrameView& frame) {
  const Uint32 format = frame.bits_per_pixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
  if (texture_ != nullptr && texture_width_ == frame.width && texture_height_ == frame.height &&
      texture_format_ == format) {
    return true;
  }
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height);
  if (texture_ == nullptr) {
    std::fprintf(stderr, "SDL: no texture: %s\n", SDL_GetError());
    return false;
  }
  SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
  texture_width_ = frame.width;
  texture_height_ = frame.height;
  texture_format_ = format;
  return true;
}

bool SdlHost::fit_sharp_texture(int width, int height) {
  if (sharp_texture_ != nullptr && sharp_width_ == width && sharp_height_ == height) return true;
  if (sharp_texture_ != nullptr) SDL_DestroyTexture(sharp_texture_);
  sharp_texture_ =
      SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, width, height);
  if (sharp_texture_ == nullptr) return false;
  SDL_SetTextureScaleMode(sharp_texture_, SDL_ScaleModeLinear);
  sharp_width_ = width;
  sharp_height_ = height;
  return true;
}

void SdlHost::draw_with_renderer(const FrameView& frame) {
  if (!fit_texture(frame)) return;
  SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch);
  int output_width = 0;
  int output_height = 0;
  if (SDL_GetRendererOutputSize(renderer_, &output_width, &output_height) != 0) return;
  const PictureRect rect = picture_rect(output_width, output_height, frame.width, frame.height, scale_);
  const SDL_Rect target{rect.x, rect.y, rect.width, rect.height};
  SDL_Texture* shown = texture_;
  if (scale_ == ScaleMode::sharp) {
    const int factor = sharp_factor(rect, frame.width);
    if (factor > 1 && fit_sharp_texture(frame.width * factor, frame.height * factor) &&
        SDL_SetRenderTarget(renderer_, sharp_texture_) == 0) {
      SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
      SDL_SetRenderTarget(renderer_, nullptr);
      shown = sharp_texture_;
    } else {
      SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
    }
  }
  // A picture covering the whole output needs no clearing, and clearing a
  // whole frame costs as much as drawing one.
  if (rect.width != output_width || rect.height != output_height) SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, shown, nullptr, &target);
  SDL_RenderPresent(renderer_);
}

void SdlHost::set_full_screen(bool full) {
  presenter_.wait_until_idle();
  surface_ = nullptr;
  if (full) {
    if (!full_screen_) SDL_GetWindowSize(window_, &windowed_width_, &windowed_height_);
    SDL_Rect screen{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen) == 0) {
      SDL_SetWindowPosition(window_, screen.x, screen.y);
      SDL_SetWindowSize(window_, screen.w, screen.h);
    }
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowSize(window_, windowed_width_, windowed_height_);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  full_screen_ = full;
  SDL_ShowCursor(full ? SDL_DISABLE : SDL_ENABLE);
}

bool SdlHost::handle_host_key(const SDL_KeyboardEvent& key) {
  const auto held = std::find(host_keys_down_.begin(), host_keys_down_.end(), key.keysym.scancode);
  if (key.type == SDL_KEYUP) {
    if (held == host_keys_down_.end()) return false;
    host_keys_down_.erase(held);
    return true;
  }
  const SDL_Keycode sym = key.keysym.sym;
  const bool alt_enter = (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0;
  if (sym != SDLK_F11 && !alt_enter && held == host_keys_down_.end()) return false;
  if (held == host_keys_down_.end()) host_keys_down_.push_back(key.keysym.scancode);
  if (key.repeat == 0 && window_ != nullptr) set_full_screen(!full_screen_);
  return true;
}

void SdlHost::handle_window_event(const SDL_WindowEvent& event) {
  if (window_ == nullptr || event.windowID != SDL_GetWindowID(window_)) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      post_close();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      surface_ = nullptr;
      draw(pacer_.newest());
      if (hwnd_ != nullptr) invalidate_window(hwnd_);
      break;
    default:
      break;
  }
}

void SdlHost::pump_events() {
  rest_planner_.polled();
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        // F12 is the platform's screenshot key; the game never sees it.
        if (event.key.keysym.sym == SDLK_F12) {
          if (event.type == SDL_KEYDOWN && event.key.repeat == 0) save_screenshot(pacer_.newest());
          break;
        }
        if (handle_host_key(event.key)) break;
        const int virtual_key = virtual_key_of(event.key.keysym);
        if (virtual_key != 0) post_key(virtual_key, event.type == SDL_KEYDOWN, event.key.repeat != 0);
        break;
      }
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
  // The next frame is drawn into the window's pixels only once the last
  // has been put on the display.
  if (renderer_ != nullptr || presenter_.idle()) pacer_.poll(now_ticks());
}

void SdlHost::rest() {
  const std::int64_t now = now_ticks();
  std::int64_t ticks = rest_planner_.rest_ticks(now);
  const std::int64_t until_shown = pacer_.ticks_until_due(now);
  if (until_shown >= 0 && (renderer_ != nullptr || presenter_.idle())) ticks = std::min(ticks, until_shown);
  sleep_at_most(ticks / kTicksPerMicrosecond);
}

void SdlHost::show_window(HWND hwnd, int width, int height) {
  if (window_ != nullptr) {
    if (hwnd == hwnd_) return;
    SDL_SetWindowTitle(window_, ansi_to_utf8(window_title(hwnd)).c_str());
    hwnd_ = hwnd;
    return;
  }
  open_window(hwnd, width, height);
}

void SdlHost::destroy_window(HWND hwnd) {
  if (hwnd == hwnd_) close_window();
}

void SdlHost::message_box(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "MessageBox [%s]: %s\n", caption.c_str(), text.c_str());
  // The box runs SDL on this thread while the game waits for it.
  presenter_.wait_until_idle();
  run_sdl_message_box(text, caption, window_);
}

}  // namespace

std::unique_ptr<Host> make_sdl_host() {
  // The window's pixels are X's (or Wayland's) shared memory itself, not a
  // texture behind a renderer: on a display without a GPU that renderer is
  // a software rasteriser costing ten times as much.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  return std::make_unique<SdlHost>();
}

}  // namespace platform
