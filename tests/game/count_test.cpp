#include "game/count.h"

#include <gtest/gtest.h>

#include <vector>

#include "testing/testing.h"

namespace {

namespace pt = platform::testing;

// One frame of the 100 a second, in counts of the virtual counter.
constexpr std::int64_t kFrame = pt::kCounterFrequency / 100;

// A check that is not due moves nothing; a late one sets the next deadline
// from itself, so lateness and stalls are never made up. The call that
// closes a one-second window reports the calls counted in it and opens the
// next one; it is counted in neither. A call exactly at the window's end is
// still counted in it.
TEST(CountTest, FramesFallDueAfterTheLastDueCheckAndTheRateIsTheLastClosedSecond) {
  static_assert(kFrame == 100000);
  // The counter at each check, and whether a frame is due; a stall of 3 s.
  const std::pair<std::int64_t, bool> checks[] = {{5, true},         {5, false},        {100004, false},
                                                  {100005, true},    {200004, false},   {300305, true},
                                                  {400304, false},   {400305, true},    {30200300, true},
                                                  {30200300, false}, {30300299, false}, {30300300, true}};
  CCount Count;
  Count.Init();
  for (const auto& [t, due] : checks) {
    pt::set_counter(t);
    EXPECT_EQ(Count.CheckFrame(), due) << "at " << t;
  }
  std::vector<int> rates, expected(101, 0);
  const auto call = [&](std::int64_t t) {
    pt::set_counter(t);
    rates.push_back(Count.GetFPS());
  };
  for (int k = 0; k <= 101; k++) call(1 + k * kFrame);
  const std::int64_t t1 = 1 + 101 * kFrame;
  for (int k = 1; k <= 30; k++) call(t1 + k);
  call(t1 + pt::kCounterFrequency + 1);
  call(t1 + 2 * pt::kCounterFrequency + 2);
  expected.insert(expected.end(), 31, 100);
  expected.insert(expected.end(), {30, 0});
  EXPECT_EQ(rates, expected);
}

}  // namespace
