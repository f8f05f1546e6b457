#include "surface_ops.h"

#include <ddraw.h>
#include <windows.h>

#include <array>
#include <cstring>
#include <sstream>
#include <utility>

#include "gdi32/device_context.h"
#include "testing/testing.h"

namespace surface_ops {
namespace {

// The display: pages of kWidth x kHeight, whose rows of either depth need
// less than their pitch. Beside the flipping chain's front (0) and back (1)
// page, two surfaces of their size (2, 3) and a small one (4) at the
// display's depth, then two of that size (5, 6) and a small one (7) at the
// other depth. The pages are large enough that a frame's sprites and text
// leave the backdrop known.
constexpr int kWidth = 62;
constexpr int kHeight = 46;
constexpr int kSmallWidth = 9;
constexpr int kSmallHeight = 7;
constexpr int kSurfaces = 8;
constexpr int kFront = 0;
constexpr int kBack = 1;
constexpr int kFirstOther = 5;  // the first surface at the other depth

// The input: one byte whose lowest bit picks the display's depth (32 or
// 16), then records of kRecordBytes, one an operation:
//   [0] what, modulo 8: Blt (0 to 2), Lock and write (3), text (4),
//       SetColorKey (5), Flip (6), a surface released and made anew (7)
//   [1] the surface it is done on, [2] the other surface (a Blt's source,
//       counted among those of the same depth) or a colour, [3] flags,
//   [4..7] and [8..11] rectangles or further arguments.
constexpr std::size_t kRecordBytes = 12;
constexpr std::size_t kMaxRecords = 256;
using Record = std::array<std::uint8_t, kRecordBytes>;

enum Kind : std::uint8_t { kBlt = 0, kLock = 3, kText = 4, kColorKey = 5, kFlip = 6, kRemake = 7 };
// Blt flags.
constexpr std::uint8_t kKeyed = 1;
constexpr std::uint8_t kWholeDest = 2;
constexpr std::uint8_t kWholeSource = 4;
constexpr std::uint8_t kSameSize = 8;
// Lock flags.
constexpr std::uint8_t kLockPart = 1;
constexpr std::uint8_t kPattern = 2;
// Text flags.
constexpr std::uint8_t kOpaque = 1;
// SetColorKey flags.
constexpr std::uint8_t kRemoveKey = 1;
constexpr std::uint8_t kKeyRange = 2;

// Colours that keys meet: the game's magenta, colours a channel off it,
// magenta with a top byte of its own, and others.
constexpr std::array<std::uint32_t, 16> kPalette32 = {
    0x00FF00FF, 0x00000000, 0x00FFFFFF, 0x00FF00FE, 0x00FE00FF, 0xFFFF00FF, 0x00102030, 0x00203040,
    0x00808080, 0x0000FF00, 0x000000FF, 0x00FF0000, 0x12345678, 0x00FF01FF, 0x007F007F, 0x00C0C0C0};
constexpr std::array<std::uint32_t, 16> kPalette16 = {0xF81F, 0x0000, 0xFFFF, 0xF81E, 0xF01F, 0xF83F,
                                                      0x1234, 0x2345, 0x8410, 0x07E0, 0x001F, 0xF800,
                                                      0x5678, 0xF91F, 0x780F, 0xC618};
// "57", "57프레임" and a Latin word, in CP949.
constexpr std::array<const char*, 3> kTexts = {"57", "57\xC7\xC1\xB7\xB9\xC0\xD3", "HOPS"};
constexpr int kLineHeight = 15;

void store(std::uint8_t* memory, std::uint32_t pixel, int bits) {
  if (bits == 32) {
    std::memcpy(memory, &pixel, 4);
    return;
  }
  const auto low = static_cast<std::uint16_t>(pixel);
  std::memcpy(memory, &low, 2);
}

std::uint32_t colour(int bits, int index) { return (bits == 32 ? kPalette32 : kPalette16)[index & 15]; }

// --- The model: pixels and a key, and plain loops ---

struct Model {
  int width = 0;
  int height = 0;
  int bits = 32;
  std::vector<std::uint32_t> pixels;  // 16-bit pixels in the low half
  bool keyed = false;
  std::uint32_t low = 0;
  std::uint32_t high = 0;

  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A pixel is hidden when each of its channels lies between the key's.
bool hidden(std::uint32_t pixel, const Model& source) {
  static constexpr int kChannels32[3][2] = {{0, 8}, {8, 8}, {16, 8}};
  static constexpr int kChannels16[3][2] = {{0, 5}, {5, 6}, {11, 5}};
  for (const auto& channel : source.bits == 32 ? kChannels32 : kChannels16) {
    const std::uint32_t mask = (1u << channel[1]) - 1;
    const std::uint32_t value = (pixel >> channel[0]) & mask;
    if (value < ((source.low >> channel[0]) & mask) || value > ((source.high >> channel[0]) & mask))
      return false;
  }
  return true;
}

// Destination pixel (x, y) of `to` takes source pixel (x * sw / dw, y * sh /
// dh) of `from`, the ratios in 16.16 fixed point and truncated. src is not
// dst: a surface drawn onto itself is read from a copy.
void reference_blt(Model& dst, const RECT& to, const Model& src, const RECT& from, bool keyed) {
  const std::int64_t to_width = to.right - to.left;
  const std::int64_t to_height = to.bottom - to.top;
  const std::int64_t x_ratio = (static_cast<std::int64_t>(from.right - from.left) << 16) / to_width;
  const std::int64_t y_ratio = (static_cast<std::int64_t>(from.bottom - from.top) << 16) / to_height;
  for (std::int64_t y = 0; y < to_height; ++y) {
    for (std::int64_t x = 0; x < to_width; ++x) {
      const std::uint32_t pixel = src.at(from.left + static_cast<int>((x * x_ratio) >> 16),
                                         from.top + static_cast<int>((y * y_ratio) >> 16));
      if (!keyed || !hidden(pixel, src))
        dst.at(to.left + static_cast<int>(x), to.top + static_cast<int>(y)) = pixel;
    }
  }
}

// Glyphs are the font's: the model draws them with the same text calls on
// a device context over pixels of its own.
void reference_text(Model& model, int x, int y, int lines, bool opaque, COLORREF text_colour,
                    const char* text) {
  const int bytes_per_pixel = model.bits / 8;
  const int pitch = model.width * bytes_per_pixel;
  std::vector<std::uint8_t> memory(static_cast<std::size_t>(pitch) * model.height);
  for (std::size_t i = 0; i < model.pixels.size(); ++i)
    store(&memory[i * bytes_per_pixel], model.pixels[i], model.bits);
  HDC dc = platform::create_surface_dc(
      platform::PixelView{memory.data(), model.width, model.height, pitch, model.bits});
  SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
  SetTextColor(dc, text_colour);
  for (int line = 0; line < lines; ++line) {
    TextOutA(dc, x, y + line * kLineHeight, text, static_cast<int>(std::strlen(text)));
  }
  platform::release_surface_dc(dc);
  const platform::testing::SurfaceView drawn{memory.data(), model.width, model.height, pitch, model.bits};
  for (int row = 0; row < model.height; ++row) {
    for (int column = 0; column < model.width; ++column) model.at(column, row) = drawn.at(column, row);
  }
}

// Four bytes as a rectangle inside width x height, never empty.
RECT rect_of(const std::uint8_t* bytes, int width, int height) {
  const int left = bytes[0] % width;
  const int top = bytes[1] % height;
  const int right = left + 1 + bytes[2] % (width - left);
  const int bottom = top + 1 + bytes[3] % (height - top);
  return RECT{left, top, right, bottom};
}

std::string describe(const RECT& rect) {
  std::ostringstream text;
  text << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
  return text.str();
}

// --- The surfaces and their model, side by side ---

class World {
 public:
  World() = default;
  World(const World&) = delete;
  World& operator=(const World&) = delete;
  ~World() {
    for (IDirectDrawSurface7* surface : surfaces_) {
      if (surface != nullptr && surface != surfaces_[kBack]) surface->Release();
    }
    if (surfaces_[kBack] != nullptr) surfaces_[kBack]->Release();
    if (dd_ != nullptr) dd_->Release();
    // A fuzzer's millions of worlds leave no windows behind.
    DestroyWindow(window_);
  }

