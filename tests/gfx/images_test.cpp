#include "gfx/images.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "game/main_game.h"
#include "support/bmp_file.h"
#include "support/game_pictures.h"
#include "support/test_display.h"

#if defined(__SANITIZE_ADDRESS__)
#define HOPS_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOPS_TEST_ASAN 1
#endif
#endif

namespace {

namespace pt = platform::testing;
using hops_test::Rgb;

constexpr Rgb kMagenta{255, 0, 255};
constexpr std::uint32_t kFill = 0x00070707;

// A picture of the colours in one row, drawn at the top-left corner of a
// display of `bits` over kFill; what the row shows is its pixel format.
TEST(ImagesFormat, FilePixelsBecomeDisplayPixelsAndOnlyTheKeyIsTransparent) {
  const struct {
    DWORD bits;
    std::vector<Rgb> file;
    std::vector<std::uint32_t> shown;
  } rows[] = {
      {32,
       {{0x30, 0x20, 0x10}, kMagenta, {255, 1, 255}, {254, 0, 255}, {255, 0, 254}},
       {0x302010, kFill, 0xFF01FF, 0xFE00FF, 0xFF00FE}},
      {16,
       {{0x30, 0x20, 0x10}, kMagenta, {248, 3, 248}, {255, 0, 247}, {247, 0, 255}, {255, 4, 255}},
       {0x3102, kFill & 0xFFFF, kFill & 0xFFFF, 0xF81E, 0xF01F, 0xF83F}},
  };
  for (const auto& row : rows) {
    pt::reset();
    hops_test::TestDisplay display(row.bits);
    CImages image;
    const int nWidth = static_cast<int>(row.file.size());
    ASSERT_TRUE(display.load(image, nWidth, 1, [&](int x, int) { return row.file[x]; }));
    EXPECT_EQ(image.GetWidth(), nWidth);
    display.fill(kFill);
    image.Draw(display.back(), 0, 0);
    const pt::Screen screen = display.read();
    EXPECT_EQ(std::vector<std::uint32_t>(screen.pixels.begin(), screen.pixels.begin() + nWidth), row.shown)
        << row.bits;
    EXPECT_EQ(screen.at(0, 1), kFill & (row.bits == 16 ? 0xFFFF : 0xFFFFFFFF));
    EXPECT_TRUE(pt::message_boxes().empty());
  }
}

class ImagesTest : public ::testing::Test {
 protected:
  hops_test::TestDisplay m_Display;
  std::string m_Dir = hops_test::make_temp_dir();
};

std::uint32_t Pattern(int x, int y) {
  return static_cast<std::uint32_t>((x * 7) ^ (y * 131)) * 2654435761u & 0xFFFFFF;
}
Rgb PatternRgb(int x, int y) {
  const std::uint32_t c = Pattern(x, y);
  return Rgb{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
             static_cast<std::uint8_t>(c)};
}

// Rows bottom-up, each padded to four bytes (the padding filled here so that
// it shows if read as a pixel), more than one read chunk of pixels, and
// bytes after them that are ignored.
TEST_F(ImagesTest, APatternedPictureArrivesWholeThroughEveryRowAndChunk) {
  std::vector<std::uint8_t> bytes = hops_test::bmp_bytes(401, 300, [](int x, int y) {
    const Rgb c = PatternRgb(x, y);
    return c.r == 255 && c.g == 0 && c.b == 255 ? Rgb{} : c;
  });
  for (int row = 0; row < 300; row++) bytes[54 + row * 1204 + 1203] = 0xEE;
  bytes.insert(bytes.end(), 7, 0xAA);
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(m_Display.dd(), hops_test::write_file(m_Dir, "p.bmp", bytes).c_str()));
  m_Display.fill(0);
  image.Draw(m_Display.back(), 600, 400);
  const pt::Screen screen = m_Display.read();
  int nWrong = 0;
  for (int y = 0; y < 768; y++)
    for (int x = 0; x < 1024; x++) {
      const bool bInside = x >= 600 && x < 1001 && y >= 400 && y < 700;
      nWrong += screen.at(x, y) != (bInside ? Pattern(x - 600, y - 400) : 0);
    }
  EXPECT_EQ(nWrong, 0);
}

