// The whole game through WinMain on the headless host: a virtual clock that
// moves on with every reading, keys posted at chosen flips, and the flipped
// frames read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <new>
#include <string>

#include "game/main_game.h"
#include "support/bmp_file.h"
#include "support/game_pictures.h"
#include "testing/testing.h"

namespace {

namespace pt = platform::testing;
using hops_test::Box;
using hops_test::colour_box;
using hops_test::count_colour;

constexpr std::int64_t kFrame = pt::kCounterFrequency / 100;
// A run that has not ended by then is stuck.
constexpr int kFlipLimit = 5000;

struct RunResult {
  int exit_code = -1;
  int flips = 0;
  bool shown = false;
};

// Runs WinMain to its end. `script` is called in every flip with the flip's
// number and may look at the screen and post keys; the run is ended with Esc
// if it goes on past kFlipLimit.
RunResult RunGame(const std::function<void(int flip)>& script) {
  pt::on_flip([&script](int flip) {
    if (flip > kFlipLimit) {
      ADD_FAILURE() << "the game was still running after " << kFlipLimit << " frames";
      pt::press_key(VK_ESCAPE);
      return;
    }
    script(flip);
  });
  char command_line[] = "";
  RunResult result;
  result.exit_code = WinMain(nullptr, nullptr, command_line, SW_SHOWDEFAULT);
  result.flips = pt::flip_count();
  result.shown = g_hWnd != nullptr && pt::window_shown(g_hWnd);
  pt::on_flip(nullptr);
  return result;
}

void Tap(int key) {
  pt::press_key(key);
  pt::release_key(key);
}

// Ends the game object as process exit would, and builds an empty one in
// its place for exit to end again.
void TearDownGame() {
  g_MainGame.~CMainGame();
  new (&g_MainGame) CMainGame;
}

void ExpectTitle(const pt::Screen& screen) {
  EXPECT_EQ(screen.at(700, 500), hops_test::kLoadingColour);
  EXPECT_EQ(screen.at(hops_test::kLoadingHoleLeft + 50, hops_test::kLoadingHoleTop + 50),
            hops_test::kBackColour);
  EXPECT_GT(count_colour(screen, hops_test::kTextColour, 0, 0, 300, 61), 50);
  EXPECT_EQ(count_colour(screen, hops_test::kFieldColour), 0);
}

Box Centre(const Box& box) { return Box{(box.left + box.right) / 2, (box.top + box.bottom) / 2, 0, 0}; }

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hops_test::enter_folder(hops_test::make_game_folder());
    // Every reading moves the clock half a frame on, so each idle pass of
    // the loop finds a frame due.
    pt::set_counter_step(kFrame / 2);
  }
  void ExpectCleanEnd(const RunResult& result) {
    EXPECT_EQ(result.exit_code, 0);
    TearDownGame();
    EXPECT_EQ(pt::live_objects(), 0);
  }
};

TEST_F(GameTest, TitleUntilSThenThePlayFieldAndTheStartingBall) {
  bool checked[6] = {};
  const RunResult result = RunGame([&](int flip) {
    if (flip <= 3) {
      ExpectTitle(pt::screen());
      EXPECT_EQ(g_nGameState, STATE_LOADING);
      checked[0] = true;
      if (flip == 3) Tap('S');
    } else if (flip == 4) {
      // The first frame of play: the ball's square still crosses the top
      // left corner, and a blit past an edge draws nothing.
      const pt::Screen screen = pt::screen();
      EXPECT_EQ(screen.at(700, 300), hops_test::kFieldColour);
      const Box player = colour_box(screen, hops_test::kPlayerColour);
      EXPECT_EQ(player.left, 80);
      EXPECT_EQ(player.top, 550);
      EXPECT_EQ(player.right, 171);
      EXPECT_EQ(player.bottom, 700);
      EXPECT_EQ(count_colour(screen, hops_test::kBallColour), 0);
      EXPECT_GT(count_colour(screen, hops_test::kTextColour, 0, 0, 300, 61), 50);
      checked[1] = true;
    } else if (flip == 5) {
      const Box ball = colour_box(pt::screen(), hops_test::kBallColour);
      EXPECT_EQ(ball.left, 0);
      EXPECT_EQ(ball.top, 0);
      EXPECT_EQ(ball.right, 300);
      EXPECT_EQ(ball.bottom, 300);
      checked[2] = true;
      Tap('S');  // already playing: nothing changes
    } else if (flip == 6) {
      const pt::Screen screen = pt::screen();
      EXPECT_EQ(g_nGameState, STATE_PLAY);
      EXPECT_EQ(screen.at(700, 300), hops_test::kFieldColour);
      const Box ball = colour_box(screen, hops_test::kBallColour);
      ASSERT_FALSE(ball.empty());
      // Both bounces turned the heading down and left: the left wall holds
      // it at x = 150 again, and it falls 7 + 1.1 pixels.
      EXPECT_EQ(Centre(ball).left, 150);
      EXPECT_EQ(Centre(ball).top, 157);
      checked[3] = true;
      Tap(VK_ESCAPE);
    }
  });
  EXPECT_TRUE(checked[0] && checked[1] && checked[2] && checked[3]);
  EXPECT_EQ(result.flips, 6);
  EXPECT_TRUE(result.shown);
  EXPECT_TRUE(pt::message_boxes().empty());
  ExpectCleanEnd(result);
}

