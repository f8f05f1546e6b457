#include "game/ball.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "game/main_game.h"
#include "gfx/images.h"
#include "support/bmp_file.h"
#include "testing/testing.h"

namespace {

std::uint32_t Bits(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

// Headings of the game as the floats nearest their decimal values.
const std::uint32_t kUpRight = 0x3F860A90;         // 1.0471973
const std::uint32_t kUpLeft = 0x40060A90;          // 2.0943947
const std::uint32_t kDownLeft = 0x40860A90;        // 4.1887894
const std::uint32_t kDownRight = 0xBF860A90;       // -1.0471973
const std::uint32_t kDownRightAt300 = 0x40A78D34;  // 5.2359867

BallInfo MakeBall(int nX, int nY, int nRadius, float fAngle, float fSpeed = 8.0f, float fFallSpeed = 1.0f,
                  float fGravity = 0.05f) {
  return BallInfo{1, nX, nY, nRadius, fAngle, fSpeed, fFallSpeed, fGravity};
}

BallInfo StartingBall() { return MakeBall(100, 100, 150, (float)(PI / 3)); }

// The ball set with a way to fill any slot, for worlds a game reaches only
// after many splits.
class CBallTable : public CBall {
 public:
  void Put(int nIndex, BallInfo Ball) { m_Ball[nIndex] = Ball; }
};

// The game window (its client rectangle is the cage) and the ball set.
class BallWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "BallTest";
    ASSERT_NE(RegisterClassA(&wc), 0);
    g_hWnd = CreateWindowExA(0, "BallTest", "BallTest", WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL);
    ASSERT_NE(g_hWnd, nullptr);
  }
  void SetCage(LONG left, LONG top, LONG right, LONG bottom) {
    platform::testing::set_client_rect(g_hWnd, RECT{left, top, right, bottom});
  }

  CBallTable m_Balls;
};

TEST(BallHeading, StartingHeadingIsTheGamesPiOverThree) {
  EXPECT_EQ(Bits((float)(PI / 3)), kUpRight);
  EXPECT_EQ(Bits((float)(PI / 3)), Bits(1.0471973f));
}

using BallMove = BallWorld;

TEST_F(BallMove, HeadingStepThenFallStepTruncateTheNewPosition) {
  SetCage(-1000, -1000, 2000, 2000);
  m_Balls.Init(StartingBall(), NULL);
  m_Balls.Move();
  const BallInfo Ball = m_Balls.GetBall(0);
  EXPECT_EQ(Ball.nX, 104);
  EXPECT_EQ(Ball.nY, 94);
  EXPECT_EQ(Bits(Ball.fFallSpeed), Bits(1.05f));
  EXPECT_EQ(Bits(Ball.fAngle), kUpRight);
  EXPECT_EQ(Bits(Ball.fSpeed), Bits(8.0f));

  m_Balls.Put(1, MakeBall(100, 100, 150, (float)(PI / 3), 8.0f, 0.0f, 0.0f));
  m_Balls.Move();
  EXPECT_EQ(m_Balls.GetBall(1).nX, 104);
  EXPECT_EQ(m_Balls.GetBall(1).nY, 93);
}

TEST_F(BallMove, StartingBallBouncesOffLeftWallThenCeiling) {
  SetCage(0, -1000, 1024, 768);
  m_Balls.Init(StartingBall(), NULL);
  m_Balls.Move();
  EXPECT_EQ(m_Balls.GetBall(0).nX, 150);
  EXPECT_EQ(m_Balls.GetBall(0).nY, 94);
  EXPECT_EQ(Bits(m_Balls.GetBall(0).fAngle), kUpLeft);

  SetCage(0, 0, 1024, 768);
  m_Balls.Init(StartingBall(), NULL);
  m_Balls.Move();
  BallInfo Ball = m_Balls.GetBall(0);
  EXPECT_EQ(Ball.nX, 150);
  EXPECT_EQ(Ball.nY, 150);
  EXPECT_EQ(Bits(Ball.fAngle), kDownLeft);
  EXPECT_EQ(Bits(Ball.fFallSpeed), Bits(1.05f));

  m_Balls.Move();
  Ball = m_Balls.GetBall(0);
  EXPECT_EQ(Ball.nX, 150);
  EXPECT_EQ(Ball.nY, 157);
  EXPECT_EQ(Bits(Ball.fAngle), kDownRight);
  EXPECT_EQ(Bits(Ball.fFallSpeed), Bits(1.05f + 0.05f));

  // Down and to the right from here on, falling faster each pass.
  for (int nPass = 1; nPass <= 20; nPass++) {
    const BallInfo Before = m_Balls.GetBall(0);
    m_Balls.Move();
    const BallInfo After = m_Balls.GetBall(0);
    ASSERT_EQ(After.nX, 150 + 4 * nPass);
    ASSERT_EQ(After.nY, Before.nY + 6 + (int)After.fFallSpeed);
    ASSERT_EQ(Bits(After.fAngle), kDownRight);
  }
  // The fall speed, summed in single precision, stays just below 2 until the
  // 19th pass: 17 passes add 7 pixels, three add 8.
  EXPECT_EQ(m_Balls.GetBall(0).nY, 299);
}

