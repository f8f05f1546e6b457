#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "game/ball.h"
#include "game/main_game.h"
#include "game/player.h"
#include "gfx/images.h"
#include "support/bmp_file.h"
#include "support/test_display.h"
#include "testing/testing.h"

namespace {

// Both tables with a way to fill any slot.
class CBallTable : public CBall {
 public:
  void Put(int nIndex, BallInfo Ball) { m_Ball[nIndex] = Ball; }
};

class CPlayerTable : public CPlayer {
 public:
  void PutBullet(int nIndex, int nX, int nY, int nRadius) {
    m_Bullet[nIndex].bAlive = true;
    m_Bullet[nIndex].nX = nX;
    m_Bullet[nIndex].nY = nY;
    m_Bullet[nIndex].nRadius = nRadius;
    m_Bullet[nIndex].fAngle = 1.570796f;
    m_Bullet[nIndex].fSpeed = 5.0f;
  }
};

BallInfo MakeBall(int nX, int nY, int nRadius, float fAngle = (float)(PI / 3)) {
  return BallInfo{1, nX, nY, nRadius, fAngle, 8.0f, 1.0f, 0.05f};
}

// The player in the starting rectangle (100, 600)-(150, 700) and an empty
// ball table, in play.
class CollisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hops_test::make_game_window();
    PlayerInfo Info;
    Info.nWidth = 50;
    Info.nHeight = 100;
    Info.nSpeed = 5;
    Info.rc = RECT{100, 600, 150, 700};
    m_Player.Init(Info, nullptr, nullptr);
    g_nGameState = STATE_PLAY;
  }

  int LiveBalls() {
    int n = 0;
    for (int i = 0; i < MAX_BALL; i++) n += m_Balls.GetBall(i).bAlive;
    return n;
  }

  CBallTable m_Balls;
  CPlayerTable m_Player;
};

TEST_F(CollisionTest, AReachEqualToTheDistanceMissesAndOneMoreHits) {
  m_Balls.Put(0, MakeBall(500, 300, 10));
  m_Player.PutBullet(0, 515, 300, 5);
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(m_Balls.GetBall(0).bAlive, 1);
  EXPECT_TRUE(m_Player.GetBullet(0).bAlive);

  m_Player.PutBullet(0, 509, 312, 6);  // 15 away, reach 16
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(m_Balls.GetBall(0).bAlive, 0);
  EXPECT_FALSE(m_Player.GetBullet(0).bAlive);
  EXPECT_EQ(m_Player.GetBullet(0).nY, -500);
  EXPECT_EQ(LiveBalls(), 0);  // radius 10 vanishes
}

TEST_F(CollisionTest, OnlyACentreInsideTheRectangleEndsTheGame) {
  struct Case {
    int nX, nY;
    int nState;
  } cases[] = {
      {100, 600, STATE_ENDING}, {149, 699, STATE_ENDING}, {150, 600, STATE_PLAY}, {100, 700, STATE_PLAY},
      {99, 650, STATE_PLAY},
  };
  for (const Case& c : cases) {
    g_nGameState = STATE_PLAY;
    m_Balls.Put(0, MakeBall(c.nX, c.nY, 150));
    m_Balls.Collision(&m_Player);
    EXPECT_EQ(g_nGameState, c.nState) << c.nX << "," << c.nY;
  }
}

TEST_F(CollisionTest, EveryBallInsideSetsTheEndingAndTheBallStays) {
  m_Balls.Put(4, MakeBall(120, 650, 18));
  m_Balls.Put(9, MakeBall(130, 610, 75));
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(g_nGameState, STATE_ENDING);
  EXPECT_EQ(m_Balls.GetBall(4).bAlive, 1);
  EXPECT_EQ(m_Balls.GetBall(9).bAlive, 1);
}

TEST_F(CollisionTest, OneBulletOverTwoBallsSplitsOnlyTheLowerSlot) {
  m_Balls.Put(3, MakeBall(500, 300, 75));
  m_Balls.Put(7, MakeBall(500, 300, 75));
  m_Player.PutBullet(0, 500, 300, 45);
  m_Balls.Collision(&m_Player);

  EXPECT_EQ(m_Balls.GetBall(3).bAlive, 0);
  EXPECT_EQ(m_Balls.GetBall(7).bAlive, 1);
  EXPECT_EQ(m_Balls.GetBall(7).nRadius, 75);
  // The halves go to the lowest free slots, below the one being tested.
  EXPECT_EQ(m_Balls.GetBall(0).nRadius, 37);
  EXPECT_EQ(m_Balls.GetBall(1).nRadius, 37);
  EXPECT_EQ(LiveBalls(), 3);
  EXPECT_FALSE(m_Player.GetBullet(0).bAlive);
}