TEST_F(GameTest, ArrowsWalkAndSpaceFiresOnRelease) {
  int bullet_flip = 0;
  const RunResult result = RunGame([&](int flip) {
    if (flip == 1) {
      Tap('S');
      pt::press_key(VK_RIGHT);
    } else if (flip == 12) {
      pt::release_key(VK_RIGHT);
      pt::press_key(VK_SPACE);
    } else if (flip == 14) {
      EXPECT_EQ(count_colour(pt::screen(), hops_test::kBulletColour), 0) << "a held space bar fires nothing";
      pt::release_key(VK_SPACE);
    } else if (flip == 15) {
      EXPECT_EQ(count_colour(pt::screen(), hops_test::kBulletColour), 0);
    } else if (flip == 16) {
      // A key posted during a frame reaches the keyboard pass of the next
      // one: the arrow was down for the passes of frames 2 to 12, five
      // pixels each, and the release was seen in frame 15, which fired
      // after drawing.
      const pt::Screen screen = pt::screen();
      const Box player = colour_box(screen, hops_test::kPlayerColour);
      EXPECT_EQ(player.left, 80 + 55);
      const Box bullet = colour_box(screen, hops_test::kBulletColour);
      ASSERT_FALSE(bullet.empty());
      bullet_flip = flip;
      EXPECT_EQ(bullet.left, 155);
      EXPECT_EQ(bullet.right - bullet.left, 16);
      EXPECT_EQ(bullet.top, 600);
    } else if (flip == 17) {
      const Box bullet = colour_box(pt::screen(), hops_test::kBulletColour);
      EXPECT_EQ(bullet.left, 155);
      EXPECT_EQ(bullet.top, 595);
      Tap(VK_ESCAPE);
    }
  });
  EXPECT_EQ(bullet_flip, 16);
  ExpectCleanEnd(result);
}

TEST_F(GameTest, NothingIsDrawnWhileNoFrameIsDue) {
  pt::set_counter_step(1000);
  std::int64_t last = -1;
  const RunResult result = RunGame([&](int flip) {
    const std::int64_t now = pt::counter();
    if (last >= 0) {
      EXPECT_GE(now - last, kFrame) << "flip " << flip;
      EXPECT_LE(now - last, kFrame + 3000) << "flip " << flip;
    }
    last = now;
    if (flip == 2) Tap('S');
    if (flip == 150) Tap(VK_ESCAPE);
  });
  EXPECT_EQ(result.flips, 150);
  ExpectCleanEnd(result);
}