TEST_F(BallMove, ArrivingAtTheFloorHeadingUpEndsTwoPassesOnTheFloorLine) {
  SetCage(0, 0, 1024, 768);
  // Falling fast enough that the fall outweighs the upward heading step.
  m_Balls.Init(MakeBall(500, 690, 75, (float)(PI / 3), 8.0f, 10.95f), NULL);
  m_Balls.Move();
  BallInfo Ball = m_Balls.GetBall(0);
  EXPECT_EQ(Ball.nY, 693);
  EXPECT_EQ(Ball.fFallSpeed, 0.0f);
  EXPECT_EQ(Bits(Ball.fAngle), kDownRightAt300);

  m_Balls.Move();
  Ball = m_Balls.GetBall(0);
  EXPECT_EQ(Ball.nY, 693);
  EXPECT_EQ(Ball.fFallSpeed, 0.0f);
  EXPECT_EQ(Bits(Ball.fAngle), kUpRight);

  m_Balls.Move();
  EXPECT_EQ(m_Balls.GetBall(0).nY, 686);
  EXPECT_EQ(Bits(m_Balls.GetBall(0).fFallSpeed), Bits(0.05f));
}

TEST_F(BallMove, ACentreExactlyOnTheLeftOrFloorLineIsNotBounced) {
  SetCage(10, 20, 810, 620);
  m_Balls.Put(0, MakeBall(60, 300, 50, (float)(PI / 3), 0.0f, 0.0f, 0.0f));
  m_Balls.Put(1, MakeBall(59, 300, 50, (float)(PI / 3), 0.0f, 0.0f, 0.0f));
  m_Balls.Put(2, MakeBall(400, 570, 50, (float)(PI / 3), 0.0f, 0.0f, 0.05f));
  m_Balls.Put(3, MakeBall(400, 571, 50, (float)(PI / 3), 0.0f, 0.0f, 0.05f));
  m_Balls.Move();

  EXPECT_EQ(m_Balls.GetBall(0).nX, 60);
  EXPECT_EQ(Bits(m_Balls.GetBall(0).fAngle), kUpRight);
  EXPECT_EQ(m_Balls.GetBall(1).nX, 60);
  EXPECT_EQ(Bits(m_Balls.GetBall(1).fAngle), kUpLeft);

  EXPECT_EQ(m_Balls.GetBall(2).nY, 570);
  EXPECT_EQ(Bits(m_Balls.GetBall(2).fFallSpeed), Bits(0.05f));
  EXPECT_EQ(Bits(m_Balls.GetBall(2).fAngle), kUpRight);
  EXPECT_EQ(m_Balls.GetBall(3).nY, 570);
  EXPECT_EQ(m_Balls.GetBall(3).fFallSpeed, 0.0f);
}

TEST_F(BallMove, WallsAreTestedLeftRightTopBottomEachSeeingTheLast) {
  // A cage narrower and lower than the ball: each wall overrides the one
  // before, and each mirrors the heading once more.
  SetCage(0, 0, 100, 90);
  m_Balls.Put(0, MakeBall(50, 45, 60, (float)(PI / 3), 0.0f, 0.0f, 0.0f));
  m_Balls.Move();
  const BallInfo Ball = m_Balls.GetBall(0);
  EXPECT_EQ(Ball.nX, 40);
  EXPECT_EQ(Ball.nY, 30);
  EXPECT_EQ(Bits(Ball.fAngle), kUpRight);
  EXPECT_EQ(Ball.fFallSpeed, 0.0f);
}

TEST_F(BallMove, FreeSlotsStayWhereTheyWere) {
  SetCage(0, 0, 1024, 768);
  m_Balls.Init(MakeBall(400, 300, 29, (float)(PI / 3)), NULL);
  m_Balls.Split(0, m_Balls.GetBall(0));
  m_Balls.Move();
  const BallInfo Ball = m_Balls.GetBall(0);
  EXPECT_EQ(Ball.bAlive, 0);
  EXPECT_EQ(Ball.nX, 400);
  EXPECT_EQ(Ball.nY, 300);
  EXPECT_EQ(Bits(Ball.fFallSpeed), Bits(1.0f));
}

using BallSplit = BallWorld;

