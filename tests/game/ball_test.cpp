#include "game/ball.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "game/main_game.h"
#include "game/player.h"
#include "gfx/images.h"
#include "support/game_pictures.h"
#include "support/test_display.h"

namespace {

// Headings the game reaches from its pi / 3, as the floats they are.
constexpr float kUpRight = 1.0471973f;
constexpr float kUpLeft = 2.0943947f;
constexpr float kDownLeft = 4.1887894f;
constexpr float kDownRight = -1.0471973f;
constexpr float kDownRightAt300 = 5.2359867f;

BallInfo Ball(int nX, int nY, int nRadius, float fAngle = kUpRight, float fSpeed = 8.0f,
              float fFallSpeed = 1.0f, float fGravity = 0.05f) {
  return BallInfo{1, nX, nY, nRadius, fAngle, fSpeed, fFallSpeed, fGravity};
}

// Every field, floats as their exact hexadecimal values.
std::string Show(const BallInfo& b) {
  char sz[160];
  std::snprintf(sz, sizeof sz, "alive %d at %d,%d r %d heading %a speed %a fall %a gravity %a", b.bAlive,
                b.nX, b.nY, b.nRadius, b.fAngle, b.fSpeed, b.fFallSpeed, b.fGravity);
  return sz;
}

// Both tables with a way to fill any slot, and what lies right after the
// ball table, which no pass may write.
class CBallTable : public CBall {
 public:
  void Put(int nIndex, BallInfo Ball) { m_Ball[nIndex] = Ball; }
  bool PictureKept(CImages* pImage) const { return m_pImage == pImage; }
  int LiveBalls() {
    int n = 0;
    for (int i = 0; i < MAX_BALL; i++) n += GetBall(i).bAlive;
    return n;
  }
};

class CPlayerTable : public CPlayer {
 public:
  void PutBullet(int nIndex, int nX, int nY, int nRadius) {
    m_Bullet[nIndex] = BulletInfo{true, nRadius, nX, nY, 1.570796f, 5.0f};
  }
};

class BallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hops_test::make_game_window();
    PlayerInfo Info{{100, 600, 150, 700}, 50, 100, 5};
    m_Player.Init(Info, nullptr, nullptr);
    g_nGameState = STATE_PLAY;
  }
  CBallTable m_Balls;
  CPlayerTable m_Player;
};

