#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/count.h"
#include "game/main_game.h"
#include "support/test_display.h"
#include "testing/testing.h"

namespace {

using platform::testing::Call;

// The game object with its display opened up, and a frame timer for the
// status text.
class CDisplayGame : public CMainGame {
 public:
  void StartTimer() {
    m_pCount = new CCount;
    m_pCount->Init();
  }
  IDirectDrawSurface7* Back() const { return m_pDDSBack; }
  IDirectDrawSurface7* Primary() const { return m_pDDSPrimary; }
  IDirectDraw7* DirectDraw() const { return m_pDD; }
};

// Fills the back buffer with a scene of vertical stripes, so that text can
// be told from both of its colours.
void PaintScene(IDirectDrawSurface7* pSurface) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ASSERT_EQ(pSurface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
  for (DWORD y = 0; y < ddsd.dwHeight; y++) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(ddsd.lpSurface) + y * ddsd.lPitch);
    for (DWORD x = 0; x < ddsd.dwWidth; x++) row[x] = (x / 2) % 2 ? 0x00204060 : 0x00406020;
  }
  pSurface->Unlock(nullptr);
}

std::uint32_t SceneAt(int x) { return (x / 2) % 2 ? 0x00204060 : 0x00406020; }

std::vector<std::uint32_t> ReadSurface(IDirectDrawSurface7* pSurface) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  std::vector<std::uint32_t> pixels;
  if (pSurface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) return pixels;
  for (DWORD y = 0; y < ddsd.dwHeight; y++) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(
        static_cast<const std::uint8_t*>(ddsd.lpSurface) + y * ddsd.lPitch);
    pixels.insert(pixels.end(), row, row + ddsd.dwWidth);
  }
  pSurface->Unlock(nullptr);
  return pixels;
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { hops_test::make_game_window(); }
};

TEST_F(DisplayTest, SetsUpAFlippingChainInTheGamesMode) {
  {
    CDisplayGame game;
    ASSERT_TRUE(game.InitDisplay());
    EXPECT_TRUE(platform::testing::message_boxes().empty());
    ASSERT_NE(game.Back(), nullptr);
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ASSERT_EQ(game.Back()->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ddsd.dwWidth, (DWORD)SCREEN_WIDTH);
    EXPECT_EQ(ddsd.dwHeight, (DWORD)SCREEN_HEIGHT);
    EXPECT_EQ(ddsd.ddpfPixelFormat.dwRGBBitCount, (DWORD)BIT_MODE);
    game.Back()->Unlock(nullptr);

    // What is drawn on the back buffer is what the flip shows.
    PaintScene(game.Back());
    game.FlipPage();
    ASSERT_EQ(platform::testing::flip_count(), 1);
    const platform::testing::Screen screen = platform::testing::screen();
    ASSERT_EQ(screen.width, 1024);
    EXPECT_EQ(screen.at(0, 0), SceneAt(0));
    EXPECT_EQ(screen.at(2, 767), SceneAt(2));
  }
  EXPECT_EQ(platform::testing::live_objects(), 0);
}

struct FailingStep {
  Call call;
  HRESULT result;
  const char* text;
  Call next;  // the step after it, never attempted
  const char* name;
};

class DisplayFailureTest : public DisplayTest, public ::testing::WithParamInterface<FailingStep> {};

