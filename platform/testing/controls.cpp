#include <cstring>

#include "ddraw/surface.h"
#include "testing/testing.h"
#include "user32/input.h"
#include "user32/key_state.h"
#include "user32/window.h"

namespace platform::testing {
namespace {

TestHost* s_host = nullptr;

TestHost& test_host() {
  if (s_host == nullptr) reset();
  return *s_host;
}

}  // namespace

void reset() {
  clear_failures();
  auto fresh = std::make_unique<TestHost>();
  s_host = fresh.get();
  install_host(std::move(fresh));
}

void set_counter(std::int64_t value) { test_host().set_counter(value); }
void advance_counter(std::int64_t ticks) { test_host().set_counter(test_host().counter() + ticks); }
std::int64_t counter() { return test_host().counter(); }
void set_counter_step(std::int64_t ticks) { test_host().set_counter_step(ticks); }
void set_rests_move_clock(bool move) { test_host().set_rests_move_clock(move); }
int rest_count() { return test_host().rest_count(); }
std::int64_t rested_ticks() { return test_host().rested_ticks(); }

void press_key(int virtual_key) { post_key(virtual_key, true); }
void press_key_at(std::int64_t ticks, int virtual_key) { test_host().press_key_at(ticks, virtual_key); }
void release_key(int virtual_key) { post_key(virtual_key, false); }
void post_close() { platform::post_close(); }

void set_key_down(int virtual_key, bool down) {
  if (virtual_key < 0 || virtual_key > 0xFF) return;
  MSG message{};
  message.message = down ? WM_KEYDOWN : WM_KEYUP;
  message.wParam = static_cast<WPARAM>(virtual_key);
  note_key_message(message);
}

void set_client_rect(HWND hwnd, const RECT& rect) {
  Window* window = find(hwnd);
  if (window == nullptr) return;
  window->client = rect;
  window->update = is_empty(window->update) ? RECT{} : intersection(window->update, rect);
}

bool window_shown(HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; }

int flip_count() { return test_host().flip_count(); }
const ChangedArea& changes() { return test_host().last_changes(); }

Screen screen() {
  const FrameView& frame = test_host().last_frame();
  Screen result;
  if (frame.pixels == nullptr) return result;
  result.width = frame.width;
  result.height = frame.height;
  result.pixels.resize(static_cast<std::size_t>(frame.width) * frame.height);
  for (int y = 0; y < frame.height; ++y) {
    std::uint32_t* out = result.pixels.data() + static_cast<std::size_t>(y) * frame.width;
    if (frame.bits_per_pixel == 32) {
      std::memcpy(out, frame.row(y), static_cast<std::size_t>(frame.width) * 4);
    } else {
      for (int x = 0; x < frame.width; ++x) out[x] = widen_565(frame.at(x, y));
    }
  }
  return result;
}

void on_flip(std::function<void(int flip)> callback) { test_host().on_flip(std::move(callback)); }

const std::vector<MessageBoxRecord>& message_boxes() { return test_host().message_boxes(); }

void clear_message_boxes() { test_host().clear_message_boxes(); }

SurfaceView surface_view(IDirectDrawSurface7* surface) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  // Every surface handed out is one of the platform's: its own Lock, past
  // any failure armed for Lock.
  auto* const ours = static_cast<Surface*>(surface);
  if (ours->Surface::Lock(nullptr, &desc, DDLOCK_READONLY, nullptr) != DD_OK) return {};
  ours->Unlock(nullptr);
  return SurfaceView{desc.lpSurface, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight),
                     static_cast<int>(desc.lPitch), static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount)};
}

DDSURFACEDESC2 plain_surface_description(int width, int height, int bits, DWORD caps) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | caps;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddpfPixelFormat = pixel_format(bits);
  return desc;
}

}  // namespace platform::testing
