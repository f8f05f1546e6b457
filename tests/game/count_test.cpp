#include "game/count.h"

#include <gtest/gtest.h>

#include "testing/testing.h"

namespace {

using platform::testing::kCounterFrequency;
using platform::testing::set_counter;

// One frame of the 100 a second, in counts of the virtual counter.
constexpr std::int64_t kFrame = kCounterFrequency / 100;

class CountTest : public ::testing::Test {
 protected:
  void SetUp() override { m_Count.Init(); }
  bool DueAt(std::int64_t t) {
    set_counter(t);
    return m_Count.CheckFrame();
  }
  int FpsAt(std::int64_t t) {
    set_counter(t);
    return m_Count.GetFPS();
  }
  CCount m_Count;
};

TEST_F(CountTest, TheFirstCheckIsDueAndTheNextOneFrameLater) {
  EXPECT_TRUE(DueAt(5));
  EXPECT_FALSE(DueAt(5));
  EXPECT_FALSE(DueAt(5 + kFrame - 1));
  // A check that is not due moves nothing: the deadline is still 5 + kFrame.
  EXPECT_TRUE(DueAt(5 + kFrame));
  EXPECT_FALSE(DueAt(5 + 2 * kFrame - 1));
  EXPECT_TRUE(DueAt(5 + 2 * kFrame));
}

TEST_F(CountTest, LatenessIsNeverMadeUp) {
  EXPECT_TRUE(DueAt(0));
  EXPECT_TRUE(DueAt(kFrame + 300));
  // Counted from the late check, not from the deadline it missed.
  EXPECT_FALSE(DueAt(2 * kFrame + 299));
  EXPECT_TRUE(DueAt(2 * kFrame + 300));

  // A three-second stall gives one frame, then the ordinary pace.
  const std::int64_t stalled = 2 * kFrame + 300 + 3 * kCounterFrequency;
  EXPECT_TRUE(DueAt(stalled));
  EXPECT_FALSE(DueAt(stalled));
  EXPECT_FALSE(DueAt(stalled + kFrame - 1));
  EXPECT_TRUE(DueAt(stalled + kFrame));
}

TEST_F(CountTest, TheFirstRateIsZero) { EXPECT_EQ(FpsAt(12345), 0); }

TEST_F(CountTest, CallsAHundredthOfASecondApartCountAHundred) {
  const std::int64_t start = 1;
  EXPECT_EQ(FpsAt(start), 0);  // opens the first window
  for (int k = 1; k <= 100; k++) ASSERT_EQ(FpsAt(start + k * kFrame), 0) << k;
  EXPECT_EQ(FpsAt(start + 101 * kFrame), 100);
  // The rate stays until the next window closes.
  EXPECT_EQ(FpsAt(start + 102 * kFrame), 100);
}

TEST_F(CountTest, CallsSlightlyFartherApartCountNinetyNine) {
  const std::int64_t start = 1;
  const std::int64_t apart = kFrame + 1;
  EXPECT_EQ(FpsAt(start), 0);
  for (int k = 1; k <= 99; k++) ASSERT_EQ(FpsAt(start + k * apart), 0) << k;
  EXPECT_EQ(FpsAt(start + 100 * apart), 99);
}

TEST_F(CountTest, AQuietSecondReportsWhatItCounted) {
  EXPECT_EQ(FpsAt(1), 0);
  for (int k = 1; k <= 30; k++) FpsAt(1 + k);
  EXPECT_EQ(FpsAt(2 + kCounterFrequency), 30);
  // Nothing counted in the window that follows: the next close reports 0.
  EXPECT_EQ(FpsAt(3 + 2 * kCounterFrequency), 0);
}

}  // namespace