// The player walks right under the ball's path and waits; the ball's centre
// comes down inside the player's rectangle.
TEST_F(GameTest, ABallReachingThePlayerShowsTheEndingAndSResumesTheFrozenWorld) {
  int ending_flip = 0;
  Box last_ball, last_player;
  pt::Screen last_play;  // the last frame of play before the ending
  bool resumed_checked = false;
  const RunResult result = RunGame([&](int flip) {
    if (flip == 1) {
      Tap('S');
      pt::press_key(VK_RIGHT);
    }
    if (flip == 60) pt::release_key(VK_RIGHT);
    if (ending_flip == 0) {
      if (g_nGameState == STATE_ENDING) {
        ending_flip = flip;
        const pt::Screen screen = pt::screen();
        EXPECT_EQ(screen.at(700, 300), hops_test::kEndingColour);
        EXPECT_EQ(count_colour(screen, hops_test::kFieldColour), 0);
        EXPECT_EQ(count_colour(screen, hops_test::kBallColour), 0);
        last_ball = colour_box(last_play, hops_test::kBallColour);
        last_player = colour_box(last_play, hops_test::kPlayerColour);
      } else if (flip > 1) {
        last_play = pt::screen();
      }
      return;
    }
    if (flip == ending_flip + 1) {
      EXPECT_EQ(pt::screen().at(700, 300), hops_test::kEndingColour);
      Tap('S');
    } else if (flip == ending_flip + 2) {
      // Play goes on from where it stopped: nothing was reset.
      const pt::Screen screen = pt::screen();
      EXPECT_EQ(screen.at(700, 300), hops_test::kFieldColour);
      const Box player = colour_box(screen, hops_test::kPlayerColour);
      EXPECT_EQ(player.left, last_player.left);
      const Box ball = colour_box(screen, hops_test::kBallColour);
      ASSERT_FALSE(ball.empty());
      EXPECT_NEAR(Centre(ball).left, Centre(last_ball).left, 20);
      EXPECT_NEAR(Centre(ball).top, Centre(last_ball).top, 20);
      resumed_checked = true;
      Tap(VK_ESCAPE);
    }
  });
  EXPECT_GT(ending_flip, 0);
  EXPECT_TRUE(resumed_checked);
  ExpectCleanEnd(result);
}

class EscapeTest : public GameTest, public ::testing::WithParamInterface<int> {};

TEST_P(EscapeTest, EscEndsWinMainWithZeroInEveryState) {
  const int state = GetParam();
  const RunResult result = RunGame([&](int flip) {
    if (flip == 2) g_nGameState = state;
    if (flip == 4) {
      EXPECT_EQ(g_nGameState, state);
      Tap(VK_ESCAPE);
    }
  });
  EXPECT_EQ(result.flips, 4);
  ExpectCleanEnd(result);
}

INSTANTIATE_TEST_SUITE_P(States, EscapeTest, ::testing::Values(STATE_LOADING, STATE_PLAY, STATE_ENDING),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == STATE_LOADING ? "Loading"
                                              : info.param == STATE_PLAY  ? "Play"
                                                                          : "Ending");
                         });

TEST_F(GameTest, ClosingTheWindowEndsTheGameWithZero) {
  const RunResult result = RunGame([&](int flip) {
    if (flip == 2) pt::post_close();
  });
  EXPECT_EQ(result.flips, 2);
  ExpectCleanEnd(result);
}

// --- Set-up that fails ---

struct DisplayFault {
  pt::Call call;
  const char* text;
  const char* name;
};

class DisplayFaultTest : public GameTest, public ::testing::WithParamInterface<DisplayFault> {};

TEST_P(DisplayFaultTest, OneBoxNoFrameWindowNeverShownNothingLeft) {
  pt::fail_call(GetParam().call, 1, DDERR_GENERIC);
  const RunResult result = RunGame([](int) { ADD_FAILURE() << "a frame was drawn"; });
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.flips, 0);
  EXPECT_FALSE(result.shown);
  const auto& boxes = pt::message_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, GetParam().text);
  EXPECT_EQ(boxes[0].caption, "Tobrikan");
  EXPECT_EQ(pt::call_count(pt::Call::CreateOffscreenSurface), 0) << "no picture after a failed display";
  TearDownGame();
  EXPECT_EQ(pt::live_objects(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, DisplayFaultTest,
    ::testing::Values(
        DisplayFault{pt::Call::DirectDrawCreateEx, "다이렉트 드로우 객체 설정실패", "DirectDrawCreateEx"},
        DisplayFault{pt::Call::SetCooperativeLevel, "협력레벌 설정실패", "SetCooperativeLevel"},
        DisplayFault{pt::Call::SetDisplayMode, "디스플레이 모드 설정실패", "SetDisplayMode"},
        DisplayFault{pt::Call::CreatePrimarySurface, "프라이머리 설정 실패", "CreatePrimarySurface"},
        DisplayFault{pt::Call::GetAttachedSurface, "백버퍼 설정실패", "GetAttachedSurface"}),
    [](const ::testing::TestParamInfo<DisplayFault>& info) { return std::string(info.param.name); });

void ExpectLoadFailureBoxes(std::size_t count) {
  const auto& boxes = pt::message_boxes();
  ASSERT_EQ(boxes.size(), count);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, "비트맵 로드 실패");
    EXPECT_EQ(box.caption, "실패");
  }
}