TEST_F(BallTest, OnePassOfMoveStepsFallsAndBouncesOffEachEdge) {
  const RECT kFree{-1000, -1000, 2000, 2000}, kScreen{0, 0, 1024, 768}, kSmall{10, 20, 810, 620};
  const struct {
    const char* what;
    RECT cage;
    BallInfo in, out;
  } rows[] = {
      {"heading step, then fall step", kFree, Ball(100, 100, 150), Ball(104, 94, 150, kUpRight, 8, 1.05f)},
      {"positions truncate toward zero", kFree, Ball(100, 100, 150, kUpRight, 8, 0, 0),
       Ball(104, 93, 150, kUpRight, 8, 0, 0)},
      {"left wall", {0, -1000, 1024, 768}, Ball(100, 100, 150), Ball(150, 94, 150, kUpLeft, 8, 1.05f)},
      {"left wall, then ceiling", kScreen, Ball(100, 100, 150), Ball(150, 150, 150, kDownLeft, 8, 1.05f)},
      {"left wall again", kScreen, Ball(150, 150, 150, kDownLeft, 8, 1.05f),
       Ball(150, 157, 150, kDownRight, 8, 1.0999999f)},
      {"falling on the floor heading up", kScreen, Ball(500, 690, 75, kUpRight, 8, 10.95f),
       Ball(504, 693, 75, kDownRightAt300, 8, 0)},
      {"on the floor heading down", kScreen, Ball(504, 693, 75, kDownRightAt300, 8, 0),
       Ball(507, 693, 75, kUpRight, 8, 0)},
      {"climbing from rest", kScreen, Ball(507, 693, 75, kUpRight, 8, 0),
       Ball(511, 686, 75, kUpRight, 8, 0.05f)},
      {"on the left line", kSmall, Ball(60, 300, 50, kUpRight, 0, 0, 0),
       Ball(60, 300, 50, kUpRight, 0, 0, 0)},
      {"past the left line", kSmall, Ball(59, 300, 50, kUpRight, 0, 0, 0),
       Ball(60, 300, 50, kUpLeft, 0, 0, 0)},
      {"on the right line", kSmall, Ball(760, 300, 50, kUpRight, 0, 0, 0),
       Ball(760, 300, 50, kUpRight, 0, 0, 0)},
      {"past the right line", kSmall, Ball(761, 300, 50, kUpRight, 0, 0, 0),
       Ball(760, 300, 50, kUpLeft, 0, 0, 0)},
      {"on the top line", kSmall, Ball(400, 70, 50, kUpRight, 0, 0, 0), Ball(400, 70, 50, kUpRight, 0, 0, 0)},
      {"past the top line", kSmall, Ball(400, 69, 50, kUpRight, 0, 0, 0),
       Ball(400, 70, 50, kDownRightAt300, 0, 0, 0)},
      {"on the floor line", kSmall, Ball(400, 570, 50, kUpRight, 0, 0),
       Ball(400, 570, 50, kUpRight, 0, 0.05f)},
      {"past the floor line", kSmall, Ball(400, 571, 50, kUpRight, 0, 0),
       Ball(400, 570, 50, kDownRightAt300, 0, 0)},
      {"walls left, right, top, bottom, each seeing the last",
       {0, 0, 100, 90},
       Ball(50, 45, 60, kUpRight, 0, 0, 0),
       Ball(40, 30, 60, kUpRight, 0, 0, 0)},
      {"a free slot past every wall stays", kSmall, BallInfo{0, 1, 2, 3, 4, 5, 6, 7},
       BallInfo{0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const auto& row : rows) {
    CBallTable Balls;
    platform::testing::set_client_rect(g_hWnd, row.cage);
    Balls.Put(0, row.in);
    Balls.Put(MAX_BALL - 1, row.in);
    Balls.Move();
    EXPECT_EQ(Show(Balls.GetBall(0)), Show(row.out)) << row.what;
    EXPECT_EQ(Show(Balls.GetBall(MAX_BALL - 1)), Show(row.out)) << row.what << ", last slot";
  }
}

TEST_F(BallTest, SplitPutsHalvesTenPixelsOnIntoTheLowestFreeSlots) {
  m_Balls.Init(Ball(400, 300, 150, kUpRight, 8, 2.5f), nullptr);
  m_Balls.Split(0, m_Balls.GetBall(0));
  EXPECT_EQ(Show(m_Balls.GetBall(0)), Show(Ball(405, 291, 75, kUpRight, 8, 2.5f)));
  EXPECT_EQ(Show(m_Balls.GetBall(1)), Show(Ball(405, 291, 75, kUpLeft, 8, 2.5f)));
  EXPECT_EQ(m_Balls.LiveBalls(), 2);

  // Slots 0 to 9 live but 2: the hit slot 5 is free again for the second half.
  CBallTable Balls;
  for (int i = 0; i < 10; i++)
    if (i != 2) Balls.Put(i, Ball(100 + i, 200, 40));
  Balls.Split(5, Balls.GetBall(5));
  EXPECT_EQ(Show(Balls.GetBall(2)), Show(Ball(110, 191, 20, kUpRight)));
  EXPECT_EQ(Show(Balls.GetBall(5)), Show(Ball(110, 191, 20, kUpLeft)));
  EXPECT_EQ(Show(Balls.GetBall(6)), Show(Ball(106, 200, 40)));
  EXPECT_EQ(Balls.LiveBalls(), 10);
}

TEST_F(BallTest, WithEverySlotLiveOneHalfTakesTheHitSlotAndNothingPastTheTable) {
  CImages Picture;
  m_Balls.Init(Ball(0, 0, 30), &Picture);
  for (int i = 0; i < MAX_BALL; i++) m_Balls.Put(i, Ball(400, 300, i == 50 ? 64 : 30));
  m_Balls.Split(50, m_Balls.GetBall(50));
  EXPECT_EQ(Show(m_Balls.GetBall(50)), Show(Ball(405, 291, 32)));
  EXPECT_EQ(Show(m_Balls.GetBall(MAX_BALL - 1)), Show(Ball(400, 300, 30)));
  EXPECT_EQ(m_Balls.LiveBalls(), MAX_BALL);
  EXPECT_TRUE(m_Balls.PictureKept(&Picture));
}

TEST_F(BallTest, RadiiHalveDownToBelowThirtyThenTheBallIsGoneAndItsRecordKept) {
  m_Balls.Put(0, Ball(100, 100, 150));
  for (int nRadius : {75, 37, 18, 18}) {
    m_Balls.Split(0, m_Balls.GetBall(0));
    EXPECT_EQ(m_Balls.GetBall(0).nRadius, nRadius);
  }
  EXPECT_EQ(m_Balls.GetBall(0).bAlive, 0);

  CBallTable Balls;
  Balls.Put(0, Ball(600, 300, 30));
  Balls.Put(1, Ball(700, 300, 29));
  Balls.Split(1, Balls.GetBall(1));
  EXPECT_EQ(Show(Balls.GetBall(1)), Show(BallInfo{0, 700, 300, 29, kUpRight, 8, 1, 0.05f}));
  Balls.Split(0, Balls.GetBall(0));
  EXPECT_EQ(Show(Balls.GetBall(0)), Show(Ball(605, 291, 15)));
  EXPECT_EQ(Show(Balls.GetBall(1)), Show(Ball(605, 291, 15, kUpLeft)));
  EXPECT_EQ(Balls.LiveBalls(), 2);
}

TEST_F(BallTest, CollisionEndsTheGameOnACentreInTheRectangleAndSplitsWhatABulletReaches) {
  const struct {
    const char* what;
    int nX, nY, nRadius;  // the ball in slot 0
    int nBulletX, nBulletY, nBulletRadius;
    int nState, nLive;
    bool bBulletAlive;
  } rows[] = {
      {"reach equal to the distance", 500, 300, 10, 515, 300, 5, STATE_PLAY, 1, true},
      {"reach one more than the distance", 500, 300, 10, 509, 312, 6, STATE_PLAY, 0, false},
      {"a big ball splits", 500, 300, 150, 500, 300, 45, STATE_PLAY, 2, false},
      {"far bullet", 500, 300, 150, 100500, 300, 45, STATE_PLAY, 1, true},
      {"differences past 32 bits", 500, 300, 150, INT_MIN, INT_MIN, 45, STATE_PLAY, 1, true},
      {"top left corner of the rectangle", 100, 600, 150, 900, 0, 1, STATE_ENDING, 1, true},
      {"bottom right pixel of the rectangle", 149, 699, 150, 900, 0, 1, STATE_ENDING, 1, true},
      {"right edge, exclusive", 150, 600, 150, 900, 0, 1, STATE_PLAY, 1, true},
      {"bottom edge, exclusive", 100, 700, 150, 900, 0, 1, STATE_PLAY, 1, true},
      {"left of the rectangle", 99, 650, 150, 900, 0, 1, STATE_PLAY, 1, true},
      {"the ending and a split in one pass", 120, 650, 150, 120, 640, 45, STATE_ENDING, 2, false},
  };
  for (const auto& row : rows) {
    CBallTable Balls;
    CPlayerTable Player;
    Player.Init(PlayerInfo{{100, 600, 150, 700}, 50, 100, 5}, nullptr, nullptr);
    g_nGameState = STATE_PLAY;
    Balls.Put(0, Ball(row.nX, row.nY, row.nRadius));
    Player.PutBullet(MAX_BULLET - 1, row.nBulletX, row.nBulletY, row.nBulletRadius);
    Balls.Collision(&Player);
    EXPECT_EQ(g_nGameState, row.nState) << row.what;
    EXPECT_EQ(Balls.LiveBalls(), row.nLive) << row.what;
    EXPECT_EQ(Player.GetBullet(MAX_BULLET - 1).bAlive, row.bBulletAlive) << row.what;
    EXPECT_EQ(Player.GetBullet(MAX_BULLET - 1).nY, row.bBulletAlive ? row.nBulletY : -500) << row.what;
  }
}

TEST_F(BallTest, OneBulletSplitsOnlyTheLowestBallItReaches) {
  m_Balls.Put(3, Ball(500, 300, 75));
  m_Balls.Put(7, Ball(500, 300, 75));
  m_Player.PutBullet(0, 500, 300, 45);
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(m_Balls.GetBall(0).nRadius, 37);
  EXPECT_EQ(m_Balls.GetBall(1).nRadius, 37);
  EXPECT_EQ(m_Balls.GetBall(3).bAlive, 0);
  EXPECT_EQ(m_Balls.GetBall(7).nRadius, 75);
  EXPECT_EQ(m_Balls.LiveBalls(), 3);
}

// The first half lands in the slot under test and meets the remaining
// bullets there; its own halves take slots 0 and 2. A bullet over a ball
// that vanished stays live.
TEST_F(BallTest, ASplitChainsThroughTheRemainingBullets) {
  m_Balls.Put(0, Ball(500, 300, 150));
  m_Player.PutBullet(0, 500, 300, 45);
  m_Player.PutBullet(1, 500, 300, 45);
  m_Player.PutBullet(2, 900, 100, 45);
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(Show(m_Balls.GetBall(0)), Show(Ball(510, 282, 37)));
  EXPECT_EQ(Show(m_Balls.GetBall(1)), Show(Ball(505, 291, 75, kUpLeft)));
  EXPECT_EQ(Show(m_Balls.GetBall(2)), Show(Ball(510, 282, 37, kUpLeft)));
  EXPECT_EQ(m_Balls.LiveBalls(), 3);
  EXPECT_FALSE(m_Player.GetBullet(1).bAlive);
  EXPECT_TRUE(m_Player.GetBullet(2).bAlive);

  CBallTable Small;
  Small.Put(0, Ball(500, 300, 18));
  m_Player.PutBullet(0, 500, 300, 45);
  m_Player.PutBullet(1, 500, 300, 45);
  Small.Collision(&m_Player);
  EXPECT_EQ(Small.LiveBalls(), 0);
  EXPECT_FALSE(m_Player.GetBullet(0).bAlive);
  EXPECT_TRUE(m_Player.GetBullet(1).bAlive);
}

// The distance is the single-precision root of the single-precision sum of
// the squares, for any two points of 32-bit coordinates.
TEST_F(BallTest, DistanceMatchesAWideReference) {
  const auto reference = [](int nX1, int nY1, int nX2, int nY2) {
    const __int128 dx = (__int128)nX1 - nX2, dy = (__int128)nY1 - nY2;
    return (float)std::sqrt((double)(float)(dx * dx + dy * dy));
  };
  const int kEdges[] = {INT_MIN, INT_MIN + 1, -46341, -1, 0, 1, 3, 4, 46340, 65536, INT_MAX - 1, INT_MAX};
  for (int a : kEdges)
    for (int b : kEdges)
      for (int c : kEdges)
        EXPECT_EQ(m_Balls.GetDistance(a, b, c, ~b), reference(a, b, c, ~b)) << a << " " << b;
  std::mt19937 random(1);
  for (int i = 0; i < 20000; i++) {
    const int nShift = static_cast<int>(random() % 32);
    const auto coordinate = [&] { return static_cast<int>(random()) >> nShift; };
    const int nX1 = coordinate(), nY1 = coordinate(), nX2 = coordinate(), nY2 = coordinate();
    ASSERT_EQ(m_Balls.GetDistance(nX1, nY1, nX2, nY2), reference(nX1, nY1, nX2, nY2)) << nX1 << " " << nY1;
  }
  EXPECT_EQ(m_Balls.GetDistance(0, 0, 3, 4), 5.0f);
}

TEST_F(BallTest, DrawScalesThePictureToEachLiveBallsSquare) {
  hops_test::TestDisplay Display;
  CImages Picture;
  ASSERT_TRUE(Display.load(Picture, 300, 300, [](int, int) { return hops_test::Rgb{0x20, 0x80, 0xC0}; }));
  m_Balls.Init(Ball(500, 400, 150), &Picture);
  m_Balls.Put(MAX_BALL - 1, Ball(100, 700, 37));
  m_Balls.Put(5, BallInfo{0, 800, 100, 75, kUpRight, 8, 1, 0.05f});
  m_Balls.Put(6, Ball(1000, 100, 75));  // its square leaves the screen
  Display.fill(0);
  m_Balls.Draw(Display.back());
  const platform::testing::Screen screen = Display.read();
  EXPECT_EQ(hops_test::count_colour(screen, 0x2080C0), 300 * 300 + 74 * 74);
  EXPECT_EQ(hops_test::count_colour(screen, 0x2080C0, 350, 250, 650, 550), 300 * 300);
  EXPECT_EQ(hops_test::count_colour(screen, 0x2080C0, 63, 663, 137, 737), 74 * 74);
}

}  // namespace