TEST_F(BallSplit, HalvesStartTogetherTenPixelsAlongTheParentsHeading) {
  m_Balls.Init(MakeBall(400, 300, 150, (float)(PI / 3), 8.0f, 2.5f, 0.05f), NULL);
  m_Balls.Split(0, m_Balls.GetBall(0));
  for (int i = 0; i < 2; i++) {
    const BallInfo Child = m_Balls.GetBall(i);
    EXPECT_EQ(Child.bAlive, 1);
    EXPECT_EQ(Child.nX, 405);
    EXPECT_EQ(Child.nY, 291);
    EXPECT_EQ(Child.nRadius, 75);
    EXPECT_EQ(Bits(Child.fSpeed), Bits(8.0f));
    EXPECT_EQ(Bits(Child.fFallSpeed), Bits(2.5f));
    EXPECT_EQ(Bits(Child.fGravity), Bits(0.05f));
  }
  EXPECT_EQ(Bits(m_Balls.GetBall(0).fAngle), kUpRight);
  EXPECT_EQ(Bits(m_Balls.GetBall(1).fAngle), kUpLeft);
  EXPECT_EQ(m_Balls.GetBall(2).bAlive, 0);
}

TEST_F(BallSplit, ChildrenTakeTheLowestFreeSlotsTheHitOneIncluded) {
  for (int i = 0; i < 10; i++)
    if (i != 2) m_Balls.Put(i, MakeBall(100 + i, 200, 40, (float)(PI / 3)));
  m_Balls.Split(5, m_Balls.GetBall(5));
  EXPECT_EQ(m_Balls.GetBall(2).bAlive, 1);
  EXPECT_EQ(m_Balls.GetBall(2).nRadius, 20);
  EXPECT_EQ(Bits(m_Balls.GetBall(2).fAngle), kUpRight);
  EXPECT_EQ(m_Balls.GetBall(5).bAlive, 1);
  EXPECT_EQ(m_Balls.GetBall(5).nRadius, 20);
  EXPECT_EQ(Bits(m_Balls.GetBall(5).fAngle), kUpLeft);
  EXPECT_EQ(m_Balls.GetBall(10).bAlive, 0);
  EXPECT_EQ(m_Balls.GetBall(4).nRadius, 40);
  EXPECT_EQ(m_Balls.GetBall(6).nRadius, 40);
}

TEST_F(BallSplit, WithEverySlotLiveOneChildTakesTheHitSlot) {
  for (int i = 0; i < MAX_BALL; i++) m_Balls.Put(i, MakeBall(400, 300, 30, (float)(PI / 3)));
  m_Balls.Put(50, MakeBall(400, 300, 64, (float)(PI / 3)));
  m_Balls.Split(50, m_Balls.GetBall(50));
  const BallInfo Child = m_Balls.GetBall(50);
  EXPECT_EQ(Child.bAlive, 1);
  EXPECT_EQ(Child.nRadius, 32);
  EXPECT_EQ(Child.nX, 405);
  EXPECT_EQ(Child.nY, 291);
  EXPECT_EQ(Bits(Child.fAngle), kUpRight);
  for (int i = 0; i < MAX_BALL; i++) {
    if (i == 50) continue;
    ASSERT_EQ(m_Balls.GetBall(i).nRadius, 30) << i;
  }
}

TEST_F(BallSplit, RadiiHalveDownToBelowThirtyThenTheBallIsGone) {
  m_Balls.Init(StartingBall(), NULL);
  const int nLine[] = {75, 37, 18};
  for (int nRadius : nLine) {
    m_Balls.Split(0, m_Balls.GetBall(0));
    ASSERT_EQ(m_Balls.GetBall(0).bAlive, 1);
    ASSERT_EQ(m_Balls.GetBall(0).nRadius, nRadius);
  }
  m_Balls.Split(0, m_Balls.GetBall(0));
  EXPECT_EQ(m_Balls.GetBall(0).bAlive, 0);
  EXPECT_EQ(m_Balls.GetBall(0).nRadius, 18);

  CBallTable Small;
  Small.Put(0, MakeBall(400, 300, 30, (float)(PI / 3)));
  Small.Put(1, MakeBall(600, 300, 29, (float)(PI / 3)));
  Small.Split(0, Small.GetBall(0));
  EXPECT_EQ(Small.GetBall(0).nRadius, 15);
  EXPECT_EQ(Small.GetBall(0).bAlive, 1);
  // Slot 1 held a live ball, so the second half went to slot 2.
  EXPECT_EQ(Small.GetBall(2).nRadius, 15);
  Small.Split(1, Small.GetBall(1));
  EXPECT_EQ(Small.GetBall(1).bAlive, 0);
  EXPECT_EQ(Small.GetBall(1).nX, 600);
  EXPECT_EQ(Small.GetBall(3).bAlive, 0);
}

// The ball set drawing on the back buffer of a 1024x768x32 display, with a
// 300-pixel ball picture of one colour.
class BallDraw : public BallWorld {
 protected:
  static constexpr std::uint32_t kBallColour = 0x2080C0;