// No clipper: a picture drawn past any edge of the surface is not drawn at all.
TEST_F(ImagesTest, DrawAndDrawScaledFillTheirRectangleOrNothing) {
  CImages image;
  ASSERT_TRUE(m_Display.load(image, 100, 50, [](int, int) { return Rgb{0x40, 0x80, 0xC0}; }));
  const struct {
    int nX, nY;
    float fScale;  // 0 for Draw
    hops_test::Box box;
  } rows[] = {
      {924, 718, 0, {924, 718, 1024, 768}},
      {925, 718, 0, {}},
      {924, 719, 0, {}},
      {-1, 0, 0, {}},
      {0, -500, 0, {}},
      {10, 20, 0.5f, {10, 20, 60, 45}},
      {100, 200, (float)(18.0 / 150.0), {100, 200, 111, 205}},  // 100 x 0.12f falls short of 12
      {-50, -50, 1.0f, {}},
      {1000, 100, 0.3f, {}},
      {0, 0, 10.24f, {0, 0, 1023, 511}},
  };
  for (const auto& row : rows) {
    m_Display.fill(0);
    if (row.fScale == 0) {
      image.Draw(m_Display.back(), row.nX, row.nY);
    } else {
      image.DrawScaled(m_Display.back(), row.nX, row.nY, row.fScale);
    }
    const pt::Screen screen = m_Display.read();
    const hops_test::Box box = hops_test::colour_box(screen, 0x4080C0);
    EXPECT_EQ(std::vector<int>({box.left, box.top, box.right, box.bottom}),
              row.box.empty() ? std::vector<int>({1024, 768, 0, 0})
                              : std::vector<int>({row.box.left, row.box.top, row.box.right, row.box.bottom}))
        << row.nX << "," << row.nY << " x " << row.fScale;
    EXPECT_EQ(hops_test::count_colour(screen, 0),
              1024 * 768 - (row.box.right - row.box.left) * (row.box.bottom - row.box.top));
  }
}

// Blend averages every byte, truncating, over the part of the picture the
// screen holds: a picture wider and taller than the screen, patterned so
// that a row read with the wrong pitch shows.
TEST_F(ImagesTest, BlendAveragesThePictureIntoTheScreenRowByRow) {
  CImages image;
  ASSERT_TRUE(m_Display.load(image, 1030, 770, PatternRgb));
  const auto screen_pattern = [](int x, int y) { return Pattern(y, x) ^ 0x5A5A5A; };
  hops_test::paint_surface(m_Display.back(), screen_pattern);
  const pt::Screen before = m_Display.read();

  // A refused lock of the screen, then of the picture after the screen's:
  // nothing changes, and the screen is unlocked again.
  pt::fail_call(pt::Call::Lock, 1, DDERR_SURFACELOST);
  image.Blend(m_Display.back());
  pt::fail_call(pt::Call::Lock, 2, DDERR_SURFACELOST);
  image.Blend(m_Display.back());
  EXPECT_EQ(m_Display.read().pixels, before.pixels);

  image.Blend(m_Display.back());
  const pt::Screen after = m_Display.read();
  int nWrong = 0;
  for (int y = 0; y < 768; y++)
    for (int x = 0; x < 1024; x++) {
      std::uint32_t expected = 0;
      for (int shift : {0, 8, 16})
        expected |= ((((Pattern(x, y) >> shift) & 0xFF) + ((screen_pattern(x, y) >> shift) & 0xFF)) / 2)
                    << shift;
      nWrong += after.at(x, y) != expected;
    }
  EXPECT_EQ(nWrong, 0);
  EXPECT_EQ(after.at(0, 0), 0x2D2D2Du);  // (0 + 0x5A) / 2 in each byte
}

void ExpectLoadFailureBoxes(std::size_t nCount) {
  ASSERT_EQ(pt::message_boxes().size(), nCount);
  for (const auto& box : pt::message_boxes()) {
    EXPECT_EQ(box.text, "비트맵 로드 실패");
    EXPECT_EQ(box.caption, "실패");
  }
}

// A failed load shows one box, keeps the width the file's header gave and
// no surface, and the picture then draws nothing.
TEST(ImagesFailure, OneBoxTheHeadersWidthNoSurfaceAndNothingDrawn) {
  const struct {
    DWORD bits;
    pt::Call call;
    HRESULT result;
  } rows[] = {
      {32, pt::Call::CreateOffscreenSurface, DDERR_OUTOFMEMORY},
      {32, pt::Call::Lock, DDERR_SURFACELOST},
      {16, pt::Call::CreateOffscreenSurface, DDERR_OUTOFVIDEOMEMORY},
      {16, pt::Call::Lock, DDERR_SURFACELOST},
  };
  for (const auto& row : rows) {
    pt::reset();
    hops_test::TestDisplay display(row.bits);
    const int nLive = pt::live_objects();
    {
      CImages image;
      ASSERT_TRUE(display.load(image, 100, 50, [](int, int) { return Rgb{1, 2, 3}; }));
      EXPECT_EQ(pt::live_objects(), nLive + 1);
    }
    EXPECT_EQ(pt::live_objects(), nLive);

    pt::fail_call(row.call, 1, row.result);
    CImages image;
    EXPECT_FALSE(display.load(image, 100, 50, [](int, int) { return Rgb{1, 2, 3}; }));
    ExpectLoadFailureBoxes(1);
    EXPECT_EQ(image.GetWidth(), 100);
    EXPECT_EQ(pt::live_objects(), nLive);
    display.fill(kFill);
    image.Draw(display.back(), 0, 0);
    image.DrawScaled(display.back(), 0, 0, 0.5f);
    if (row.bits == 32) image.Blend(display.back());
    EXPECT_EQ(hops_test::count_colour(display.read(), kFill & (row.bits == 16 ? 0xFFFF : 0xFFFFFFFF)),
              1024 * 768);
  }
}