  // The display at `bits` with its flipping chain and the other surfaces,
  // all black; false with a reason in log_ when any of it fails.
  bool open(int bits) {
    bits_ = bits;
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.lpszClassName = "SurfaceOps";
    RegisterClassA(&window_class);
    window_ = CreateWindowExA(0, "SurfaceOps", "surface operations", WS_POPUP, 0, 0, kWidth, kHeight, nullptr,
                              nullptr, nullptr, nullptr);
    if (DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd_), IID_IDirectDraw7, nullptr) != DD_OK ||
        dd_->SetCooperativeLevel(window_, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK ||
        dd_->SetDisplayMode(kWidth, kHeight, static_cast<DWORD>(bits), 0, 0) != DD_OK) {
      log_ << "the display could not be set up\n";
      return false;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    DDSCAPS2 back_caps{};
    back_caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (dd_->CreateSurface(&desc, &surfaces_[kFront], nullptr) != DD_OK ||
        surfaces_[kFront]->GetAttachedSurface(&back_caps, &surfaces_[kBack]) != DD_OK) {
      log_ << "the flipping chain could not be made\n";
      return false;
    }
    blank(kFront, kWidth, kHeight, bits);
    blank(kBack, kWidth, kHeight, bits);
    for (int index = 2; index < kSurfaces; ++index) {
      if (!make(index)) return false;
    }
    return true;
  }