  void SetUp() override {
    BallWorld::SetUp();
    ASSERT_EQ(DirectDrawCreateEx(NULL, (LPVOID*)&m_pDD, IID_IDirectDraw7, NULL), DD_OK);
    ASSERT_EQ(m_pDD->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(m_pDD->SetDisplayMode(1024, 768, 32, 0, 0), DD_OK);
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    ddsd.dwBackBufferCount = 1;
    ASSERT_EQ(m_pDD->CreateSurface(&ddsd, &m_pPrimary, NULL), DD_OK);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    ASSERT_EQ(m_pPrimary->GetAttachedSurface(&caps, &m_pBack), DD_OK);

    const std::string sPath =
        hops_test::write_bmp(hops_test::make_temp_dir(), "ball.bmp", 300, 300, [](int, int) {
          return hops_test::Rgb{0x20, 0x80, 0xC0};
        });
    ASSERT_TRUE(m_Picture.LoadBitmap32(m_pDD, sPath.c_str()));
  }
  void TearDown() override {
    if (m_pBack) m_pBack->Release();
    if (m_pPrimary) m_pPrimary->Release();
    if (m_pDD) m_pDD->Release();
  }

  // Runs Draw on a black back buffer and counts the ball-coloured pixels;
  // the box (left, top, right, bottom) is the bounding box of that colour.
  int DrawAndMeasure(RECT* pBox) {
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    EXPECT_EQ(m_pBack->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL), DD_OK);
    for (DWORD y = 0; y < ddsd.dwHeight; y++)
      std::memset((BYTE*)ddsd.lpSurface + y * ddsd.lPitch, 0, ddsd.dwWidth * 4);
    m_pBack->Unlock(NULL);

    m_Balls.Draw(m_pBack);

    ddsd = DDSURFACEDESC2{};
    ddsd.dwSize = sizeof ddsd;
    EXPECT_EQ(m_pBack->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL), DD_OK);
    int nCount = 0;
    *pBox = RECT{1024, 768, -1, -1};
    for (int y = 0; y < 768; y++) {
      const DWORD* pRow = (const DWORD*)((const BYTE*)ddsd.lpSurface + y * ddsd.lPitch);
      for (int x = 0; x < 1024; x++) {
        if (pRow[x] != kBallColour) continue;
        nCount++;
        pBox->left = std::min<LONG>(pBox->left, x);
        pBox->top = std::min<LONG>(pBox->top, y);
        pBox->right = std::max<LONG>(pBox->right, x + 1);
        pBox->bottom = std::max<LONG>(pBox->bottom, y + 1);
      }
    }
    m_pBack->Unlock(NULL);
    return nCount;
  }

  IDirectDraw7* m_pDD = nullptr;
  IDirectDrawSurface7* m_pPrimary = nullptr;
  IDirectDrawSurface7* m_pBack = nullptr;
  CImages m_Picture;
};

TEST_F(BallDraw, PictureFillsTheSquareAroundTheCircle) {
  m_Balls.Init(MakeBall(500, 400, 150, (float)(PI / 3)), &m_Picture);
  RECT rcBox;
  EXPECT_EQ(DrawAndMeasure(&rcBox), 300 * 300);
  EXPECT_EQ(rcBox.left, 350);
  EXPECT_EQ(rcBox.top, 250);
  EXPECT_EQ(rcBox.right, 650);
  EXPECT_EQ(rcBox.bottom, 550);
}

TEST_F(BallDraw, ScaledPictureIsTruncatedToWholePixels) {
  // 300 x 0.12f falls just short of 36: the picture is 35 pixels square.
  m_Balls.Init(MakeBall(100, 100, 18, (float)(PI / 3)), &m_Picture);
  RECT rcBox;
  EXPECT_EQ(DrawAndMeasure(&rcBox), 35 * 35);
  EXPECT_EQ(rcBox.left, 82);
  EXPECT_EQ(rcBox.top, 82);
  EXPECT_EQ(rcBox.right, 117);
  EXPECT_EQ(rcBox.bottom, 117);
}

TEST_F(BallDraw, FreeSlotsAndSquaresPastAnEdgeDrawNothing) {
  SetCage(0, 0, 1024, 768);
  m_Balls.Init(StartingBall(), &m_Picture);
  RECT rcBox;
  EXPECT_EQ(DrawAndMeasure(&rcBox), 0);

  m_Balls.Move();
  EXPECT_EQ(DrawAndMeasure(&rcBox), 300 * 300);
  EXPECT_EQ(rcBox.left, 0);
  EXPECT_EQ(rcBox.top, 0);

  m_Balls.Put(0, MakeBall(500, 400, 29, (float)(PI / 3)));
  m_Balls.Split(0, m_Balls.GetBall(0));
  EXPECT_EQ(DrawAndMeasure(&rcBox), 0);
}

}  // namespace