TEST_P(DisplayFailureTest, OneBoxNoLaterStepAndNothingLeftOnceReleased) {
  const FailingStep step = GetParam();
  platform::testing::fail_call(step.call, 1, step.result);
  {
    CDisplayGame game;
    EXPECT_FALSE(game.InitDisplay());
    const auto& boxes = platform::testing::message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, step.text);
    EXPECT_EQ(boxes[0].caption, "Tobrikan");
    EXPECT_EQ(platform::testing::call_count(step.call), 1);
    if (step.next != step.call) {
      EXPECT_EQ(platform::testing::call_count(step.next), 0);
    }
    EXPECT_EQ(game.Back(), nullptr);
    if (step.call != Call::DirectDrawCreateEx) {
      EXPECT_NE(game.DirectDraw(), nullptr);
    }
  }
  EXPECT_EQ(platform::testing::live_objects(), 0);
  EXPECT_EQ(platform::testing::flip_count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, DisplayFailureTest,
    ::testing::Values(FailingStep{Call::DirectDrawCreateEx, DDERR_NODIRECTDRAWHW,
                                  "다이렉트 드로우 객체 설정실패", Call::SetCooperativeLevel,
                                  "DirectDrawCreateEx"},
                      FailingStep{Call::SetCooperativeLevel, DDERR_EXCLUSIVEMODEALREADYSET,
                                  "협력레벌 설정실패", Call::SetDisplayMode, "SetCooperativeLevel"},
                      FailingStep{Call::SetDisplayMode, DDERR_INVALIDMODE, "디스플레이 모드 설정실패",
                                  Call::CreatePrimarySurface, "SetDisplayMode"},
                      FailingStep{Call::CreatePrimarySurface, DDERR_OUTOFVIDEOMEMORY, "프라이머리 설정 실패",
                                  Call::GetAttachedSurface, "CreatePrimarySurface"},
                      FailingStep{Call::GetAttachedSurface, DDERR_NOTFOUND, "백버퍼 설정실패",
                                  Call::GetAttachedSurface, "GetAttachedSurface"}),
    [](const ::testing::TestParamInfo<FailingStep>& info) { return std::string(info.param.name); });

// The status text over a striped scene.
class StatusTextTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(m_Game.InitDisplay());
    m_Game.StartTimer();
  }
  std::vector<std::uint32_t> DrawFrame() {
    PaintScene(m_Game.Back());
    m_Game.DrawStatusText();
    return ReadSurface(m_Game.Back());
  }
  CDisplayGame m_Game;
};

TEST_F(StatusTextTest, ThreeRedLinesWithTheSceneBetweenTheLetters) {
  platform::testing::set_counter(1);
  const std::vector<std::uint32_t> frame = DrawFrame();
  ASSERT_EQ(frame.size(), 1024u * 768u);

  int red_in_band[4] = {0, 0, 0, 0};  // rows 0-14, 15-30, 31-44, 45-60
  int scene_kept_in_text = 0;
  RECT box{1024, 768, 0, 0};
  for (int y = 0; y < 768; y++) {
    for (int x = 0; x < 1024; x++) {
      const std::uint32_t pixel = frame[static_cast<std::size_t>(y) * 1024 + x];
      if (pixel == SceneAt(x)) {
        if (y < 61 && x < 100) scene_kept_in_text++;
        continue;
      }
      ASSERT_EQ(pixel, 0x00FF0000u) << "at " << x << "," << y;
      const int band = y < 15 ? 0 : y <= 30 ? 1 : y < 45 ? 2 : 3;
      red_in_band[band]++;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  EXPECT_GT(red_in_band[0], 20);
  EXPECT_GT(red_in_band[1], 20);
  EXPECT_EQ(red_in_band[2], 0) << "nothing is written where a line at y = 30 would be";
  EXPECT_GT(red_in_band[3], 20);
  EXPECT_GT(scene_kept_in_text, 1000);
  EXPECT_LT(box.left, 4);
  EXPECT_LE(box.bottom, 61);
  EXPECT_LT(box.right, 300);
}

TEST_F(StatusTextTest, OnlyTheFrameRateLineChangesBetweenFrames) {
  platform::testing::set_counter(1);
  const std::vector<std::uint32_t> first = DrawFrame();  // "0프레임"
  for (int k = 0; k < 57; k++) {
    platform::testing::set_counter(2 + k);
    m_Game.DrawStatusText();
  }
  platform::testing::set_counter(2 + platform::testing::kCounterFrequency);
  const std::vector<std::uint32_t> later = DrawFrame();  // "57프레임"

  int changed_line1 = 0;
  for (int y = 0; y < 768; y++) {
    for (int x = 0; x < 1024; x++) {
      const std::size_t i = static_cast<std::size_t>(y) * 1024 + x;
      if (first[i] == later[i]) continue;
      ASSERT_LT(y, 15) << "pixel " << x << "," << y << " changed outside the first line";
      changed_line1++;
    }
  }
  EXPECT_GT(changed_line1, 10);
}

}  // namespace