TEST_F(CollisionTest, ASecondBulletOverAVanishedBallStaysLive) {
  m_Balls.Put(0, MakeBall(500, 300, 18));
  m_Player.PutBullet(0, 500, 300, 45);
  m_Player.PutBullet(1, 500, 300, 45);
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(LiveBalls(), 0);
  EXPECT_FALSE(m_Player.GetBullet(0).bAlive);
  EXPECT_TRUE(m_Player.GetBullet(1).bAlive);
}

// The first half of a split lands in the slot under test and meets the
// remaining bullets there; its own halves take slots 0 and 2.
TEST_F(CollisionTest, ASplitInSlotZeroChainsThroughTheRemainingBullets) {
  m_Balls.Put(0, MakeBall(500, 300, 150));
  m_Player.PutBullet(0, 500, 300, 45);
  m_Player.PutBullet(1, 500, 300, 45);
  m_Player.PutBullet(2, 900, 100, 45);
  m_Balls.Collision(&m_Player);

  const BallInfo b0 = m_Balls.GetBall(0);
  const BallInfo b1 = m_Balls.GetBall(1);
  const BallInfo b2 = m_Balls.GetBall(2);
  EXPECT_EQ(LiveBalls(), 3);
  EXPECT_EQ(b0.nRadius, 37);
  EXPECT_EQ(b1.nRadius, 75);
  EXPECT_EQ(b2.nRadius, 37);
  // Halves start 10 pixels along the parent's heading.
  EXPECT_EQ(b1.nX, 505);
  EXPECT_EQ(b1.nY, 291);
  EXPECT_EQ(b0.nX, 510);
  EXPECT_EQ(b0.nY, 282);
  EXPECT_EQ(b2.nX, 510);
  EXPECT_EQ(b2.nY, 282);
  EXPECT_EQ(b1.fAngle, (float)((double)PI - (double)(float)(PI / 3)));
  EXPECT_FALSE(m_Player.GetBullet(0).bAlive);
  EXPECT_FALSE(m_Player.GetBullet(1).bAlive);
  EXPECT_TRUE(m_Player.GetBullet(2).bAlive);
}

TEST_F(CollisionTest, TheEndingAndASplitHappenInOnePass) {
  m_Balls.Put(0, MakeBall(120, 650, 150));
  m_Player.PutBullet(0, 120, 640, 45);
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(g_nGameState, STATE_ENDING);
  EXPECT_EQ(LiveBalls(), 2);
  EXPECT_EQ(m_Balls.GetBall(0).nRadius, 75);
}

TEST_F(CollisionTest, FarBulletsNeverHitAndDistancesDoNotOverflow) {
  m_Balls.Put(0, MakeBall(500, 300, 150));
  m_Player.PutBullet(0, 100500, 300, 45);
  m_Player.PutBullet(1, INT_MIN, INT_MIN, 45);
  m_Player.PutBullet(2, INT_MAX, INT_MIN, INT_MAX - 150);
  m_Balls.Collision(&m_Player);
  EXPECT_EQ(LiveBalls(), 1);
  EXPECT_TRUE(m_Player.GetBullet(0).bAlive);
  EXPECT_TRUE(m_Player.GetBullet(1).bAlive);
  EXPECT_TRUE(m_Player.GetBullet(2).bAlive);

  EXPECT_EQ(m_Balls.GetDistance(0, 0, 3, 4), 5.0f);
  EXPECT_EQ(m_Balls.GetDistance(100500, 300, 500, 300), 100000.0f);
  EXPECT_EQ(m_Balls.GetDistance(0, 0, 46340, 0), 46340.0f);
  // The largest distance there is: both differences 2^32 - 1.
  const double far = std::sqrt(2.0) * 4294967295.0;
  EXPECT_NEAR(m_Balls.GetDistance(INT_MIN, INT_MIN, INT_MAX, INT_MAX), far, far * 1e-6);
  EXPECT_NEAR(m_Balls.GetDistance(INT_MAX, 0, INT_MIN, 0), 4294967295.0, 512.0);
}

// Where the squares' sum fits in 32 bits, it is the float of that sum's root.
TEST_F(CollisionTest, DistancesWithinThirtyTwoBitsRoundAsSinglePrecision) {
  for (int dx = 0; dx < 2000; dx += 37) {
    for (int dy = 0; dy < 2000; dy += 41) {
      const int sum = dx * dx + dy * dy;
      EXPECT_EQ(m_Balls.GetDistance(dx, -dy, 0, 0), (float)std::sqrt((double)(float)sum));
    }
  }
}

}  // namespace
