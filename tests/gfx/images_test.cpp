#include "gfx/images.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/test_display.h"

namespace {

namespace pt = platform::testing;

constexpr std::uint32_t kFill = 0x00070707;

std::uint32_t Pattern(int x, int y) {
  return static_cast<std::uint32_t>((x * 7) ^ (y * 131)) * 2654435761u & 0xFFFFFF;
}

// The pattern, with the colours at and next to the key of either depth in
// the second row.
std::uint32_t Picture(int x, int y) {
  const std::uint32_t kEdge[] = {0xFF00FF, 0xFF01FF, 0xFE00FF, 0xFF00FE,
                                 0xF803F8, 0xFF00F7, 0xF700FF, 0xFF04FF};
  return y == 1 && x >= 100 && x < 108 ? kEdge[x - 100] : Pattern(x, y);
}

// A picture of 401 x 300 drawn at (600, 400) of a display of either depth:
// every pixel as the file gives it, in 5-6-5 on the 16-bit display, where
// only the key of that depth is transparent. The rows are stored bottom-up
// and padded to four bytes, the padding filled so that it shows if read as
// a pixel; they span more than one read chunk, and bytes after them are
// ignored. Without a clipper a picture drawn past an edge is not drawn at
// all; a scaled one covers its size times the scale, truncated (300 x 0.12f,
// the smallest ball's scale, falls short of 36).
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
    const std::uint32_t fill = bits == 32 ? kFill : 0x0020, key = bits == 32 ? 0xFF00FF : 0xF81F;
    display.fill(fill);
    image.Draw(display.back(), 600, 400);
    const std::vector<std::uint32_t> drawn = display.read().pixels;
    hops_test::paint_surface(display.back(), [&](int x, int y) {
      if (x < 600 || x >= 1001 || y < 400 || y >= 700) return fill;
      const std::uint32_t p = Picture(x - 600, y - 400);
      const std::uint32_t c = bits == 32 ? p : (p >> 8 & 0xF800) | (p >> 5 & 0x07E0) | (p >> 3 & 0x1F);
      return c == key ? fill : c;
    });
    EXPECT_EQ(display.read().pixels, drawn) << bits;

    // Where, the scale (0 for Draw), and the box drawn.
    const std::tuple<int, int, float, std::vector<int>> rows[] = {
        {623, 468, 0, {623, 468, 1024, 768}}, {624, 468, 0, {1024, 768, 0, 0}},
        {623, 469, 0, {1024, 768, 0, 0}},     {10, 20, 0.5f, {10, 20, 210, 170}},
        {1000, 100, 0.3f, {1024, 768, 0, 0}}, {100, 200, 0.12f, {100, 200, 148, 235}}};
    for (const auto& [nX, nY, fScale, box] : rows) {
      display.fill(fill);
      fScale == 0 ? image.Draw(display.back(), nX, nY) : image.DrawScaled(display.back(), nX, nY, fScale);
      EXPECT_EQ(hops_test::colour_box(display.read(), fill, true), box)
          << nX << "," << nY << " x " << fScale << " at " << bits;
    }
    EXPECT_TRUE(pt::message_boxes().empty());
  }
}