  // Does one operation on the surfaces and the model; false when they
  // disagree, with the reason in log_.
  bool apply(const Record& record) {
    ++done_;
    log_ << done_ << ": ";
    const int kind = record[0] % 8;
    bool done = false;
    switch (kind) {
      case kLock:
        done = lock(record);
        break;
      case kText:
        done = text(record);
        break;
      case kColorKey:
        done = colour_key(record);
        break;
      case kFlip:
        done = flip();
        break;
      case kRemake:
        done = remake(record);
        break;
      default:
        done = blt(record);
        break;
    }
    // The front page is on the screen, which must show what it holds at once.
    const bool shown = kind == kFlip || (kind != kRemake && record[1] % kSurfaces == kFront);
    drawn_on_front_ = kind != kFlip && (drawn_on_front_ || shown);
    return done && agree() && (!shown || screen_agrees());
  }

  std::string report() const { return log_.str(); }

 private:
  void blank(int index, int width, int height, int bits) {
    Model& model = models_[index];
    model = Model{};
    model.width = width;
    model.height = height;
    model.bits = bits;
    model.pixels.assign(static_cast<std::size_t>(width) * height, 0);
  }

  bool make(int index) {
    const bool small = index == 4 || index == 7;
    const int bits = index < kFirstOther ? bits_ : 48 - bits_;
    const int width = small ? kSmallWidth : kWidth;
    const int height = small ? kSmallHeight : kHeight;
    DDSURFACEDESC2 desc = platform::testing::plain_surface_description(
        width, height, bits, index % 2 == 0 ? DDSCAPS_SYSTEMMEMORY : DDSCAPS_VIDEOMEMORY);
    if (dd_->CreateSurface(&desc, &surfaces_[index], nullptr) != DD_OK) {
      log_ << "surface " << index << " could not be made\n";
      return false;
    }
    blank(index, width, height, bits);
    return true;
  }

  bool blt(const Record& record) {
    const int to_index = record[1] % kSurfaces;
    const int first = to_index < kFirstOther ? 0 : kFirstOther;
    const int count = to_index < kFirstOther ? kFirstOther : kSurfaces - kFirstOther;
    const int from_index = first + record[2] % count;
    Model& dst = models_[to_index];
    const Model& src = models_[from_index];
    const std::uint8_t flags = record[3];
    const bool keyed = (flags & kKeyed) != 0;
    const bool whole_source = (flags & kWholeSource) != 0;
    RECT from = whole_source ? RECT{0, 0, src.width, src.height} : rect_of(&record[8], src.width, src.height);
    bool whole_dest = (flags & kWholeDest) != 0;
    RECT to = RECT{0, 0, dst.width, dst.height};
    if ((flags & kSameSize) != 0) {
      // The source's rectangle, cut to fit the destination, at a place of
      // the destination.
      const int width = std::min<int>(from.right - from.left, dst.width);
      const int height = std::min<int>(from.bottom - from.top, dst.height);
      from.right = from.left + width;
      from.bottom = from.top + height;
      to.left = record[4] % (dst.width - width + 1);
      to.top = record[5] % (dst.height - height + 1);
      to.right = to.left + width;
      to.bottom = to.top + height;
      whole_dest = false;
    } else if (!whole_dest) {
      to = rect_of(&record[4], dst.width, dst.height);
    }
    const bool from_whole =
        from.left == 0 && from.top == 0 && from.right == src.width && from.bottom == src.height;
    log_ << "Blt onto " << to_index << " " << (whole_dest ? "whole" : describe(to)) << " from " << from_index
         << " " << (whole_source && from_whole ? "whole" : describe(from)) << (keyed ? " keyed" : "") << "\n";

    RECT to_copy = to;
    RECT from_copy = from;
    const HRESULT result = surfaces_[to_index]->Blt(whole_dest ? nullptr : &to_copy, surfaces_[from_index],
                                                    whole_source && from_whole ? nullptr : &from_copy,
                                                    DDBLT_WAIT | (keyed ? DDBLT_KEYSRC : 0), nullptr);
    const HRESULT expected = keyed && !src.keyed ? DDERR_INVALIDPARAMS : DD_OK;
    if (result != expected) {
      log_ << "Blt returned 0x" << std::hex << result << ", expected 0x" << expected << std::dec << "\n";
      return false;
    }
    if (result != DD_OK) return true;
    if (from_index == to_index) {
      const Model before = src;
      reference_blt(dst, to, before, from, keyed);
    } else {
      reference_blt(dst, to, src, from, keyed);
    }
    return true;
  }

