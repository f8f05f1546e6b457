#include "game/ball.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "game/main_game.h"
#include "game/player.h"
#include "support/test_display.h"

namespace {

// Headings the game reaches from its pi / 3, as the floats they are.
constexpr float kUpRight = 1.0471973f, kUpLeft = 2.0943947f, kDownLeft = 4.1887894f;
constexpr float kDownRight = -1.0471973f, kDownRightAt300 = 5.2359867f;

BallInfo Ball(int nX, int nY, int nRadius, float fAngle = kUpRight, float fSpeed = 8.0f,
              float fFallSpeed = 1.0f, float fGravity = 0.05f) {
  return BallInfo{1, nX, nY, nRadius, fAngle, fSpeed, fFallSpeed, fGravity};
}

// A ball of radius 50 that stands still unless it falls.
BallInfo Still(int nX, int nY, float fAngle = kUpRight, float fFallSpeed = 0, float fGravity = 0) {
  return Ball(nX, nY, 50, fAngle, 0, fFallSpeed, fGravity);
}

// Every field, floats as their exact hexadecimal values.
std::string Show(const BallInfo& b) {
  char sz[160];
  std::snprintf(sz, sizeof sz, "alive %d at %d,%d r %d heading %a speed %a fall %a gravity %a", b.bAlive,
                b.nX, b.nY, b.nRadius, b.fAngle, b.fSpeed, b.fFallSpeed, b.fGravity);
  return sz;
}

class CBallTable : public CBall {
 public:
  void Put(int nIndex, BallInfo Ball) { m_Ball[nIndex] = Ball; }
  // The live slots, a line each.
  std::string Live() {
    std::string s;
    for (int i = 0; i < MAX_BALL; i++)
      if (m_Ball[i].bAlive) s += std::to_string(i) + ": " + Show(m_Ball[i]) + "\n";
    return s;
  }
};

class CPlayerTable : public CPlayer {
 public:
  CPlayerTable() { Init(PlayerInfo{{100, 600, 150, 700}, 50, 100, 5}, nullptr, nullptr); }
  void PutBullet(int nIndex, int nX, int nY, int nRadius) {
    m_Bullet[nIndex] = BulletInfo{true, nRadius, nX, nY, 1.570796f, 5.0f};
  }
};

// The heading step, then the fall step, then the four walls in the order
// left, right, top, floor, each seeing the last; the floor takes the fall
// speed away. Run in the first and the last slot.
TEST(BallTest, OnePassOfMoveStepsFallsAndBouncesOffEachEdge) {
  hops_test::make_game_window();
  const RECT kFree{-1000, -1000, 2000, 2000}, kScreen{0, 0, 1024, 768}, kTight{10, 20, 110, 120};
  const struct {
    RECT cage;
    BallInfo in, out;
  } rows[] = {
      {kFree, Ball(100, 100, 150), Ball(104, 94, 150, kUpRight, 8, 1.05f)},
      {kScreen, Ball(100, 100, 150), Ball(150, 150, 150, kDownLeft, 8, 1.05f)},
      {kScreen, Ball(150, 150, 150, kDownLeft, 8, 1.05f), Ball(150, 157, 150, kDownRight, 8, 1.0999999f)},
      {kScreen, Ball(500, 690, 75, kUpRight, 8, 10.95f), Ball(504, 693, 75, kDownRightAt300, 8, 0)},
      {kTight, Still(60, 70), Still(60, 70)},
      {kTight, Still(59, 69), Still(60, 70, kDownLeft)},
      {kTight, Still(61, 71, kUpRight, 0, 0.05f), Still(60, 70, kDownLeft, 0, 0.05f)},
      {{0, 0, 100, 90}, Ball(50, 45, 60, kUpRight, 0, 0, 0), Ball(40, 30, 60, kUpRight, 0, 0, 0)},
      {kTight, BallInfo{0, 1, 2, 3, 4, 5, 6, 7}, BallInfo{0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const auto& row : rows) {
    CBallTable Balls;
    platform::testing::set_client_rect(g_hWnd, row.cage);
    Balls.Put(0, row.in);
    Balls.Put(MAX_BALL - 1, row.in);
    Balls.Move();
    EXPECT_EQ(Show(Balls.GetBall(0)) + Show(Balls.GetBall(MAX_BALL - 1)), Show(row.out) + Show(row.out))
        << Show(row.in);
  }
}

// Halves start ten pixels along the parent's heading in the lowest free
// slots, the hit slot among them, the second mirrored; below radius 30 the
// ball is gone and its record kept. With every slot live there is one half,
// in the hit slot.
TEST(BallTest, SplitPutsHalvesIntoTheLowestFreeSlots) {
  CBallTable Balls, Row, Full;
  Balls.Put(0, Ball(400, 300, 150, kUpRight, 8, 2.5f));
  Balls.Split(0, Balls.GetBall(0));
  Row.Put(0, Ball(100, 200, 29));
  Row.Put(2, Ball(105, 200, 30));
  Row.Put(3, Ball(103, 200, 29));
  Row.Split(2, Row.GetBall(2));
  Row.Split(3, Row.GetBall(3));
  for (int i = 0; i < MAX_BALL; i++) Full.Put(i, Ball(400, 300, i == 50 ? 64 : 30));
  Full.Split(50, Full.GetBall(50));
  EXPECT_EQ(
      Balls.Live() + Row.Live() + Show(Row.GetBall(3)) + Show(Full.GetBall(50)) + Show(Full.GetBall(99)),
      "0: " + Show(Ball(405, 291, 75, kUpRight, 8, 2.5f)) +
          "\n1: " + Show(Ball(405, 291, 75, kUpLeft, 8, 2.5f)) + "\n0: " + Show(Ball(100, 200, 29)) +
          "\n1: " + Show(Ball(110, 191, 15)) + "\n2: " + Show(Ball(110, 191, 15, kUpLeft)) + "\n" +
          Show(BallInfo{0, 103, 200, 29, kUpRight, 8, 1, 0.05f}) + Show(Ball(405, 291, 32)) +
          Show(Ball(400, 300, 30)));
}

// Only the ball's centre in the player's rectangle (right and bottom
// exclusive) ends the game; a bullet splits a ball when the sum of the radii
// passes their distance, and is parked.
TEST(BallTest, CollisionEndsTheGameOnACentreInTheRectangleAndSplitsWhatABulletReaches) {
  const struct {
    int nX, nY, nRadius;  // the ball in slot 0
    int nBulletX, nBulletY, nBulletRadius;
    int nState, nLive;
    bool bBulletAlive;
  } rows[] = {
      {500, 300, 10, 515, 300, 5, STATE_PLAY, 1, true},
      {500, 300, 10, 509, 312, 6, STATE_PLAY, 0, false},
      {500, 300, 150, 500, 300, 45, STATE_PLAY, 2, false},
      {500, 300, 150, 100500, 300, 45, STATE_PLAY, 1, true},
      {500, 300, 150, INT_MIN, INT_MIN, 45, STATE_PLAY, 1, true},
      {100, 600, 150, 900, 0, 1, STATE_ENDING, 1, true},
      {149, 699, 150, 900, 0, 1, STATE_ENDING, 1, true},
      {150, 600, 150, 900, 0, 1, STATE_PLAY, 1, true},
      {100, 700, 150, 900, 0, 1, STATE_PLAY, 1, true},
      {99, 650, 150, 900, 0, 1, STATE_PLAY, 1, true},
      {120, 650, 150, 120, 640, 45, STATE_ENDING, 2, false},
  };
  for (const auto& row : rows) {
    CBallTable Balls;
    CPlayerTable Player;
    g_nGameState = STATE_PLAY;
    Balls.Put(0, Ball(row.nX, row.nY, row.nRadius));
    Player.PutBullet(MAX_BULLET - 1, row.nBulletX, row.nBulletY, row.nBulletRadius);
    Balls.Collision(&Player);
    const BulletInfo Bullet = Player.GetBullet(MAX_BULLET - 1);
    const std::string live = Balls.Live();
    EXPECT_EQ(
        std::vector<int>(
            {g_nGameState, (int)std::count(live.begin(), live.end(), '\n'), Bullet.bAlive, Bullet.nY}),
        std::vector<int>({row.nState, row.nLive, row.bBulletAlive, row.bBulletAlive ? row.nBulletY : -500}))
        << row.nX << "," << row.nY << " bullet " << row.nBulletX << "," << row.nBulletY;
  }
}

// A bullet splits only the lowest ball it reaches. The first half lands in
// the slot under test and meets the remaining bullets there; its own halves
// take slots 0 and 2. A bullet over a ball that vanished stays live.
TEST(BallTest, ASplitChainsThroughTheRemainingBullets) {
  CBallTable Balls, Small;
  CPlayerTable Player;
  Balls.Put(0, Ball(500, 300, 150));
  Balls.Put(7, Ball(500, 300, 75));
  Player.PutBullet(0, 500, 300, 45);
  Player.PutBullet(1, 500, 300, 45);
  Player.PutBullet(2, 900, 100, 45);
  Balls.Collision(&Player);
  std::string bullets =
      std::to_string(Player.GetBullet(1).bAlive) + std::to_string(Player.GetBullet(2).bAlive);
  Small.Put(0, Ball(500, 300, 18));
  Player.PutBullet(0, 500, 300, 45);
  Player.PutBullet(1, 500, 300, 45);
  Small.Collision(&Player);
  bullets += std::to_string(Player.GetBullet(0).bAlive) + std::to_string(Player.GetBullet(1).bAlive);
  EXPECT_EQ(Balls.Live() + Small.Live() + bullets,
            "0: " + Show(Ball(510, 282, 37)) + "\n1: " + Show(Ball(505, 291, 75, kUpLeft)) +
                "\n2: " + Show(Ball(510, 282, 37, kUpLeft)) + "\n7: " + Show(Ball(500, 300, 75)) + "\n0101");
}

// The single-precision root of the single-precision sum of the squares, for
// any two points of 32-bit coordinates.
TEST(BallTest, DistanceMatchesAWideReference) {
  CBallTable Balls;
  const auto reference = [](int nX1, int nY1, int nX2, int nY2) {
    const __int128 dx = (__int128)nX1 - nX2, dy = (__int128)nY1 - nY2;
    return (float)std::sqrt((double)(float)(dx * dx + dy * dy));
  };
  const int kEdges[] = {INT_MIN, INT_MIN + 1, -46341, -1, 0, 1, 3, 4, 46340, 65536, INT_MAX - 1, INT_MAX};
  for (int a : kEdges)
    for (int b : kEdges)
      for (int c : kEdges) EXPECT_EQ(Balls.GetDistance(a, b, c, ~b), reference(a, b, c, ~b)) << a << " " << b;
  std::mt19937 random(1);
  for (int i = 0; i < 20000; i++) {
    const int nShift = static_cast<int>(random() % 32);
    const auto coordinate = [&] { return static_cast<int>(random()) >> nShift; };
    const int nX1 = coordinate(), nY1 = coordinate(), nX2 = coordinate(), nY2 = coordinate();
    ASSERT_EQ(Balls.GetDistance(nX1, nY1, nX2, nY2), reference(nX1, nY1, nX2, nY2)) << nX1 << " " << nY1;
  }
}

}  // namespace
