#include <gtest/gtest.h>

#include "testing/testing.h"

namespace {

// Every case starts on a fresh headless host with a virtual clock.
class FreshPlatform : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { platform::testing::reset(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshPlatform);
  return RUN_ALL_TESTS();
}
