#include "gfx/images.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "support/game_pictures.h"
#include "support/test_display.h"

namespace {

namespace pt = platform::testing;
using hops_test::Rgb;

constexpr std::uint32_t kFill = 0x00070707;

int Count(const pt::Screen& screen, std::uint32_t colour) {
  return static_cast<int>(std::count(screen.pixels.begin(), screen.pixels.end(), colour));
}

std::uint32_t Pattern(int x, int y) {
  return static_cast<std::uint32_t>((x * 7) ^ (y * 131)) * 2654435761u & 0xFFFFFF;
}

// The pattern, with the colours at and next to the key of either depth in
// the second row.
Rgb Picture(int x, int y) {
  const std::uint32_t kEdge[] = {0xFF00FF, 0xFF01FF, 0xFE00FF, 0xFF00FE,
                                 0xF803F8, 0xFF00F7, 0xF700FF, 0xFF04FF};
  const std::uint32_t c = y == 1 && x >= 100 && x < 108 ? kEdge[x - 100] : Pattern(x, y);
  return Rgb{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
             static_cast<std::uint8_t>(c)};
}

// A picture of 401 x 300 drawn at (600, 400) of a display of either depth:
// every pixel as the file gives it, in 5-6-5 on the 16-bit display, where
// only the key of that depth is transparent. The rows are stored bottom-up
// and padded to four bytes, the padding filled so that it shows if read as
// a pixel; they span more than one read chunk, and bytes after them are
// ignored. Without a clipper a picture drawn past an edge is not drawn at
// all; a scaled one covers its size times the scale, truncated.
TEST(ImagesFormat, APatternedPictureArrivesWholeAtEitherDepth) {
  for (DWORD bits : {32, 16}) {
    pt::reset();
    hops_test::TestDisplay display(bits);
    std::vector<std::uint8_t> bytes = hops_test::bmp_bytes(401, 300, Picture);
    for (int row = 0; row < 300; row++) bytes[54 + row * 1204 + 1203] = 0xEE;
    bytes.insert(bytes.end(), 7, 0xAA);
    CImages image;
    const std::string path = hops_test::write_file(hops_test::make_temp_dir(), "p.bmp", bytes);
    ASSERT_TRUE(bits == 32 ? image.LoadBitmap32(display.dd(), path.c_str())
                           : image.LoadBitmap16(display.dd(), path.c_str()));
    EXPECT_EQ(image.GetWidth(), 401);
    const std::uint32_t fill = bits == 32 ? kFill : 0x0020;
    display.fill(fill);
    image.Draw(display.back(), 600, 400);
    const pt::Screen screen = display.read();
    int nWrong = 0;
    for (int y = 0; y < 768; y++)
      for (int x = 0; x < 1024; x++) {
        std::uint32_t c = fill;
        if (x >= 600 && x < 1001 && y >= 400 && y < 700) {
          const Rgb p = Picture(x - 600, y - 400);
          c = bits == 32 ? p.r << 16 | p.g << 8 | p.b : (p.r >> 3) << 11 | (p.g >> 2) << 5 | p.b >> 3;
          if (c == (bits == 32 ? 0xFF00FFu : 0xF81Fu)) c = fill;
        }
        nWrong += screen.at(x, y) != c;
      }
    EXPECT_EQ(nWrong, 0) << bits;

    const struct {
      int nX, nY;
      float fScale;  // 0 for Draw
      std::vector<int> box;
    } rows[] = {
        {623, 468, 0, {623, 468, 1024, 768}},
        {624, 468, 0, {1024, 768, 0, 0}},
        {623, 469, 0, {1024, 768, 0, 0}},
        {10, 20, 0.5f, {10, 20, 210, 170}},
        {1000, 100, 0.3f, {1024, 768, 0, 0}},
        {100, 200, (float)(18.0 / 150.0), {100, 200, 148, 235}},  // 300 x 0.12f falls short of 36
    };
    for (const auto& row : rows) {
      display.fill(fill);
      if (row.fScale == 0) {
        image.Draw(display.back(), row.nX, row.nY);
      } else {
        image.DrawScaled(display.back(), row.nX, row.nY, row.fScale);
      }
      EXPECT_EQ(hops_test::colour_box(display.read(), fill, true), row.box)
          << row.nX << "," << row.nY << " x " << row.fScale << " at " << bits;
    }
    EXPECT_TRUE(pt::message_boxes().empty());
  }
}

class ImagesTest : public ::testing::Test {
 protected:
  hops_test::TestDisplay m_Display;
  std::string m_Dir = hops_test::make_temp_dir();
};

// Blend averages every byte, truncating, over the part of the picture the
// screen holds: a picture wider and taller than the screen, patterned so
// that a row read with the wrong pitch shows. A refused lock of the screen,
// or of the picture after the screen's, ends it with nothing changed.
TEST_F(ImagesTest, BlendAveragesThePictureIntoTheScreenRowByRow) {
  CImages image;
  ASSERT_TRUE(m_Display.load(image, 1030, 770, Picture));
  const auto screen_pattern = [](int x, int y) { return Pattern(y, x) ^ 0x5A5A5A; };
  hops_test::paint_surface(m_Display.back(), screen_pattern);
  const pt::Screen before = m_Display.read();
  const int nLocks = pt::call_count(pt::Call::Lock);
  pt::fail_call(pt::Call::Lock, 1, DDERR_SURFACELOST);
  image.Blend(m_Display.back());
  EXPECT_EQ(pt::call_count(pt::Call::Lock), nLocks + 1);  // the picture's lock is never tried
  pt::fail_call(pt::Call::Lock, 2, DDERR_SURFACELOST);
  image.Blend(m_Display.back());
  EXPECT_EQ(m_Display.read().pixels, before.pixels);

  image.Blend(m_Display.back());
  const pt::Screen after = m_Display.read();
  int nWrong = 0;
  for (int y = 0; y < 768; y++)
    for (int x = 0; x < 1024; x++) {
      const Rgb p = Picture(x, y);
      const std::uint32_t s = screen_pattern(x, y);
      nWrong += after.at(x, y) !=
                ((p.r + (s >> 16)) / 2 << 16 | (p.g + (s >> 8 & 0xFF)) / 2 << 8 | (p.b + (s & 0xFF)) / 2);
    }
  EXPECT_EQ(nWrong, 0);
}

// A 4 x 4 picture with 32-bit header fields overwritten, cut to nSize bytes
// unless 0.
std::vector<std::uint8_t> Damaged(std::size_t nSize,
                                  std::vector<std::pair<std::size_t, std::int64_t>> fields) {
  std::vector<std::uint8_t> bytes = hops_test::bmp_bytes(4, 4, Picture);
  for (const auto& [offset, value] : fields) bmp::put_u32(bytes, offset, static_cast<std::uint32_t>(value));
  bytes.resize(nSize == 0 ? bytes.size() : nSize);
  return bytes;
}

// A 60-byte file whose headers claim a picture of width x height.
std::vector<std::uint8_t> Claiming(std::int64_t width, std::int64_t height) {
  return Damaged(60, {{2, 54 + ((width * 3 + 3) & ~3) * height}, {18, width}, {22, height}});
}

// Each loader shows one box for a file it cannot use or a surface it cannot
// make or lock, keeps the width the file's header gave, holds no surface and
// draws nothing. The address space is capped meanwhile (unless sanitized),
// so that a loader believing a header's sizes would fail loudly.
TEST_F(ImagesTest, DamagedFilesAndRefusedSurfacesAreReportedAndDrawNothing) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int nWidth;             // what GetWidth gives afterwards
    bool bRefused = false;  // the step below fails instead
    pt::Call call = pt::Call::Lock;
  } rows[] = {
      {"empty", {}, 0},
      {"truncated info header", Damaged(53, {}), 0},
      {"headers only", Damaged(54, {}), 4},
      {"last pixel byte missing", Damaged(54 + 48 - 1, {}), 4},
      {"32 bits a pixel", Damaged(0, {{28, 32}}), 4},
      {"8 bits a pixel", Damaged(0, {{28, 8}}), 4},
      {"run-length compressed", Damaged(0, {{30, 1}}), 4},
      {"top-down rows", Damaged(0, {{22, -4}}), 4},
      {"negative width", Damaged(0, {{18, -4}}), -4},
      {"zero width", Damaged(0, {{18, 0}}), 0},
      {"zero height", Damaged(0, {{22, 0}}), 4},
      {"pixels elsewhere", Damaged(0, {{10, 138}}), 4},
      {"larger info header", Damaged(0, {{14, 124}}), 4},
      {"not a BMP signature", Damaged(0, {{0, 0x5A4D}}), 4},
      {"16385 wide", Claiming(16385, 1), 16385},
      {"16384 x 16384 in 60 bytes", Claiming(16384, 16384), 16384},
      {"bfSize far beyond the file", Damaged(60, {{2, 0xFFFFFFFF}}), 4},
      {"surface refused", Damaged(0, {}), 4, true, pt::Call::CreateOffscreenSurface},
      {"lock refused", Damaged(0, {}), 4, true, pt::Call::Lock},
  };
  const int nLive = pt::live_objects();
  rlimit saved{}, capped{};
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const bool bCap = !HOPS_TEST_SANITIZED && pages > 0 && getrlimit(RLIMIT_AS, &saved) == 0;
  capped = saved;
  capped.rlim_cur = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + (64u << 20);
  m_Display.fill(kFill);
  for (const auto& row : rows) {
    const std::string path = hops_test::write_file(m_Dir, "damaged.bmp", row.bytes);
    for (bool b16 : {false, true}) {
      CImages image;
      if (row.bRefused) pt::fail_call(row.call, 1, DDERR_OUTOFMEMORY);
      if (bCap) setrlimit(RLIMIT_AS, &capped);
      EXPECT_FALSE(b16 ? image.LoadBitmap16(m_Display.dd(), path.c_str())
                       : image.LoadBitmap32(m_Display.dd(), path.c_str()))
          << row.what;
      if (bCap) setrlimit(RLIMIT_AS, &saved);
      EXPECT_EQ(image.GetWidth(), row.nWidth) << row.what;
      image.Draw(m_Display.back(), 0, 0);
      image.DrawScaled(m_Display.back(), 0, 0, 0.5f);
      image.Blend(m_Display.back());
    }
    EXPECT_EQ(pt::live_objects(), nLive) << row.what;
  }
  CImages missing, pipe;
  EXPECT_FALSE(missing.LoadBitmap32(m_Display.dd(), (m_Dir + "/none.bmp").c_str()));
  EXPECT_EQ(missing.GetWidth(), 0);
  // A named pipe in a picture's place is refused at once, never waited on.
  ASSERT_EQ(mkfifo((m_Dir + "/pipe.bmp").c_str(), 0644), 0);
  EXPECT_FALSE(pipe.LoadBitmap32(m_Display.dd(), (m_Dir + "/pipe.bmp").c_str()));
  ASSERT_EQ(pt::message_boxes().size(), 2 * std::size(rows) + 2);
  for (const auto& box : pt::message_boxes())
    EXPECT_EQ(box.text + "|" + box.caption, "비트맵 로드 실패|실패");
  EXPECT_EQ(Count(m_Display.read(), kFill), 1024 * 768);
}

