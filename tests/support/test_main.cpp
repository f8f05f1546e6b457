#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "support/bmp_file.h"
#include "testing/testing.h"

namespace {

std::vector<std::string> s_made_dirs;

// Every case starts on a fresh headless host with a virtual clock and leaves
// no temporary folder behind.
class FreshPlatform : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { platform::testing::reset(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    std::error_code ignored;
    for (const std::string& dir : s_made_dirs) std::filesystem::remove_all(dir, ignored);
    s_made_dirs.clear();
  }
};

}  // namespace

std::string hops_test::make_temp_dir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "hops_bmp_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
  s_made_dirs.push_back(pattern);
  return pattern;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshPlatform);
  return RUN_ALL_TESTS();
}