  bool lock(const Record& record) {
    const int index = record[1] % kSurfaces;
    Model& model = models_[index];
    const std::uint8_t flags = record[3];
    const RECT area = (flags & kLockPart) != 0 ? rect_of(&record[4], model.width, model.height)
                                               : RECT{0, 0, model.width, model.height};
    const int area_width = area.right - area.left;
    const int area_height = area.bottom - area.top;
    const RECT fill = rect_of(&record[8], area_width, area_height);
    log_ << "Lock " << index << " " << describe(area) << ", write " << describe(fill) << " of it with colour "
         << (record[2] & 15) << ((flags & kPattern) != 0 ? " onwards" : "") << "\n";

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    RECT area_copy = area;
    if (surfaces_[index]->Lock((flags & kLockPart) != 0 ? &area_copy : nullptr, &desc, DDLOCK_WAIT,
                               nullptr) != DD_OK) {
      log_ << "Lock failed\n";
      return false;
    }
    const int bytes_per_pixel = model.bits / 8;
    const auto pixel_at = [&](int x, int y) {
      return static_cast<std::uint8_t*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch +
             static_cast<std::ptrdiff_t>(x) * bytes_per_pixel;
    };
    // What the lock shows is what the surface holds.
    const platform::testing::SurfaceView locked{desc.lpSurface, area_width, area_height,
                                                static_cast<int>(desc.lPitch), model.bits};
    for (int y = 0; y < area_height; ++y) {
      for (int x = 0; x < area_width; ++x) {
        const std::uint32_t held = locked.at(x, y);
        if (held != model.at(area.left + x, area.top + y)) {
          log_ << "the lock shows 0x" << std::hex << held << " at (" << std::dec << area.left + x << ", "
               << area.top + y << "), expected 0x" << std::hex << model.at(area.left + x, area.top + y)
               << std::dec << "\n";
          surfaces_[index]->Unlock(nullptr);
          return false;
        }
      }
    }
    for (int y = fill.top; y < fill.bottom; ++y) {
      for (int x = fill.left; x < fill.right; ++x) {
        const int step = (flags & kPattern) != 0 ? x + 3 * y : 0;
        const std::uint32_t value = colour(model.bits, record[2] + step);
        store(pixel_at(x, y), value, model.bits);
        model.at(area.left + x, area.top + y) = value;
      }
    }
    if (surfaces_[index]->Unlock(nullptr) != DD_OK) {
      log_ << "Unlock failed\n";
      return false;
    }
    return true;
  }

