#include "gfx/images.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/main_game.h"
#include "support/bmp_file.h"
#include "support/test_display.h"
#include "testing/testing.h"

#if defined(__SANITIZE_ADDRESS__)
#define HOPS_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOPS_TEST_ASAN 1
#endif
#endif

namespace {

using hops_test::Rgb;

constexpr Rgb kMagenta{255, 0, 255};

// The smallest world a picture needs: a window, an exclusive 1024x768 display
// of the chosen depth and a screen-sized destination surface.
class ImagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = std::make_unique<hops_test::TestDisplay>(32);
    dir_ = hops_test::make_temp_dir();
  }

  // Switches the fixture to a 16-bit display (for the 5-6-5 loader).
  void UseDisplay16() {
    display_.reset();
    platform::testing::reset();
    display_ = std::make_unique<hops_test::TestDisplay>(16);
  }

  IDirectDraw7* dd() const { return display_->dd(); }
  IDirectDrawSurface7* dest() const { return display_->dest(); }
  std::vector<std::uint32_t> ReadDest() const { return display_->read(); }
  std::uint32_t At(int x, int y) const { return display_->at(x, y); }
  void FillDest(std::uint32_t value) { display_->fill(value); }

  // Bounding box (left, top, right, bottom) of the pixels that differ from `background`.
  RECT ChangedBox(std::uint32_t background) {
    const std::vector<std::uint32_t> pixels = ReadDest();
    RECT box{1024, 768, 0, 0};
    for (int y = 0; y < 768; ++y) {
      for (int x = 0; x < 1024; ++x) {
        if (pixels[static_cast<std::size_t>(y) * 1024 + x] == background) continue;
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
    }
    return box;
  }

  std::string Solid(const std::string& name, int width, int height, Rgb colour) {
    return hops_test::write_bmp(dir_, name, width, height, [colour](int, int) { return colour; });
  }

  std::unique_ptr<hops_test::TestDisplay> display_;
  std::string dir_;
};

void ExpectOneLoadFailureBox() {
  const auto& boxes = platform::testing::message_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "비트맵 로드 실패");
  EXPECT_EQ(boxes[0].caption, "실패");
}

// --- File layout to surface pixels ---

TEST_F(ImagesTest, RowsAreBottomUpWithStrideRoundedToFourBytes) {
  std::vector<std::uint8_t> bytes = hops_test::bmp_bytes(3, 2, [](int, int) { return Rgb{}; });
  ASSERT_EQ(bytes.size(), 54u + 24u);
  // Stored row 0 (bytes 54..62) is the bottom row; its padding 63..65 must
  // never be read as a pixel, so it holds a colour of its own.
  const std::uint8_t stored[24] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xEE, 0xEE, 0xEE,
                                   0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0xEE, 0xEE, 0xEE};
  std::memcpy(bytes.data() + 54, stored, sizeof(stored));
  const std::string path = hops_test::write_file(dir_, "rows.bmp", bytes);

  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0x00ABCDEF);
  image.Draw(dest(), 0, 0);

  EXPECT_EQ(At(0, 0), 0x00131211u);
  EXPECT_EQ(At(1, 0), 0x00161514u);
  EXPECT_EQ(At(2, 0), 0x00191817u);
  EXPECT_EQ(At(0, 1), 0x00030201u);
  EXPECT_EQ(At(1, 1), 0x00060504u);
  EXPECT_EQ(At(2, 1), 0x00090807u);
  EXPECT_EQ(At(3, 0), 0x00ABCDEFu);
  EXPECT_EQ(At(0, 2), 0x00ABCDEFu);
  EXPECT_EQ(image.GetWidth(), 3);
  EXPECT_TRUE(platform::testing::message_boxes().empty());
}

TEST_F(ImagesTest, FilePixelBecomes32BitRgb) {
  const std::string path = Solid("p.bmp", 1, 1, Rgb{0x30, 0x20, 0x10});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  image.Draw(dest(), 5, 6);
  EXPECT_EQ(At(5, 6), 0x00302010u);
}

