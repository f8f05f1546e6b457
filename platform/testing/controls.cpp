#include <cstring>

#include "ddraw/fault_injection.h"
#include "ddraw/surface.h"
#include "host/headless_host.h"
#include "kernel32/code_page.h"
#include "platform_state.h"
#include "testing/testing.h"
#include "user32/input.h"

namespace platform::testing {
namespace {

HeadlessHost* s_headless = nullptr;

HeadlessHost& headless() {
  if (s_headless == nullptr) reset();
  return *s_headless;
}

std::uint32_t widen_565(std::uint16_t pixel) {
  const std::uint32_t r = (pixel >> 11) & 0x1F;
  const std::uint32_t g = (pixel >> 5) & 0x3F;
  const std::uint32_t b = pixel & 0x1F;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

}  // namespace

void reset() {
  reset_user32();
  reset_gdi32();
  reset_ddraw();
  clear_faults();
  auto fresh = std::make_unique<HeadlessHost>(true);
  s_headless = fresh.get();
  install_host(std::move(fresh));
}

void set_counter(std::int64_t value) { headless().set_counter(value); }
void advance_counter(std::int64_t ticks) { headless().set_counter(headless().counter() + ticks); }
std::int64_t counter() { return headless().counter(); }
void set_counter_step(std::int64_t ticks) { headless().set_counter_step(ticks); }
void set_rests_move_clock(bool move) { headless().set_rests_move_clock(move); }
int rest_count() { return headless().rest_count(); }
std::int64_t rested_ticks() { return headless().rested_ticks(); }

void press_key(int virtual_key) { post_key(virtual_key, true); }
void release_key(int virtual_key) { post_key(virtual_key, false); }
void post_close() { platform::post_close(); }
void set_key_down(int virtual_key, bool down) { platform::set_key_down(virtual_key, down); }

void set_client_rect(HWND hwnd, const RECT& rect) { platform::set_client_rect(hwnd, rect); }
bool window_shown(HWND hwnd) { return platform::window_shown(hwnd); }

void fail_call(Call call, int nth, HRESULT result) { arm_fault(call, nth, result); }
int call_count(Call call) { return fault_call_count(call); }

int flip_count() { return headless().flip_count(); }

Screen screen() {
  const FrameView& frame = headless().last_frame();
  Screen result;
  if (frame.pixels == nullptr) return result;
  result.width = frame.width;
  result.height = frame.height;
  result.pixels.resize(static_cast<std::size_t>(frame.width) * frame.height);
  const auto* bytes = static_cast<const unsigned char*>(frame.pixels);
  for (int y = 0; y < frame.height; ++y) {
    const unsigned char* row = bytes + static_cast<std::ptrdiff_t>(y) * frame.pitch;
    std::uint32_t* out = result.pixels.data() + static_cast<std::size_t>(y) * frame.width;
    if (frame.bits_per_pixel == 32) {
      std::memcpy(out, row, static_cast<std::size_t>(frame.width) * 4);
    } else {
      for (int x = 0; x < frame.width; ++x) {
        std::uint16_t pixel;
        std::memcpy(&pixel, row + 2 * x, 2);
        out[x] = widen_565(pixel);
      }
    }
  }
  return result;
}

void on_flip(std::function<void(int flip)> callback) { headless().on_flip(std::move(callback)); }

const std::vector<MessageBoxRecord>& message_boxes() { return headless().message_boxes(); }

void clear_message_boxes() { headless().clear_message_boxes(); }

void fail_next_code_page_open() { platform::fail_next_code_page_open(); }

SurfaceView surface_view(IDirectDrawSurface7* surface) {
  // Every surface handed out is one of ours.
  const auto* ours = static_cast<const Surface*>(surface);
  const PixelBlock pixels = ours->current_pixels();
  return SurfaceView{pixels.first, pixels.pitch, pixels.width, pixels.height, ours->bits_per_pixel()};
}

DDSURFACEDESC2 plain_surface_description(int width, int height, int bits, DWORD caps) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | caps;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
  desc.ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(bits);
  desc.ddpfPixelFormat.dwRBitMask = bits == 32 ? 0x00FF0000 : 0xF800;
  desc.ddpfPixelFormat.dwGBitMask = bits == 32 ? 0x0000FF00 : 0x07E0;
  desc.ddpfPixelFormat.dwBBitMask = bits == 32 ? 0x000000FF : 0x001F;
  return desc;
}

int live_objects() { return live_ddraw_objects(); }

}  // namespace platform::testing