// Lowers the address-space limit for the scope, so that a loader that
// believes a header's sizes and allocates them fails loudly. Sanitizer
// runtimes reserve terabytes of shadow memory and cannot run under it.
class AddressSpaceCap {
 public:
  explicit AddressSpaceCap(std::size_t headroom) {
#if !defined(HOPS_TEST_ASAN)
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    if (pages == 0 || getrlimit(RLIMIT_AS, &saved_) != 0) return;
    rlimit capped = saved_;
    capped.rlim_cur = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + headroom;
    active_ = setrlimit(RLIMIT_AS, &capped) == 0;
#else
    (void)headroom;
#endif
  }
  ~AddressSpaceCap() {
    if (active_) setrlimit(RLIMIT_AS, &saved_);
  }

 private:
  rlimit saved_{};
  bool active_ = false;
};

std::vector<std::uint8_t> Damaged(std::size_t nSize, std::vector<std::pair<std::size_t, std::int64_t>> fields,
                                  std::size_t nFieldBytes = 4) {
  std::vector<std::uint8_t> bytes = hops_test::bmp_bytes(4, 4, [](int x, int y) { return PatternRgb(x, y); });
  for (const auto& [offset, value] : fields) {
    if (nFieldBytes == 2) {
      hops_test::put_u16(bytes, offset, static_cast<std::uint16_t>(value));
    } else {
      hops_test::put_u32(bytes, offset, static_cast<std::uint32_t>(value));
    }
  }
  bytes.resize(nSize == 0 ? bytes.size() : nSize);
  return bytes;
}

// A 60-byte file whose headers claim a picture of width x height.
std::vector<std::uint8_t> Claiming(std::int64_t width, std::int64_t height) {
  return Damaged(60, {{2, 54 + ((width * 3 + 3) & ~3) * height}, {18, width}, {22, height}});
}

TEST_F(ImagesTest, DamagedAndForeignFilesAreReportedLikeFailedLoads) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int nWidth;  // what GetWidth gives afterwards
  } rows[] = {
      {"empty", {}, 0},
      {"truncated file header", Damaged(10, {}), 0},
      {"truncated info header", Damaged(53, {}), 0},
      {"headers only", Damaged(54, {}), 4},
      {"last pixel byte missing", Damaged(54 + 48 - 1, {}), 4},
      {"32 bits a pixel", Damaged(0, {{28, 32}}, 2), 4},
      {"8 bits a pixel", Damaged(0, {{28, 8}}, 2), 4},
      {"run-length compressed", Damaged(0, {{30, 1}}), 4},
      {"top-down rows", Damaged(0, {{22, -4}}), 4},
      {"negative width", Damaged(0, {{18, -4}}), -4},
      {"zero width", Damaged(0, {{18, 0}}), 0},
      {"zero height", Damaged(0, {{22, 0}}), 4},
      {"pixels elsewhere", Damaged(0, {{10, 138}}), 4},
      {"larger info header", Damaged(0, {{14, 124}}), 4},
      {"not a BMP signature", Damaged(0, {{0, 0x5A4D}}, 2), 4},
      {"text file", std::vector<std::uint8_t>(100, 'A'), 0x41414141},
      {"100000 x 100000 in 60 bytes", Claiming(100000, 100000), 100000},
      {"16385 wide", Claiming(16385, 1), 16385},
      {"16384 x 16384 in 60 bytes", Claiming(16384, 16384), 16384},
      {"bfSize far beyond the file", Damaged(60, {{2, 0xFFFFFFFF}}), 4},
  };
  m_Display.fill(kFill);
  const int nLive = pt::live_objects();
  std::size_t nBoxes = 0;
  for (const auto& row : rows) {
    const std::string path = hops_test::write_file(m_Dir, "damaged.bmp", row.bytes);
    {
      AddressSpaceCap cap(64u << 20);
      CImages image32, image16;
      EXPECT_FALSE(image32.LoadBitmap32(m_Display.dd(), path.c_str())) << row.what;
      EXPECT_FALSE(image16.LoadBitmap16(m_Display.dd(), path.c_str())) << row.what;
      EXPECT_EQ(image32.GetWidth(), row.nWidth) << row.what;
      image32.Draw(m_Display.back(), 0, 0);
      image16.Draw(m_Display.back(), 0, 0);
    }
    ExpectLoadFailureBoxes(nBoxes += 2);
    EXPECT_EQ(pt::live_objects(), nLive) << row.what;
  }
  CImages missing, pipe;
  EXPECT_FALSE(missing.LoadBitmap32(m_Display.dd(), (m_Dir + "/none.bmp").c_str()));
  EXPECT_EQ(missing.GetWidth(), 0);
  // A named pipe in a picture's place is refused at once, never waited on.
  ASSERT_EQ(mkfifo((m_Dir + "/pipe.bmp").c_str(), 0644), 0);
  EXPECT_FALSE(pipe.LoadBitmap32(m_Display.dd(), (m_Dir + "/pipe.bmp").c_str()));
  ExpectLoadFailureBoxes(nBoxes + 2);
  EXPECT_EQ(hops_test::count_colour(m_Display.read(), kFill), 1024 * 768);
}