TEST_F(ImagesTest, FilePixelBecomes565In16BitMode) {
  UseDisplay16();
  const std::string path = Solid("p.bmp", 1, 1, Rgb{0x30, 0x20, 0x10});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap16(dd(), path.c_str()));
  image.Draw(dest(), 5, 6);
  EXPECT_EQ(At(5, 6), 0x3102u);
}

// --- Colour key ---

TEST_F(ImagesTest, OnlyExactMagentaIsTransparentIn32Bits) {
  const Rgb row[4] = {kMagenta, {255, 1, 255}, {254, 0, 255}, {255, 0, 254}};
  const std::string path = hops_test::write_bmp(dir_, "key.bmp", 4, 1, [&row](int x, int) { return row[x]; });
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0x00123456);
  image.Draw(dest(), 0, 0);

  EXPECT_EQ(At(0, 0), 0x00123456u);
  EXPECT_EQ(At(1, 0), 0x00FF01FFu);
  EXPECT_EQ(At(2, 0), 0x00FE00FFu);
  EXPECT_EQ(At(3, 0), 0x00FF00FEu);
}

TEST_F(ImagesTest, NearMagentaFoldsIntoTheKeyIn16Bits) {
  UseDisplay16();
  const Rgb row[5] = {kMagenta, {248, 3, 248}, {255, 0, 247}, {247, 0, 255}, {255, 4, 255}};
  const std::string path = hops_test::write_bmp(dir_, "key.bmp", 5, 1, [&row](int x, int) { return row[x]; });
  CImages image;
  ASSERT_TRUE(image.LoadBitmap16(dd(), path.c_str()));
  FillDest(0x1234);
  image.Draw(dest(), 0, 0);

  EXPECT_EQ(At(0, 0), 0x1234u);
  EXPECT_EQ(At(1, 0), 0x1234u);
  EXPECT_EQ(At(2, 0), 0xF81Eu);
  EXPECT_EQ(At(3, 0), 0xF01Fu);
  EXPECT_EQ(At(4, 0), 0xF83Fu);
}

// --- Draw: a picture that leaves the surface is not drawn at all ---

TEST_F(ImagesTest, DrawTouchesBottomRightCorner) {
  const std::string path = Solid("box.bmp", 100, 50, Rgb{0x40, 0x80, 0xC0});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0);
  image.Draw(dest(), 924, 718);

  const RECT box = ChangedBox(0);
  EXPECT_EQ(box.left, 924);
  EXPECT_EQ(box.top, 718);
  EXPECT_EQ(box.right, 1024);
  EXPECT_EQ(box.bottom, 768);
  EXPECT_EQ(At(1023, 767), 0x004080C0u);
}

TEST_F(ImagesTest, DrawPastAnyEdgeChangesNothing) {
  const std::string path = Solid("box.bmp", 100, 50, Rgb{0x40, 0x80, 0xC0});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0x00070707);
  const std::vector<std::uint32_t> before = ReadDest();

  image.Draw(dest(), 925, 718);
  image.Draw(dest(), 924, 719);
  image.Draw(dest(), -1, 0);
  image.Draw(dest(), 0, -500);
  EXPECT_EQ(ReadDest(), before);
}

// --- DrawScaled: edges in double precision, truncated ---

TEST_F(ImagesTest, HalfScaleFillsExactRectangle) {
  const std::string path = Solid("ball.bmp", 300, 300, Rgb{0x20, 0x40, 0x60});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0);
  image.DrawScaled(dest(), 10, 20, 0.5f);

  const RECT box = ChangedBox(0);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.top, 20);
  EXPECT_EQ(box.right, 160);
  EXPECT_EQ(box.bottom, 170);
  EXPECT_EQ(At(159, 169), 0x00204060u);
}