// Blend averages every byte, truncating, over the part of the picture the
// screen holds: a picture wider and taller than the screen, patterned so
// that a row read with the wrong pitch shows.
TEST(ImagesTest, BlendAveragesThePictureIntoTheScreenRowByRow) {
  hops_test::TestDisplay display;
  CImages image;
  ASSERT_TRUE(display.load(image, 1030, 770, Picture));
  const auto screen_pattern = [](int x, int y) { return Pattern(y, x) ^ 0x5A5A5A; };
  hops_test::paint_surface(display.back(), screen_pattern);
  image.Blend(display.back());
  const std::vector<std::uint32_t> blended = display.read().pixels;
  hops_test::paint_surface(display.back(), [&](int x, int y) {
    // Each byte's truncated average: the bits both share, and half of those only one has.
    const std::uint32_t p = Picture(x, y), s = screen_pattern(x, y);
    return (p & s) + ((p ^ s) >> 1 & 0x7F7F7F);
  });
  EXPECT_EQ(display.read().pixels, blended);
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

// Each loader shows one box for a file it cannot use or a surface it cannot
// make or lock, keeps the width the file's header gave, holds no surface and
// draws nothing. The address space is capped meanwhile (unless sanitized),
// so that a loader believing a header's sizes would fail loudly.
TEST(ImagesTest, DamagedFilesAndRefusedSurfacesAreReportedAndDrawNothing) {
  hops_test::TestDisplay display;
  const std::string dir = hops_test::make_temp_dir();
  // What the file is, its bytes, the width GetWidth gives afterwards, and the
  // step below that fails instead, if any.
  const std::tuple<const char*, std::vector<std::uint8_t>, int, std::optional<pt::Call>> rows[] = {
      {"empty", {}, 0, {}},
      {"truncated info header", Damaged(53, {}), 0, {}},
      {"last pixel byte missing", Damaged(54 + 48 - 1, {}), 4, {}},
      {"8 bits a pixel", Damaged(0, {{28, 8}}), 4, {}},
      {"run-length compressed", Damaged(0, {{30, 1}}), 4, {}},
      {"pixels elsewhere", Damaged(0, {{10, 138}}), 4, {}},
      {"larger info header", Damaged(0, {{14, 124}}), 4, {}},
      {"not a BMP signature", Damaged(0, {{0, 0x5A4D}}), 4, {}},
      {"16384 x 16384 in 60 bytes", Damaged(60, {{18, 16384}, {22, 16384}}), 16384, {}},
      {"surface refused", Damaged(0, {}), 4, pt::Call::CreateOffscreenSurface},
      {"lock refused", Damaged(0, {}), 4, pt::Call::Lock},
  };
  const int nLive = pt::live_objects();
  rlimit saved{};
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const bool bCap = !HOPS_TEST_SANITIZED && pages > 0 && getrlimit(RLIMIT_AS, &saved) == 0;
  rlimit capped = saved;
  capped.rlim_cur = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + (64u << 20);
  display.fill(kFill);
  for (const auto& [what, bytes, nWidth, refused] : rows) {
    const std::string path = hops_test::write_file(dir, "damaged.bmp", bytes);
    for (bool b16 : {false, true}) {
      CImages image;
      if (refused) pt::fail_call(*refused, 1, DDERR_OUTOFMEMORY);
      if (bCap) setrlimit(RLIMIT_AS, &capped);
      EXPECT_FALSE(b16 ? image.LoadBitmap16(display.dd(), path.c_str())
                       : image.LoadBitmap32(display.dd(), path.c_str()))
          << what;
      if (bCap) setrlimit(RLIMIT_AS, &saved);
      EXPECT_EQ(image.GetWidth(), nWidth) << what;
      image.Draw(display.back(), 0, 0);
      image.DrawScaled(display.back(), 0, 0, 0.5f);
      image.Blend(display.back());
    }
    EXPECT_EQ(pt::live_objects(), nLive) << what;
  }
  ASSERT_EQ(pt::message_boxes().size(), 2 * std::size(rows));
  for (const auto& box : pt::message_boxes())
    EXPECT_EQ(box.text + "|" + box.caption, "비트맵 로드 실패|실패");
  EXPECT_EQ(hops_test::colour_box(display.read(), kFill, true)[2], 0);
}

// The game's own pictures, from the build's IMG folder, at their sizes:
// drawn into the screen's bottom-right corner a picture shows, one row
// lower it leaves the screen and is not drawn at all.
TEST(ImagesTest, TheGamesPicturesHaveTheirSizesAndShapes) {
  hops_test::TestDisplay display;
  const std::tuple<const char*, int, int> rows[] = {
      {"BACK", 1024, 768}, {"BACKGROUND", 1024, 768}, {"PLAYER", 91, 150},  {"BULLET", 16, 32},
      {"BALL", 300, 300},  {"LOADING", 1024, 768},    {"ENDING", 1024, 768}};
  for (const auto& [file, nWidth, nHeight] : rows) {
    CImages image;
    ASSERT_TRUE(image.LoadBitmap32(display.dd(), (std::string(".\\IMG\\IMG_") + file + ".bmp").c_str()));
    EXPECT_EQ(image.GetWidth(), nWidth) << file;
    for (int nBottom : {768, 769}) {
      display.fill(0x00FF00FF);
      image.Draw(display.back(), 1024 - nWidth, nBottom - nHeight);
      EXPECT_EQ(hops_test::colour_box(display.read(), 0x00FF00FF, true)[2] > 0, nBottom == 768) << file;
    }
  }
}

}  // namespace
