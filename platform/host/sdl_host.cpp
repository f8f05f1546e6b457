#include "host/sdl_host.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/sdl_message_box.h"
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

class SdlHost final : public Host {
 public:
  SdlHost() = default;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;
  ~SdlHost() override {
    close_window();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void present(const FrameView& frame) override;
  void forget_frame() override {}
  void pump_events() override;
  void show_window(HWND hwnd, int width, int height) override;
  void destroy_window(HWND hwnd) override;
  void message_box(const std::string& text, const std::string& caption) override;
  std::int64_t counter_frequency() override { return 10'000'000; }
  std::int64_t counter_now() override;

 private:
  void open_window(HWND hwnd, int width, int height);
  void close_window();
  // Makes the texture fit the frame; false when SDL cannot give one.
  bool fit_texture(const FrameView& frame);
  void draw_texture();
  void handle_window_event(const SDL_WindowEvent& event);

  HWND hwnd_ = nullptr;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texture_width_ = 0;
  int texture_height_ = 0;
  Uint32 texture_format_ = 0;
};

void SdlHost::open_window(HWND hwnd, int width, int height) {
  close_window();
  hwnd_ = hwnd;
  const std::string title = ansi_to_utf8(window_title(hwnd));
  // Full screen on the desktop's own mode: the picture is scaled and
  // letterboxed, the monitor's mode is never changed.
  const Uint32 flags = windowed_requested() ? 0u : static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP);
  window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
  if (window_ == nullptr) {
    std::fprintf(stderr, "SDL: no window: %s\n", SDL_GetError());
    return;
  }
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    std::fprintf(stderr, "SDL: no renderer: %s\n", SDL_GetError());
    return;
  }
  SDL_RenderSetLogicalSize(renderer_, width, height);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
}

void SdlHost::close_window() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  hwnd_ = nullptr;
  texture_width_ = texture_height_ = 0;
  texture_format_ = 0;
}

bool SdlHost::fit_texture(const FrameView& frame) {
  const Uint32 format = frame.bits_per_pixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
  if (texture_ != nullptr && texture_width_ == frame.width && texture_height_ == frame.height &&
      texture_format_ == format) {
    return true;
  }
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height);
  if (texture_ == nullptr) {
    std::fprintf(stderr, "SDL: no texture: %s\n", SDL_GetError());
    return false;
  }
  texture_width_ = frame.width;
  texture_height_ = frame.height;
  texture_format_ = format;
  SDL_RenderSetLogicalSize(renderer_, frame.width, frame.height);
  return true;
}

void SdlHost::draw_texture() {
  // The picture covers an output of its own size; only letterbox bars need
  // clearing, and clearing a whole frame costs as much as drawing one.
  int output_width = 0;
  int output_height = 0;
  if (SDL_GetRendererOutputSize(renderer_, &output_width, &output_height) != 0 ||
      output_width != texture_width_ || output_height != texture_height_) {
    SDL_RenderClear(renderer_);
  }
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void SdlHost::present(const FrameView& frame) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
  if (window_ == nullptr) open_window(input_window(), frame.width, frame.height);
  if (renderer_ == nullptr || !fit_texture(frame)) return;
  SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch);
  draw_texture();
}

void SdlHost::handle_window_event(const SDL_WindowEvent& event) {
  if (window_ == nullptr || event.windowID != SDL_GetWindowID(window_)) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      post_close();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      if (texture_ != nullptr) draw_texture();
      if (hwnd_ != nullptr) invalidate_window(hwnd_);
      break;
    default:
      break;
  }
}

void SdlHost::pump_events() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
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
        break;
    }
  }
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
  run_sdl_message_box(text, caption, window_);
}

std::int64_t SdlHost::counter_now() {
  // 100 ns ticks: a frequency that a cap of 100 frames a second divides
  // exactly, whatever the machine's own counter runs at.
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::unique_ptr<Host> make_sdl_host() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  return std::make_unique<SdlHost>();
}

}  // namespace platform