TEST_F(ImagesTest, FractionalEdgesAreTruncated) {
  const std::string path = Solid("ball.bmp", 300, 300, Rgb{0x20, 0x40, 0x60});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0);
  // (float)0.12 is a little below 0.12, so 300 of it come to 35.99...
  image.DrawScaled(dest(), 100, 200, (float)(18.0 / 150.0));

  const RECT box = ChangedBox(0);
  EXPECT_EQ(box.right - box.left, 35);
  EXPECT_EQ(box.bottom - box.top, 35);
  EXPECT_EQ(box.left, 100);
  EXPECT_EQ(box.top, 200);
}

TEST_F(ImagesTest, ScaledPictureLeavingTheSurfaceIsNotDrawn) {
  const std::string path = Solid("ball.bmp", 300, 300, Rgb{0x20, 0x40, 0x60});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0);
  image.DrawScaled(dest(), -50, -50, 1.0f);
  image.DrawScaled(dest(), 1000, 100, 0.1f);
  EXPECT_EQ(ChangedBox(0).right, 0);
}

// --- Blend ---

TEST_F(ImagesTest, BlendAveragesEachByteTruncating) {
  const std::string path = Solid("blend.bmp", 2, 2, Rgb{100, 2, 0});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0x00C801FF);  // R 200, G 1, B 255
  image.Blend(dest());

  EXPECT_EQ(At(0, 0), 0x0096017Fu);
  EXPECT_EQ(At(1, 1), 0x0096017Fu);
  EXPECT_EQ(At(2, 0), 0x00C801FFu);
  EXPECT_EQ(At(0, 2), 0x00C801FFu);
}

TEST_F(ImagesTest, BlendWithFailedLockChangesNothingAndUnlocks) {
  const std::string path = Solid("blend.bmp", 2, 2, Rgb{100, 2, 0});
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  FillDest(0x00C801FF);

  platform::testing::fail_call(platform::testing::Call::Lock, 1, DDERR_SURFACELOST);
  image.Blend(dest());
  EXPECT_EQ(At(0, 0), 0x00C801FFu);

  // The picture's lock fails after the destination's succeeded: the
  // destination must come back unlocked, or the next Lock would refuse.
  platform::testing::fail_call(platform::testing::Call::Lock, 2, DDERR_SURFACELOST);
  image.Blend(dest());
  EXPECT_EQ(At(0, 0), 0x00C801FFu);
  image.Blend(dest());
  EXPECT_EQ(At(0, 0), 0x0096017Fu);
}

// --- Failed loads ---

TEST_F(ImagesTest, FailedSurfaceCreationReportsAndKeepsFileWidth) {
  const std::string path = Solid("box.bmp", 100, 50, Rgb{0x40, 0x80, 0xC0});
  const int live_before = platform::testing::live_objects();
  platform::testing::fail_call(platform::testing::Call::CreateOffscreenSurface, 1, DDERR_OUTOFMEMORY);

  CImages image;
  EXPECT_FALSE(image.LoadBitmap32(dd(), path.c_str()));
  ExpectOneLoadFailureBox();
  EXPECT_EQ(image.GetWidth(), 100);
  EXPECT_EQ(platform::testing::live_objects(), live_before);

  FillDest(0x00070707);
  image.Draw(dest(), 0, 0);
  image.DrawScaled(dest(), 0, 0, 0.5f);
  image.Blend(dest());
  EXPECT_EQ(ChangedBox(0x00070707).right, 0);
}

TEST_F(ImagesTest, FailedLockReportsAndKeepsNoSurface) {
  const std::string path = Solid("box.bmp", 100, 50, Rgb{0x40, 0x80, 0xC0});
  const int live_before = platform::testing::live_objects();
  platform::testing::fail_call(platform::testing::Call::Lock, 1, DDERR_SURFACELOST);

  CImages image;
  EXPECT_FALSE(image.LoadBitmap32(dd(), path.c_str()));
  ExpectOneLoadFailureBox();
  EXPECT_EQ(image.GetWidth(), 100);
  EXPECT_EQ(platform::testing::live_objects(), live_before);

  FillDest(0x00070707);
  image.Draw(dest(), 0, 0);
  EXPECT_EQ(ChangedBox(0x00070707).right, 0);
}

