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
  const std::int64_t times[] = {5,      5,      100004,   100005,   200004,   300305,
                                400304, 400305, 30200300, 30200300, 30300299, 30300300};  // a stall of 3 s
  const bool due[] = {true, false, false, true, false, true, false, true, true, false, false, true};
  CCount Count;
  Count.Init();
  for (int i = 0; i < 12; i++) {
    pt::set_counter(times[i]);
    EXPECT_EQ(Count.CheckFrame(), due[i]) << "at " << times[i];
  }
  std::vector<int> rates;
  const auto call = [&](std::int64_t t) {
    pt::set_counter(t);
    rates.push_back(Count.GetFPS());
  };
  for (int k = 0; k <= 101; k++) call(1 + k * kFrame);
  const std::int64_t t1 = 1 + 101 * kFrame;
  for (int k = 1; k <= 30; k++) call(t1 + k);
  call(t1 + pt::kCounterFrequency + 1);
  call(t1 + 2 * pt::kCounterFrequency + 2);

  std::vector<int> expected(101, 0);
  expected.insert(expected.end(), 31, 100);
  expected.insert(expected.end(), {30, 0});
  EXPECT_EQ(rates, expected);
}

}  // namespace
