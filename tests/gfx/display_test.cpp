#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/count.h"
#include "game/main_game.h"
#include "support/test_display.h"

namespace {

namespace pt = platform::testing;

// The game object with its display opened up, and a frame timer for the
// status text.
class CDisplayGame : public CMainGame {
 public:
  void StartTimer() {
    m_pCount = new CCount;
    m_pCount->Init();
  }
  IDirectDrawSurface7* Back() const { return m_pDDSBack; }
  bool HasDirectDraw() const { return m_pDD != nullptr; }
};

// Vertical stripes two pixels wide, so that text shows apart from both.
void PaintScene(IDirectDrawSurface7* pSurface) {
  hops_test::paint_surface(pSurface, [](int x, int) { return (x / 2) % 2 ? 0x00204060u : 0x00406020u; });
}

std::vector<std::uint32_t> ReadSurface(IDirectDrawSurface7* pSurface) {
  return hops_test::read_surface(pSurface).pixels;
}

TEST(DisplayTest, SetsUpAFlippingChainInTheGamesModeAndFlipsWhatWasDrawn) {
  hops_test::make_game_window();
  {
    CDisplayGame game;
    ASSERT_TRUE(game.InitDisplay());
    EXPECT_TRUE(pt::message_boxes().empty());
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ASSERT_EQ(game.Back()->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(std::vector<DWORD>({ddsd.dwWidth, ddsd.dwHeight, ddsd.ddpfPixelFormat.dwRGBBitCount}),
              std::vector<DWORD>({1024, 768, 32}));
    game.Back()->Unlock(nullptr);

    PaintScene(game.Back());
    const std::vector<std::uint32_t> scene = ReadSurface(game.Back());
    game.FlipPage();
    EXPECT_EQ(pt::flip_count(), 1);
    EXPECT_EQ(pt::screen().pixels, scene);
  }
  EXPECT_EQ(pt::live_objects(), 0);
}

// Each step that fails shows its box and stops the set-up there; whatever
// was made before is released with the game object.
TEST(DisplayTest, EachFailingStepShowsItsBoxAndStopsTheSetUp) {
  const struct {
    pt::Call call;
    HRESULT result;
    const char* text;
    pt::Call next;  // the step after it, never attempted
  } rows[] = {
      {pt::Call::DirectDrawCreateEx, DDERR_NODIRECTDRAWHW, "다이렉트 드로우 객체 설정실패",
       pt::Call::SetCooperativeLevel},
      {pt::Call::SetCooperativeLevel, DDERR_EXCLUSIVEMODEALREADYSET, "협력레벌 설정실패",
       pt::Call::SetDisplayMode},
      {pt::Call::SetDisplayMode, DDERR_INVALIDMODE, "디스플레이 모드 설정실패",
       pt::Call::CreatePrimarySurface},
      {pt::Call::CreatePrimarySurface, DDERR_OUTOFVIDEOMEMORY, "프라이머리 설정 실패",
       pt::Call::GetAttachedSurface},
      {pt::Call::GetAttachedSurface, DDERR_NOTFOUND, "백버퍼 설정실패", pt::Call::Lock},
  };
  for (const auto& row : rows) {
    pt::reset();
    hops_test::make_game_window();
    pt::fail_call(row.call, 1, row.result);
    {
      CDisplayGame game;
      EXPECT_FALSE(game.InitDisplay());
      EXPECT_EQ(game.HasDirectDraw(), row.call != pt::Call::DirectDrawCreateEx) << row.text;
      EXPECT_EQ(game.Back(), nullptr);
    }
    ASSERT_EQ(pt::message_boxes().size(), 1u);
    EXPECT_EQ(pt::message_boxes()[0].text, row.text);
    EXPECT_EQ(pt::message_boxes()[0].caption, "Tobrikan");
    EXPECT_EQ(pt::call_count(row.call), 1) << row.text;
    EXPECT_EQ(pt::call_count(row.next), 0) << row.text;
    EXPECT_EQ(pt::live_objects(), 0) << row.text;
  }
}

// The status text is the three lines "<rate>프레임", "32비트모드" and
// "메모리모드 : VVV", red, at y = 0, 15 and 45, over the scene: the same
// pixels as those lines written by hand in CP949. The rate is that of the
// last closed second.
TEST(DisplayTest, StatusTextIsThreeRedLinesOverTheScene) {
  hops_test::make_game_window();
  CDisplayGame game;
  ASSERT_TRUE(game.InitDisplay());
  game.StartTimer();
  const auto by_hand = [&](const char* szRate) {
    PaintScene(game.Back());
    HDC hdc = nullptr;
    EXPECT_EQ(game.Back()->GetDC(&hdc), DD_OK);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(255, 0, 0));
    const std::string lines[] = {std::string(szRate) + "\xC7\xC1\xB7\xB9\xC0\xD3",
                                 "32\xBA\xF1\xC6\xAE\xB8\xF0\xB5\xE5",
                                 "\xB8\xDE\xB8\xF0\xB8\xAE\xB8\xF0\xB5\xE5 : VVV"};
    const int y[] = {0, 15, 45};
    for (int i = 0; i < 3; i++) TextOutA(hdc, 0, y[i], lines[i].c_str(), static_cast<int>(lines[i].size()));
    game.Back()->ReleaseDC(hdc);
    return ReadSurface(game.Back());
  };
  const auto drawn = [&] {
    PaintScene(game.Back());
    game.DrawStatusText();
    return ReadSurface(game.Back());
  };

  pt::set_counter(1);
  const std::vector<std::uint32_t> first = drawn();
  EXPECT_EQ(first, by_hand("0"));
  for (int k = 0; k < 57; k++) {
    pt::set_counter(2 + k);
    game.DrawStatusText();
  }
  pt::set_counter(2 + pt::kCounterFrequency);
  EXPECT_EQ(drawn(), by_hand("57"));
  EXPECT_NE(first, by_hand("57"));
  int nRed = 0;
  for (std::uint32_t pixel : first) nRed += pixel == 0x00FF0000;
  EXPECT_GT(nRed, 200);
}

}  // namespace
