// A long run of the whole game with random keys, checking the world after
// every frame. HOPS_SOAK_FRAMES sets the number of frames (20,000 unless
// given; scripts/soak runs a million) and HOPS_SOAK_SEED the seed.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "game/ball.h"
#include "game/main_game.h"
#include "game/player.h"
#include "support/game_pictures.h"
#include "support/test_display.h"
#include "testing/testing.h"

#if defined(__SANITIZE_ADDRESS__)
#define HOPS_SOAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOPS_SOAK_SANITIZED 1
#endif
#endif

namespace {

namespace pt = platform::testing;

// The game object with its world opened up for reading.
class CSoakGame : public CMainGame {
 public:
  CBall* Balls() const { return m_pBall; }
  CPlayer* Player() const { return m_pPlayer; }
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

// What a ball of each radius can still become: a starting ball makes at most
// eight of the smallest, and a split keeps the sum.
int Weight(int nRadius) {
  switch (nRadius) {
    case 150: return 8;
    case 75: return 4;
    case 37: return 2;
    case 18: return 1;
  }
  return -1000;
}

struct World {
  int live = 0;
  int weight = 0;
  BulletInfo bullets[MAX_BULLET];
};

World Read(CSoakGame& game) {
  World world;
  for (int i = 0; i < MAX_BALL; i++) {
    const BallInfo Ball = game.Balls()->GetBall(i);
    if (Ball.bAlive != 1) continue;
    world.live++;
    world.weight += Weight(Ball.nRadius);
  }
  for (int j = 0; j < MAX_BULLET; j++) world.bullets[j] = game.Player()->GetBullet(j);
  return world;
}

TEST(Soak, RandomPlayKeepsTheWorldsRulesAndMemoryFlat) {
  const long frames = EnvOr("HOPS_SOAK_FRAMES", 20000);
  const unsigned seed = static_cast<unsigned>(EnvOr("HOPS_SOAK_SEED", 20261207));
  hops_test::enter_folder(hops_test::make_game_folder());
  hops_test::make_game_window();

  // Once every ball is shot away nothing more can happen, so a new round
  // starts with a new game object: set-up and teardown are soaked too.
  std::unique_ptr<CSoakGame> round = std::make_unique<CSoakGame>();
  ASSERT_TRUE(round->Init());
  ASSERT_TRUE(pt::message_boxes().empty());
  g_nGameState = STATE_PLAY;
  long rounds = 1;

  std::mt19937 random(seed);
  const int keys[3] = {VK_LEFT, VK_RIGHT, VK_SPACE};
  bool down[3] = {false, false, false};
  long endings = 0, resumes = 0, hits = 0, retired = 0, max_live = 0;
  long resident_start = 0;
  World before = Read(*round);

  for (long frame = 0; frame < frames; frame++) {
    if (before.live == 0) {
      round.reset();
      ASSERT_EQ(pt::live_objects(), 0) << "a round left DirectDraw objects behind";
      round = std::make_unique<CSoakGame>();
      ASSERT_TRUE(round->Init());
      g_nGameState = STATE_PLAY;
      rounds++;
      before = Read(*round);
    }
    CSoakGame& game = *round;
    // Keys change now and then, as a player's would; one who has walked
    // off the screen heads back, so that the balls keep meeting bullets.
    for (int k = 0; k < 3; k++) {
      if (random() % 8 == 0) down[k] = !down[k];
    }
    const LONG left = game.Player()->GetInfo().rc.left;
    if (left < 0) {
      down[0] = false;
      down[1] = true;
    } else if (left > 974) {
      down[0] = true;
      down[1] = false;
    }
    for (int k = 0; k < 3; k++) pt::set_key_down(keys[k], down[k]);
    // S on the ending screen, after a random wait.
    if (g_nGameState == STATE_ENDING && random() % 50 == 0) {
      g_nGameState = STATE_PLAY;
      resumes++;
    }
    const int state = g_nGameState;

    pt::advance_counter(pt::kCounterFrequency / 100);
    const int flips = pt::flip_count();
    game.Frame();
    ASSERT_EQ(pt::flip_count(), flips + 1) << "frame " << frame;
    if (state != STATE_ENDING && g_nGameState == STATE_ENDING) endings++;

    ASSERT_TRUE(g_nGameState == STATE_PLAY || g_nGameState == STATE_ENDING) << "frame " << frame;
    const World after = Read(game);
    for (int i = 0; i < MAX_BALL; i++) {
      const BallInfo Ball = game.Balls()->GetBall(i);
      ASSERT_LE(Ball.bAlive, 1) << "ball slot " << i << " frame " << frame;
      if (Ball.bAlive != 1) continue;
      ASSERT_GT(Weight(Ball.nRadius), 0) << "radius " << Ball.nRadius << " frame " << frame;
      // Inside the cage; halves split off this frame may still stand the
      // split offset outside it.
      const int r = Ball.nRadius;
      ASSERT_GE(Ball.nX, r - 10) << "frame " << frame;
      ASSERT_LE(Ball.nX, 1024 - r + 10) << "frame " << frame;
      ASSERT_GE(Ball.nY, r - 10) << "frame " << frame;
      ASSERT_LE(Ball.nY, 768 - r + 10) << "frame " << frame;
    }
    ASSERT_LE(after.weight, before.weight) << "frame " << frame;
    ASSERT_LE(after.live, 8) << "frame " << frame;

    int killed = 0;
    for (int j = 0; j < MAX_BULLET; j++) {
      const BulletInfo& was = before.bullets[j];
      const BulletInfo& now = after.bullets[j];
      if (now.bAlive) {
        ASSERT_GE(now.nY, 0) << "bullet " << j << " frame " << frame;
      }
      if (!was.bAlive || now.bAlive) continue;
      if (now.nY == -500) {
        killed++;
      } else {
        // Retired above the top: one step of 5 past row 0.
        ASSERT_LT(now.nY, 0) << "bullet " << j << " frame " << frame;
        ASSERT_GE(now.nY, -5) << "bullet " << j << " frame " << frame;
        retired++;
      }
    }
    // Each hit retires one bullet: a split adds a ball and keeps the
    // weight, a vanishing ball takes one of each. A bullet fired in this
    // frame's keyboard pass may be hit before it was ever seen live.
    const int frame_hits = (after.live - before.live) - 2 * (after.weight - before.weight);
    ASSERT_GE(frame_hits - killed, 0) << "frame " << frame;
    ASSERT_LE(frame_hits - killed, 1) << "frame " << frame;
    hits += frame_hits;
    if (after.live > max_live) max_live = after.live;
    before = after;

    // The allocator settles over the first rounds; from then on nothing grows.
    if (frame == frames / 4) resident_start = ResidentKilobytes();
  }

  const long resident_end = ResidentKilobytes();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("soak: %ld frames, seed %u: %ld rounds, %ld endings, %ld resumes, %ld hits, %ld bullets retired at the top, "
              "at most %ld balls live; resident %ld kB after a quarter of the run, %ld kB at the end, peak %ld kB\n",
              frames, seed, rounds, endings, resumes, hits, retired, max_live, resident_start, resident_end,
              usage.ru_maxrss);
  EXPECT_GT(hits, 0);
#ifndef HOPS_SOAK_SANITIZED
  // Freed memory is held back by the address sanitizer, so only a plain
  // build can tell a leak from its quarantine.
  if (frames > 2000) {
    EXPECT_LE(resident_end - resident_start, 1024) << "memory grew during the run";
  }
#endif
}

}  // namespace