TEST_F(ImagesTest, FailedLoadIn16BitsReportsLikeIn32) {
  UseDisplay16();
  const std::string path = Solid("box.bmp", 100, 50, Rgb{0x40, 0x80, 0xC0});
  platform::testing::fail_call(platform::testing::Call::CreateOffscreenSurface, 1, DDERR_OUTOFVIDEOMEMORY);
  CImages image;
  EXPECT_FALSE(image.LoadBitmap16(dd(), path.c_str()));
  ExpectOneLoadFailureBox();
  EXPECT_EQ(image.GetWidth(), 100);
}

TEST_F(ImagesTest, LoadedImageHoldsOneSurfaceUntilDestroyed) {
  const std::string path = Solid("box.bmp", 4, 4, Rgb{1, 2, 3});
  const int live_before = platform::testing::live_objects();
  {
    CImages image;
    ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
    EXPECT_EQ(platform::testing::live_objects(), live_before + 1);
  }
  EXPECT_EQ(platform::testing::live_objects(), live_before);
}

// --- Damaged and foreign files ---

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

struct DamagedFile {
  const char* what;
  std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> Good4x4() {
  return hops_test::bmp_bytes(4, 4, [](int x, int y) { return Rgb{std::uint8_t(x * 40), std::uint8_t(y * 40), 7}; });
}

std::vector<std::uint8_t> With32(std::vector<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  hops_test::put_u32(bytes, offset, value);
  return bytes;
}

std::vector<std::uint8_t> With16(std::vector<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  hops_test::put_u16(bytes, offset, value);
  return bytes;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

// A 60-byte file whose headers claim a picture of width x height.
std::vector<std::uint8_t> Claiming(std::int32_t width, std::int32_t height) {
  std::vector<std::uint8_t> bytes = Cut(Good4x4(), 60);
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  hops_test::put_u32(bytes, 2, 54 + stride * static_cast<std::uint32_t>(height));
  hops_test::put_u32(bytes, 18, static_cast<std::uint32_t>(width));
  hops_test::put_u32(bytes, 22, static_cast<std::uint32_t>(height));
  return bytes;
}

std::vector<DamagedFile> DamagedFiles() {
  const std::vector<std::uint8_t> good = Good4x4();
  return {
      {"empty", {}},
      {"truncated file header", Cut(good, 10)},
      {"truncated info header", Cut(good, 53)},
      {"headers only", Cut(good, 54)},
      {"last pixel byte missing", Cut(good, good.size() - 1)},
      {"32 bits a pixel", With16(good, 28, 32)},
      {"8 bits a pixel", With16(good, 28, 8)},
      {"run-length compressed", With32(good, 30, 1)},
      {"top-down rows", With32(good, 22, static_cast<std::uint32_t>(-4))},
      {"negative width", With32(good, 18, static_cast<std::uint32_t>(-4))},
      {"zero width", With32(good, 18, 0)},
      {"zero height", With32(good, 22, 0)},
      {"pixels elsewhere", With32(good, 10, 138)},
      {"larger info header", With32(good, 14, 124)},
      {"not a BMP signature", With16(good, 0, 0x5A4D)},
      {"text file", std::vector<std::uint8_t>(100, 'A')},
      {"100000 x 100000 in 60 bytes", Claiming(100000, 100000)},
      {"16385 wide", Claiming(16385, 1)},
      {"16384 x 16384 in 60 bytes", Claiming(16384, 16384)},
      {"bfSize far beyond the file", Cut(With32(good, 2, 0xFFFFFFFF), 60)},
  };
}

TEST_F(ImagesTest, DamagedFilesAreReportedLikeFailedLoads) {
  FillDest(0x00070707);
  const int live_before = platform::testing::live_objects();
  int expected_boxes = 0;
  for (const DamagedFile& file : DamagedFiles()) {
    SCOPED_TRACE(file.what);
    const std::string path = hops_test::write_file(dir_, "damaged.bmp", file.bytes);
    {
      AddressSpaceCap cap(64u << 20);
      CImages image32;
      EXPECT_FALSE(image32.LoadBitmap32(dd(), path.c_str()));
      CImages image16;
      EXPECT_FALSE(image16.LoadBitmap16(dd(), path.c_str()));
      image32.Draw(dest(), 0, 0);
      image16.Draw(dest(), 0, 0);
    }
    expected_boxes += 2;
    ASSERT_EQ(platform::testing::message_boxes().size(), static_cast<std::size_t>(expected_boxes));
    EXPECT_EQ(platform::testing::message_boxes().back().text, "비트맵 로드 실패");
    EXPECT_EQ(platform::testing::live_objects(), live_before);
  }
  EXPECT_EQ(ChangedBox(0x00070707).right, 0);
}

TEST_F(ImagesTest, MissingFileIsReportedAndWidthIsZero) {
  CImages image;
  EXPECT_FALSE(image.LoadBitmap32(dd(), (dir_ + "/none.bmp").c_str()));
  ExpectOneLoadFailureBox();
  EXPECT_EQ(image.GetWidth(), 0);
}

TEST_F(ImagesTest, ReadableHeaderGivesWidthEvenWhenRejected) {
  const std::string path = hops_test::write_file(dir_, "w.bmp", Claiming(100000, 100000));
  CImages image;
  EXPECT_FALSE(image.LoadBitmap32(dd(), path.c_str()));
  EXPECT_EQ(image.GetWidth(), 100000);
}

TEST_F(ImagesTest, TrailingBytesAndOddSizesStillLoad) {
  // 5 pixels make 15 bytes a row, padded to 16; extra bytes after the
  // pixels are ignored.
  std::vector<std::uint8_t> bytes =
      hops_test::bmp_bytes(5, 3, [](int x, int y) { return Rgb{std::uint8_t(x), std::uint8_t(y), 9}; });
  bytes.resize(bytes.size() + 7, 0xAA);
  const std::string path = hops_test::write_file(dir_, "odd.bmp", bytes);
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  image.Draw(dest(), 1019, 765);
  EXPECT_EQ(At(1019, 765), 0x00000009u);
  EXPECT_EQ(At(1023, 767), 0x00040209u);
}

TEST_F(ImagesTest, PictureLargerThanOneReadChunkLoadsWhole) {
  // 400 x 300 is 360000 bytes of pixels: several rounds of the growing read.
  const std::string path = hops_test::write_bmp(dir_, "big.bmp", 400, 300, [](int x, int y) {
    return Rgb{std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)};
  });
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), path.c_str()));
  image.Draw(dest(), 0, 0);
  EXPECT_EQ(At(0, 0), 0x00000000u);
  EXPECT_EQ(At(399, 0), 0x008F008Fu);
  EXPECT_EQ(At(0, 299), 0x00002B2Bu);
  EXPECT_EQ(At(399, 299), 0x008F2BA4u);
}