// The game's own pictures, from the build's IMG folder: their sizes (drawn
// one row lower, a picture leaves the screen and is not drawn), the ball a
// disc in its square, the figure standing in the player's rectangle (20 in
// from the left, 50 down), and the status corner clear of the text's red.
TEST_F(ImagesTest, TheGamesPicturesHaveTheirSizesAndShapes) {
  const struct {
    const char* file;
    int nWidth, nHeight;
    std::vector<int> within;  // the opaque pixels lie inside
    int nOpaque;              // about this many opaque pixels, if not 0
  } rows[] = {
      {"BACK", 1024, 768, {0, 0, 1024, 768}, 1024 * 768}, {"BACKGROUND", 1024, 768, {0, 1, 1024, 768}, 0},
      {"PLAYER", 91, 150, {20, 50, 70, 150}, 0},          {"BULLET", 16, 32, {0, 0, 16, 32}, 0},
      {"BALL", 300, 300, {0, 0, 300, 300}, 70686},  // pi x 150 x 150
      {"LOADING", 1024, 768, {0, 0, 1024, 768}, 0},       {"ENDING", 1024, 768, {0, 0, 1024, 768}, 0},
  };
  for (const auto& row : rows) {
    CImages image;
    ASSERT_TRUE(
        image.LoadBitmap32(m_Display.dd(), (std::string(".\\IMG\\IMG_") + row.file + ".bmp").c_str()));
    EXPECT_EQ(image.GetWidth(), row.nWidth) << row.file;
    m_Display.fill(0x00FF00FF);
    image.Draw(m_Display.back(), 1024 - row.nWidth, 769 - row.nHeight);
    EXPECT_EQ(Count(m_Display.read(), 0x00FF00FF), 1024 * 768) << row.file;
    image.Draw(m_Display.back(), 0, 0);
    const pt::Screen screen = m_Display.read();
    const std::vector<int> box = hops_test::colour_box(screen, 0x00FF00FF, true), &in = row.within;
    const int nOpaque = 1024 * 768 - Count(screen, 0x00FF00FF);
    EXPECT_TRUE(box[0] >= in[0] && box[1] >= in[1] && box[2] <= in[2] && box[3] <= in[3] && box[2] > box[0] &&
                (row.nOpaque == 0 || std::abs(nOpaque - row.nOpaque) <= 300))
        << row.file << " " << nOpaque;
    for (int y = 0; y < (row.nWidth == 1024 ? 64 : 0); ++y)
      for (int x = 0; x < 200; ++x) {
        const std::uint32_t p = screen.at(x, y);
        ASSERT_FALSE(p >> 16 > 160 && (p >> 8 & 0xFF) < 100 && (p & 0xFF) < 100 && p != 0x00FF00FF)
            << row.file;
      }
  }
  EXPECT_TRUE(pt::message_boxes().empty());
}

}  // namespace