  bool text(const Record& record) {
    const int index = record[1] % kSurfaces;
    Model& model = models_[index];
    const bool opaque = (record[3] & kOpaque) != 0;
    const int lines = 1 + (record[3] >> 1) % 3;
    const int x = record[4] % (model.width + 16) - 8;
    const int y = record[5] % (model.height + 16) - 8;
    const char* words = kTexts[record[6] % kTexts.size()];
    const COLORREF text_colour = RGB(record[8], record[9], record[10]);
    log_ << "GetDC " << index << ", TextOutA text " << record[6] % kTexts.size() << " at (" << x << ", " << y
         << ") " << lines << " lines " << (opaque ? "opaque" : "transparent") << ", ReleaseDC\n";

    HDC dc = nullptr;
    if (surfaces_[index]->GetDC(&dc) != DD_OK) {
      log_ << "GetDC failed\n";
      return false;
    }
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    SetTextColor(dc, text_colour);
    for (int line = 0; line < lines; ++line) {
      TextOutA(dc, x, y + line * kLineHeight, words, static_cast<int>(std::strlen(words)));
    }
    if (surfaces_[index]->ReleaseDC(dc) != DD_OK) {
      log_ << "ReleaseDC failed\n";
      return false;
    }
    reference_text(model, x, y, lines, opaque, text_colour, words);
    return true;
  }

  bool colour_key(const Record& record) {
    const int index = record[1] % kSurfaces;
    Model& model = models_[index];
    const std::uint8_t flags = record[3];
    HRESULT result = DD_OK;
    if ((flags & kRemoveKey) != 0) {
      log_ << "SetColorKey " << index << " removed\n";
      result = surfaces_[index]->SetColorKey(DDCKEY_SRCBLT, nullptr);
      model.keyed = false;
    } else {
      // Without DDCKEY_COLORSPACE the high value is there but not used.
      const bool range = (flags & kKeyRange) != 0;
      DDCOLORKEY key{colour(model.bits, record[2]), colour(model.bits, record[8])};
      if (range) key.dwColorSpaceHighValue |= key.dwColorSpaceLowValue;
      log_ << "SetColorKey " << index << " colour " << (record[2] & 15);
      if (range) log_ << " to colour " << (record[8] & 15) << " over it";
      log_ << "\n";
      result = surfaces_[index]->SetColorKey(range ? DDCKEY_SRCBLT | DDCKEY_COLORSPACE : DDCKEY_SRCBLT, &key);
      model.keyed = true;
      model.low = key.dwColorSpaceLowValue;
      model.high = range ? key.dwColorSpaceHighValue : key.dwColorSpaceLowValue;
    }
    if (result != DD_OK) {
      log_ << "SetColorKey failed\n";
      return false;
    }
    return true;
  }

  bool flip() {
    log_ << "Flip\n";
    if (surfaces_[kFront]->Flip(nullptr, DDFLIP_WAIT) != DD_OK) {
      log_ << "Flip failed\n";
      return false;
    }
    std::swap(models_[kFront].pixels, models_[kBack].pixels);
    return changes_show_the_flip();
  }

  // A display that takes only what each flip says changed, on what it took
  // of the flips before, shows what the front page holds; and every side of
  // a changed rectangle touches a pixel that changed (but for drawing on the
  // front page, which counts as changed wherever it went).
  bool changes_show_the_flip() {
    const Model& front = models_[kFront];
    const platform::ChangedArea& changed = platform::testing::changes();
    if (changed.is_everything() || displayed_.size() != front.pixels.size()) {
      displayed_ = front.pixels;
      return true;
    }
    const auto changed_at = [&](LONG x, LONG y) {
      return displayed_[static_cast<std::size_t>(y) * front.width + x] != front.at(x, y);
    };
    for (const RECT& rect : drawn_on_front_ ? std::vector<RECT>{} : changed.rectangles()) {
      bool sides[4] = {};
      for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
          if (!changed_at(x, y)) continue;
          sides[0] |= x == rect.left, sides[1] |= y == rect.top;
          sides[2] |= x == rect.right - 1, sides[3] |= y == rect.bottom - 1;
        }
      }
      if (!(sides[0] && sides[1] && sides[2] && sides[3])) {
        log_ << "the flip says (" << rect.left << ", " << rect.top << ")-(" << rect.right << ", "
             << rect.bottom << ") changed, more than did\n";
        return false;
      }
    }
    for (const RECT& rect : changed.rectangles())
      for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
          displayed_[static_cast<std::size_t>(y) * front.width + x] = front.at(x, y);
    for (int y = 0; y < front.height; ++y) {
      for (int x = 0; x < front.width; ++x) {
        if (displayed_[static_cast<std::size_t>(y) * front.width + x] == front.at(x, y)) continue;
        log_ << "the flip's changes leave (" << x << ", " << y << ") as it was\n";
        return false;
      }
    }
    return true;
  }