// --- The game's own pictures, from the build's IMG folder ---

struct GamePicture {
  const char* file;
  int width;
  int height;
};

constexpr GamePicture kGamePictures[] = {
    {".\\IMG\\IMG_BACK.bmp", 1024, 768},    {".\\IMG\\IMG_BACKGROUND.bmp", 1024, 768},
    {".\\IMG\\IMG_PLAYER.bmp", 91, 150},    {".\\IMG\\IMG_BULLET.bmp", 16, 32},
    {".\\IMG\\IMG_BALL.bmp", 300, 300},     {".\\IMG\\IMG_LOADING.bmp", 1024, 768},
    {".\\IMG\\IMG_ENDING.bmp", 1024, 768},
};

TEST_F(ImagesTest, GamePicturesLoadWithTheirSizes) {
  for (const GamePicture& picture : kGamePictures) {
    SCOPED_TRACE(picture.file);
    CImages image;
    ASSERT_TRUE(image.LoadBitmap32(dd(), picture.file));
    EXPECT_EQ(image.GetWidth(), picture.width);

    // The height shows where the picture stops fitting above the bottom edge.
    FillDest(0x00FF00FF);
    image.Draw(dest(), 1024 - picture.width, 769 - picture.height);
    EXPECT_EQ(ChangedBox(0x00FF00FF).right, 0);
    image.Draw(dest(), 1024 - picture.width, 768 - picture.height);
    EXPECT_NE(ChangedBox(0x00FF00FF).right, 0);
  }
  EXPECT_TRUE(platform::testing::message_boxes().empty());
}