// The game's own pictures, from the build's IMG folder: their sizes, the
// ball round in its square, the figure standing in the player's rectangle
// (20 in from the left, 50 down), and the status corner clear of the text's red.
TEST_F(ImagesTest, TheGamesPicturesHaveTheirSizesAndShapes) {
  const struct {
    const char* file;
    int nWidth, nHeight;
    hops_test::Box within;  // the opaque pixels lie inside
    std::vector<std::pair<int, int>> solid, clear;
  } rows[] = {
      {".\\IMG\\IMG_BACK.bmp", 1024, 768, {0, 0, 1024, 768}, {{0, 0}, {1023, 767}}, {}},
      {".\\IMG\\IMG_BACKGROUND.bmp", 1024, 768, {0, 1, 1024, 768}, {{512, 767}}, {}},
      {".\\IMG\\IMG_PLAYER.bmp", 91, 150, {20, 50, 70, 150}, {{45, 100}, {45, 149}}, {}},
      {".\\IMG\\IMG_BULLET.bmp", 16, 32, {0, 0, 16, 32}, {{8, 16}}, {}},
      {".\\IMG\\IMG_BALL.bmp",
       300,
       300,
       {0, 0, 300, 300},
       {{150, 150}, {150, 5}, {5, 150}, {294, 150}, {150, 294}},
       {{0, 0}, {299, 0}, {0, 299}, {299, 299}, {30, 30}}},
      {".\\IMG\\IMG_LOADING.bmp", 1024, 768, {0, 0, 1024, 768}, {}, {}},
      {".\\IMG\\IMG_ENDING.bmp", 1024, 768, {0, 0, 1024, 768}, {}, {}},
  };
  for (const auto& row : rows) {
    CImages image;
    ASSERT_TRUE(image.LoadBitmap32(m_Display.dd(), row.file));
    EXPECT_EQ(image.GetWidth(), row.nWidth) << row.file;
    m_Display.fill(0x00FF00FF);
    image.Draw(m_Display.back(), 1024 - row.nWidth, 769 - row.nHeight);
    EXPECT_EQ(hops_test::count_colour(m_Display.read(), 0x00FF00FF), 1024 * 768) << row.file;
    image.Draw(m_Display.back(), 0, 0);
    const pt::Screen screen = m_Display.read();
    const int nClear = hops_test::count_colour(screen, 0x00FF00FF);
    EXPECT_EQ(nClear - hops_test::count_colour(screen, 0x00FF00FF, row.within.left, row.within.top,
                                               row.within.right, row.within.bottom),
              1024 * 768 - (row.within.right - row.within.left) * (row.within.bottom - row.within.top))
        << row.file;
    for (const auto& [x, y] : row.solid)
      EXPECT_NE(screen.at(x, y), 0x00FF00FFu) << row.file << " " << x << "," << y;
    for (const auto& [x, y] : row.clear)
      EXPECT_EQ(screen.at(x, y), 0x00FF00FFu) << row.file << " " << x << "," << y;
    for (int y = 0; y < (row.nWidth == 1024 ? 64 : 0); ++y)
      for (int x = 0; x < 200; ++x) {
        const std::uint32_t p = screen.at(x, y);
        ASSERT_FALSE((p >> 16) > 160 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100 && p != 0x00FF00FF)
            << row.file << " " << x << "," << y;
      }
  }
  EXPECT_TRUE(pt::message_boxes().empty());
}

}  // namespace