  bool remake(const Record& record) {
    const int index = 2 + record[1] % (kSurfaces - 2);
    log_ << "Release " << index << " and make it anew\n";
    surfaces_[index]->Release();
    surfaces_[index] = nullptr;
    return make(index);
  }

  // Every surface holds what its model holds.
  bool agree() {
    for (int index = 0; index < kSurfaces; ++index) {
      const platform::testing::SurfaceView held = platform::testing::surface_view(surfaces_[index]);
      const Model& model = models_[index];
      for (int y = 0; y < model.height; ++y) {
        if (same_row(held, model, y)) continue;
        for (int x = 0; x < model.width; ++x) {
          if (held.at(x, y) == model.at(x, y)) continue;
          log_ << "surface " << index << " holds 0x" << std::hex << held.at(x, y) << " at (" << std::dec << x
               << ", " << y << "), expected 0x" << std::hex << model.at(x, y) << std::dec << "\n";
          return false;
        }
      }
    }
    return true;
  }

  bool screen_agrees() {
    if (platform::testing::flip_count() == 0) return true;
    const platform::testing::Screen screen = platform::testing::screen();
    const Model& front = models_[kFront];
    for (int y = 0; y < front.height; ++y) {
      for (int x = 0; x < front.width; ++x) {
        const std::uint32_t expected =
            front.bits == 32 ? front.at(x, y) : platform::widen_565(front.at(x, y));
        if (screen.at(x, y) == expected) continue;
        log_ << "the screen shows 0x" << std::hex << screen.at(x, y) << " at (" << std::dec << x << ", " << y
             << "), expected 0x" << std::hex << expected << std::dec << "\n";
        return false;
      }
    }
    return true;
  }

  static bool same_row(const platform::testing::SurfaceView& held, const Model& model, int y) {
    const std::uint8_t* row = held.row(y);
    const std::uint32_t* expected = &model.pixels[static_cast<std::size_t>(y) * model.width];
    if (model.bits == 32) return std::memcmp(row, expected, static_cast<std::size_t>(model.width) * 4) == 0;
    for (int x = 0; x < model.width; ++x) {
      std::uint16_t pixel;
      std::memcpy(&pixel, row + 2 * x, 2);
      if (pixel != expected[x]) return false;
    }
    return true;
  }

  HWND window_ = nullptr;
  IDirectDraw7* dd_ = nullptr;
  int bits_ = 32;
  std::array<IDirectDrawSurface7*, kSurfaces> surfaces_{};
  std::array<Model, kSurfaces> models_{};
  // The screen of a display that redraws only what flips change.
  std::vector<std::uint32_t> displayed_;
  bool drawn_on_front_ = false;
  std::ostringstream log_;
  int done_ = 0;
};

// --- The game's sequences, written as records ---

class Recorder {
 public:
  explicit Recorder(int bits) { bytes_.push_back(bits == 16 ? 1 : 0); }

  // A picture loaded as the game loads one: locked whole, written, keyed
  // with the game's magenta. fills are {colour, left, top, width, height}.
  Recorder& picture(int index, std::initializer_list<std::array<int, 5>> fills) {
    for (const auto& fill : fills) record(kLock, index, fill[0], 0, {0, 0, 0, 0}, rect(fill));
    return record(kColorKey, index, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0});
  }
  // A whole keyed blit of a picture as large as the page.
  Recorder& whole(int to, int from) {
    return record(kBlt, to, from, kKeyed | kWholeDest | kWholeSource, {0, 0, 0, 0}, {0, 0, 0, 0});
  }
  Recorder& sprite(int to, int from, int x, int y) {
    return record(kBlt, to, from, kKeyed | kWholeSource | kSameSize, {x, y, 0, 0}, {0, 0, 0, 0});
  }
  Recorder& stretched(int to, int from, int x, int y, int width, int height) {
    return record(kBlt, to, from, kKeyed | kWholeSource, {x, y, width - 1, height - 1}, {0, 0, 0, 0});
  }
  // The frame rate in the corner, in red on the picture.
  Recorder& status_text(int index) { return record(kText, index, 0, 0, {8, 8, 0, 0}, {255, 0, 0, 0}); }
  Recorder& flip() { return record(kFlip, 0, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}); }

  std::vector<std::uint8_t> bytes() const { return bytes_; }

 private:
  static std::array<int, 4> rect(const std::array<int, 5>& fill) {
    return {fill[1], fill[2], fill[3] - 1, fill[4] - 1};
  }
  Recorder& record(int kind, int index, int other, int flags, const std::array<int, 4>& first,
                   const std::array<int, 4>& second) {
    for (const int value : {kind, index, other, flags}) bytes_.push_back(static_cast<std::uint8_t>(value));
    for (const int value : first) bytes_.push_back(static_cast<std::uint8_t>(value));
    for (const int value : second) bytes_.push_back(static_cast<std::uint8_t>(value));
    return *this;
  }

  std::vector<std::uint8_t> bytes_;
};