TEST_F(ImagesTest, BallHasTransparentCornersAndSolidCentre) {
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), ".\\IMG\\IMG_BALL.bmp"));
  FillDest(0x00010203);
  image.Draw(dest(), 0, 0);
  for (const auto& [x, y] : {std::pair{0, 0}, {299, 0}, {0, 299}, {299, 299}, {30, 30}}) {
    EXPECT_EQ(At(x, y), 0x00010203u) << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{150, 150}, {150, 5}, {5, 150}, {294, 150}, {150, 294}}) {
    EXPECT_NE(At(x, y), 0x00010203u) << x << "," << y;
  }
}

TEST_F(ImagesTest, PlayerFigureFillsItsRectangle) {
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), ".\\IMG\\IMG_PLAYER.bmp"));
  EXPECT_EQ(image.GetWidth() / 2, 45);
  FillDest(0x00010203);
  image.Draw(dest(), 0, 0);
  // The figure stands on the bottom row within the player's 50 x 100
  // rectangle, 20 pixels in from the left and 50 down from the top.
  const RECT box = ChangedBox(0x00010203);
  EXPECT_GE(box.left, 20);
  EXPECT_GE(box.top, 50);
  EXPECT_LE(box.right, 70);
  EXPECT_EQ(box.bottom, 150);
  EXPECT_NE(At(45, 100), 0x00010203u);
}

TEST_F(ImagesTest, BackgroundSkyLetsTheNightShowThrough) {
  CImages image;
  ASSERT_TRUE(image.LoadBitmap32(dd(), ".\\IMG\\IMG_BACKGROUND.bmp"));
  FillDest(0x00010203);
  image.Draw(dest(), 0, 0);
  const std::vector<std::uint32_t> pixels = ReadDest();
  std::size_t sky = 0;
  for (std::uint32_t p : pixels) sky += p == 0x00010203u ? 1 : 0;
  EXPECT_GT(sky, pixels.size() / 5);
  EXPECT_LT(sky, pixels.size() / 2);
  EXPECT_EQ(At(512, 0), 0x00010203u);
  EXPECT_NE(At(512, 767), 0x00010203u);
}

TEST_F(ImagesTest, StatusCornerStaysClearOfTheTextRed) {
  const char* const screens[] = {".\\IMG\\IMG_BACK.bmp", ".\\IMG\\IMG_BACKGROUND.bmp", ".\\IMG\\IMG_LOADING.bmp",
                                 ".\\IMG\\IMG_ENDING.bmp"};
  CImages back;
  ASSERT_TRUE(back.LoadBitmap32(dd(), screens[0]));
  for (const char* file : screens) {
    SCOPED_TRACE(file);
    CImages image;
    ASSERT_TRUE(image.LoadBitmap32(dd(), file));
    back.Draw(dest(), 0, 0);
    image.Draw(dest(), 0, 0);
    const std::vector<std::uint32_t> pixels = ReadDest();
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 200; ++x) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y) * 1024 + x];
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        ASSERT_FALSE(r > 160 && g < 100 && b < 100) << x << "," << y << " " << std::hex << p;
      }
    }
  }
}

}  // namespace