TEST_F(GameTest, WithoutTheImgFolderSevenBoxesAndTheGameStillRuns) {
  hops_test::enter_folder(hops_test::make_temp_dir());
  const RunResult result = RunGame([&](int flip) {
    if (flip == 1) {
      ExpectLoadFailureBoxes(7);
      // Only the status text is drawn.
      const pt::Screen screen = pt::screen();
      EXPECT_GT(count_colour(screen, hops_test::kTextColour, 0, 0, 300, 61), 50);
      EXPECT_EQ(count_colour(screen, 0, 0, 0, 1024, 768) + count_colour(screen, hops_test::kTextColour),
                1024 * 768);
      Tap('S');
    }
    if (flip == 10) Tap(VK_ESCAPE);
  });
  EXPECT_TRUE(result.shown);
  EXPECT_EQ(result.flips, 10);
  ExpectCleanEnd(result);
}

// A picture surface refused, or its lock refused, at each of the seven loads.
struct PictureFault {
  pt::Call call;
  int nth;
};

class PictureFaultTest : public GameTest, public ::testing::WithParamInterface<PictureFault> {};

TEST_P(PictureFaultTest, OneBoxAndTheOtherPicturesStillDraw) {
  pt::fail_call(GetParam().call, GetParam().nth,
                GetParam().call == pt::Call::Lock ? DDERR_SURFACELOST : DDERR_OUTOFMEMORY);
  const int missing = GetParam().nth - 1;  // slot order is load order
  const RunResult result = RunGame([&](int flip) {
    if (flip == 1) {
      ExpectLoadFailureBoxes(1);
      const pt::Screen screen = pt::screen();
      if (missing == IMG_LOADING) {
        EXPECT_EQ(count_colour(screen, hops_test::kLoadingColour), 0);
        EXPECT_EQ(screen.at(700, 500), hops_test::kBackColour);
      } else if (missing == IMG_BACK) {
        EXPECT_EQ(screen.at(hops_test::kLoadingHoleLeft + 50, hops_test::kLoadingHoleTop + 50), 0u);
      } else {
        ExpectTitle(screen);
      }
      Tap('S');
    } else if (flip == 3) {
      const pt::Screen screen = pt::screen();
      EXPECT_EQ(count_colour(screen, hops_test::kPlayerColour) == 0, missing == IMG_PLAYER);
      EXPECT_EQ(count_colour(screen, hops_test::kBallColour) == 0, missing == IMG_BALL);
      EXPECT_EQ(screen.at(700, 300) == hops_test::kFieldColour, missing != IMG_BACKGROUND);
      Tap(VK_ESCAPE);
    }
  });
  EXPECT_EQ(result.flips, 3);
  ExpectCleanEnd(result);
}

