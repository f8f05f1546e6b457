#include <gtest/gtest.h>

#include "support/bmp_file.h"
#include "testing/testing.h"

namespace {

// Every case starts on a fresh headless host with a virtual clock and leaves
// no temporary folder behind.
class FreshPlatform : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { platform::testing::reset(); }
  void OnTestEnd(const ::testing::TestInfo&) override { hops_test::remove_temp_dirs(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshPlatform);
  return RUN_ALL_TESTS();
}