constexpr int kSky = 2;
constexpr int kField = 3;
constexpr int kSprite = 4;

// The night sky hides nothing under the key; the play field is key above
// the ground and a ledge; a figure is key around its body.
Recorder& load_play(Recorder& sequence) {
  return sequence.picture(kSky, {{6, 0, 0, kWidth, kHeight}, {7, 0, 0, kWidth, 12}, {8, 5, 3, 2, 2}})
      .picture(kField, {{0, 0, 0, kWidth, kHeight}, {9, 0, 38, kWidth, 8}, {10, 12, 26, 20, 3}})
      .picture(
          kSprite,
          {{0, 0, 0, kSmallWidth, kSmallHeight}, {12, 2, 0, 5, kSmallHeight}, {13, 0, 2, kSmallWidth, 3}});
}

// One frame of play: the backdrop, the player, a bullet, two balls, the text.
Recorder& play_frame(Recorder& sequence, int frame) {
  return sequence.whole(kBack, kSky)
      .whole(kBack, kField)
      .sprite(kBack, kSprite, 10 + 3 * frame, kHeight - kSmallHeight)
      .sprite(kBack, kSprite, 30, 20 - 2 * frame)
      .stretched(kBack, kSprite, 5 + frame, 4, 14, 14)
      .stretched(kBack, kSprite, 40 - frame, 10, 4, 4)
      .status_text(kBack)
      .flip();
}

// The title or ending picture: a framed panel over the sky.
Recorder& load_panel(Recorder& sequence, int colour) {
  return sequence.picture(kField, {{0, 0, 0, kWidth, kHeight}, {colour, 8, 6, 46, 30}, {0, 14, 12, 34, 18}});
}

Recorder& panel_frame(Recorder& sequence) {
  return sequence.whole(kBack, kSky).whole(kBack, kField).status_text(kBack).flip();
}

}  // namespace

std::string run(const std::uint8_t* data, std::size_t size) {
  platform::testing::reset();
  World world;
  const int bits = size > 0 && (data[0] & 1) != 0 ? 16 : 32;
  if (!world.open(bits)) return world.report();
  const std::size_t records = size > 0 ? std::min((size - 1) / kRecordBytes, kMaxRecords) : 0;
  for (std::size_t i = 0; i < records; ++i) {
    Record record;
    std::memcpy(record.data(), data + 1 + i * kRecordBytes, kRecordBytes);
    if (!world.apply(record)) return "display of " + std::to_string(bits) + " bits\n" + world.report();
  }
  return {};
}

std::vector<Sequence> game_sequences() {
  std::vector<Sequence> result;
  for (const int bits : {32, 16}) {
    // Appended, never prepended: GCC 12 at -O3 takes a literal joined in
    // front of a string for an overlapping copy of 2^63 bytes.
    const auto named = [bits](std::string what) { return what.append("_").append(std::to_string(bits)); };
    Recorder title(bits);
    load_play(title);
    load_panel(title, 11);
    for (int frame = 0; frame < 4; ++frame) panel_frame(title);
    result.push_back({named("title"), title.bytes()});

    Recorder play(bits);
    load_play(play);
    for (int frame = 0; frame < 8; ++frame) play_frame(play, frame);
    result.push_back({named("play"), play.bytes()});

    Recorder ending(bits);
    load_play(ending);
    for (int frame = 0; frame < 3; ++frame) play_frame(ending, frame);
    load_panel(ending, 14);
    for (int frame = 0; frame < 3; ++frame) panel_frame(ending);
    result.push_back({named("ending"), ending.bytes()});
  }
  return result;
}

}  // namespace surface_ops
