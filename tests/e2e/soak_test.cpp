// A long run of the whole game with random keys, checking the world after
// every frame. HOPS_SOAK_FRAMES sets the number of frames (20,000 unless
// given; scripts/soak runs a million) and HOPS_SOAK_SEED the seed.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "game/ball.h"
#include "game/main_game.h"
#include "game/player.h"
#include "support/game_pictures.h"
#include "support/test_display.h"

#if defined(__SANITIZE_ADDRESS__)
#define HOPS_SOAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOPS_SOAK_SANITIZED 1
#endif
#endif

namespace {

namespace pt = platform::testing;

// What a ball of each radius can still become: a starting ball makes at most
// eight of the smallest, and a split keeps the sum.
int Weight(int nRadius) {
  return nRadius == 150 ? 8 : nRadius == 75 ? 4 : nRadius == 37 ? 2 : nRadius == 18 ? 1 : -1000;
}

// The game object with its world opened up for reading.
class CSoakGame : public CMainGame {
 public:
  struct World {
    int live = 0, weight = 0;
    BulletInfo bullets[MAX_BULLET];
  };
  // The starting ball is still where Init put it, partly past the corner.
  World Read(bool bMoved = true) const {
    World world;
    for (int i = 0; i < MAX_BALL; i++) {
      const BallInfo Ball = m_pBall->GetBall(i);
      EXPECT_LE(Ball.bAlive, 1);
      if (Ball.bAlive != 1) continue;
      world.live++;
      world.weight += Weight(Ball.nRadius);
      // Inside the cage; halves split off this frame may still stand the
      // split offset outside it.
      const int r = Ball.nRadius;
      EXPECT_TRUE(!bMoved || (Ball.nX >= r - 10 && Ball.nX <= 1024 - r + 10 && Ball.nY >= r - 10 &&
                              Ball.nY <= 768 - r + 10))
          << "radius " << r << " at " << Ball.nX << "," << Ball.nY;
    }
    for (int j = 0; j < MAX_BULLET; j++) world.bullets[j] = m_pPlayer->GetBullet(j);
    return world;
  }
  LONG PlayerLeft() const { return m_pPlayer->GetInfo().rc.left; }
};

long EnvOr(const char* name, long fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

long ResidentKilobytes() {
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(statm);
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(Soak, RandomPlayKeepsTheWorldsRulesAndMemoryFlat) {
  const long frames = EnvOr("HOPS_SOAK_FRAMES", 20000);
  const unsigned seed = static_cast<unsigned>(EnvOr("HOPS_SOAK_SEED", 20261207));
  hops_test::enter_folder(hops_test::make_game_folder());
  hops_test::make_game_window();
  std::mt19937 random(seed);
  const int keys[3] = {VK_LEFT, VK_RIGHT, VK_SPACE};
  bool down[3] = {false, false, false};
  long rounds = 0, endings = 0, hits = 0, retired = 0, resident_start = 0;
  std::unique_ptr<CSoakGame> game;
  CSoakGame::World before;

  for (long frame = 0; frame < frames && !HasFailure(); frame++) {
    // Once every ball is shot away nothing more can happen, so a new round
    // starts with a new game object: set-up and teardown are soaked too.
    if (game == nullptr || before.live == 0) {
      game.reset();
      ASSERT_EQ(pt::live_objects(), 0) << "a round left DirectDraw objects behind";
      game = std::make_unique<CSoakGame>();
      ASSERT_TRUE(game->Init());
      ASSERT_TRUE(pt::message_boxes().empty());
      g_nGameState = STATE_PLAY;
      rounds++;
      before = game->Read(false);
    }
    // Keys change now and then, as a player's would; one who has walked
    // off the screen heads back, so that the balls keep meeting bullets.
    for (int k = 0; k < 3; k++) down[k] ^= random() % 8 == 0;
    if (game->PlayerLeft() < 0 || game->PlayerLeft() > 974) {
      down[0] = game->PlayerLeft() > 974;
      down[1] = !down[0];
    }
    for (int k = 0; k < 3; k++) pt::set_key_down(keys[k], down[k]);
    // S on the ending screen, after a random wait.
    if (g_nGameState == STATE_ENDING && random() % 50 == 0) g_nGameState = STATE_PLAY;
    const int state = g_nGameState;

    pt::advance_counter(pt::kCounterFrequency / 100);
    const int flips = pt::flip_count();
    game->Frame();
    ASSERT_EQ(pt::flip_count(), flips + 1) << "frame " << frame;
    endings += state != STATE_ENDING && g_nGameState == STATE_ENDING;
    ASSERT_TRUE(g_nGameState == STATE_PLAY || g_nGameState == STATE_ENDING) << "frame " << frame;

    const CSoakGame::World after = game->Read();
    ASSERT_LE(after.weight, before.weight) << "frame " << frame;
    ASSERT_LE(after.live, 8) << "frame " << frame;
    int killed = 0;
    for (int j = 0; j < MAX_BULLET; j++) {
      const BulletInfo &was = before.bullets[j], &now = after.bullets[j];
      ASSERT_TRUE(!now.bAlive || now.nY >= 0) << "bullet " << j << " frame " << frame;
      if (!was.bAlive || now.bAlive) continue;
      // Parked by a hit, or retired one step of 5 past the top row.
      if (now.nY == -500) {
        killed++;
      } else {
        ASSERT_TRUE(now.nY < 0 && now.nY >= -5) << "bullet " << j << " at " << now.nY << " frame " << frame;
        retired++;
      }
    }
    // Each hit retires one bullet: a split adds a ball and keeps the
    // weight, a vanishing ball takes one of each. A bullet fired in this
    // frame's keyboard pass may be hit before it was ever seen live.
    const int frame_hits = (after.live - before.live) - 2 * (after.weight - before.weight);
    ASSERT_TRUE(frame_hits - killed == 0 || frame_hits - killed == 1) << "frame " << frame;
    hits += frame_hits;
    before = after;
    // The allocator settles over the first rounds; from then on nothing grows.
    if (frame == frames / 4) resident_start = ResidentKilobytes();
  }

  const long resident_end = ResidentKilobytes();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "soak: %ld frames, seed %u: %ld rounds, %ld endings, %ld hits, %ld bullets retired at the top; "
      "resident "
      "%ld kB after a quarter of the run, %ld kB at the end, peak %ld kB\n",
      frames, seed, rounds, endings, hits, retired, resident_start, resident_end, usage.ru_maxrss);
  EXPECT_GT(hits, 0);
#ifndef HOPS_SOAK_SANITIZED
  // Freed memory is held back by the address sanitizer, so only a plain
  // build can tell a leak from its quarantine.
  EXPECT_TRUE(frames <= 2000 || resident_end - resident_start <= 1024) << "memory grew during the run";
#endif
}

}  // namespace