INSTANTIATE_TEST_SUITE_P(EachLoad, PictureFaultTest,
                         ::testing::Values(PictureFault{pt::Call::CreateOffscreenSurface, 1},
                                           PictureFault{pt::Call::CreateOffscreenSurface, 2},
                                           PictureFault{pt::Call::CreateOffscreenSurface, 3},
                                           PictureFault{pt::Call::CreateOffscreenSurface, 4},
                                           PictureFault{pt::Call::CreateOffscreenSurface, 5},
                                           PictureFault{pt::Call::CreateOffscreenSurface, 6},
                                           PictureFault{pt::Call::CreateOffscreenSurface, 7},
                                           PictureFault{pt::Call::Lock, 1}, PictureFault{pt::Call::Lock, 2},
                                           PictureFault{pt::Call::Lock, 3}, PictureFault{pt::Call::Lock, 4},
                                           PictureFault{pt::Call::Lock, 5}, PictureFault{pt::Call::Lock, 6},
                                           PictureFault{pt::Call::Lock, 7}),
                         [](const ::testing::TestParamInfo<PictureFault>& info) {
                           return std::string(info.param.call == pt::Call::Lock ? "Lock" : "Surface") +
                                  std::to_string(info.param.nth);
                         });

// --- Damaged title pictures ---

struct Damage {
  const char* name;
  std::function<std::vector<std::uint8_t>()> bytes;  // nothing written when null
};

std::vector<std::uint8_t> TitleBytes() {
  return hops_test::bmp_bytes(1024, 768, [](int, int) { return hops_test::Rgb{0, 0, 0xA0}; });
}

std::vector<std::uint8_t> Patched(std::size_t offset, std::uint32_t value, int size) {
  std::vector<std::uint8_t> bytes = TitleBytes();
  if (size == 2) {
    hops_test::put_u16(bytes, offset, static_cast<std::uint16_t>(value));
  } else {
    hops_test::put_u32(bytes, offset, value);
  }
  return bytes;
}

std::vector<Damage> Damages() {
  return {
      {"missing", nullptr},
      {"empty", [] { return std::vector<std::uint8_t>{}; }},
      {"truncated_header",
       [] {
         std::vector<std::uint8_t> b = TitleBytes();
         b.resize(30);
         return b;
       }},
      {"truncated_pixels",
       [] {
         std::vector<std::uint8_t> b = TitleBytes();
         b.resize(54 + 1024 * 3 * 300);
         return b;
       }},
      {"eight_bits", [] { return Patched(28, 8, 2); }},
      {"thirty_two_bits", [] { return Patched(28, 32, 2); }},
      {"compressed", [] { return Patched(30, 1, 4); }},
      {"top_down", [] { return Patched(22, static_cast<std::uint32_t>(-768), 4); }},
      {"zero_width", [] { return Patched(18, 0, 4); }},
      {"zero_height", [] { return Patched(22, 0, 4); }},
      {"enormous_width", [] { return Patched(18, 0x40000000, 4); }},
      {"enormous_height", [] { return Patched(22, 0x7FFFFFFF, 4); }},
      {"pixels_elsewhere", [] { return Patched(10, 138, 4); }},
      {"not_bmp",
       [] {
         const std::string text = "this is not a picture\n";
         return std::vector<std::uint8_t>(text.begin(), text.end());
       }},
  };
}

class DamagedPictureTest : public GameTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedPictureTest, OneBoxTheTitleDrawsNothingAndTheGamePlays) {
  const std::string folder = hops_test::make_game_folder();
  hops_test::enter_folder(folder);
  const std::string path = folder + "/IMG/IMG_LOADING.bmp";
  std::remove(path.c_str());
  if (GetParam().bytes) hops_test::write_file(folder + "/IMG", "IMG_LOADING.bmp", GetParam().bytes());

  const RunResult result = RunGame([&](int flip) {
    if (flip == 1) {
      ExpectLoadFailureBoxes(1);
      const pt::Screen screen = pt::screen();
      EXPECT_EQ(count_colour(screen, hops_test::kLoadingColour), 0);
      EXPECT_EQ(screen.at(700, 500), hops_test::kBackColour);
      Tap('S');
    } else if (flip == 3) {
      const pt::Screen screen = pt::screen();
      EXPECT_EQ(screen.at(700, 300), hops_test::kFieldColour);
      EXPECT_GT(count_colour(screen, hops_test::kBallColour), 1000);
      EXPECT_GT(count_colour(screen, hops_test::kPlayerColour), 1000);
      Tap(VK_ESCAPE);
    }
  });
  EXPECT_EQ(result.flips, 3);
  ExpectCleanEnd(result);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedPictureTest, ::testing::ValuesIn(Damages()),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
