// The surface fuzzer's checker without libFuzzer: the sequences the game
// makes, sequences of random operations, and every input the fuzzer found
// harmful (fuzz/regressions/surface_ops_fuzz/).
#include "surface_ops.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

TEST(SurfaceOps, GameSequencesLeaveEverySurfaceAsItsModel) {
  for (const surface_ops::Sequence& sequence : surface_ops::game_sequences()) {
    EXPECT_EQ(surface_ops::run(sequence.bytes.data(), sequence.bytes.size()), "") << sequence.name;
  }
}

// Frames drawn as the game draws them, the sky (2) and the field (3) whole
// and keyed onto the back page (1), then a few random operations of any
// kind, then a flip; the pictures start with random writes and keys.
TEST(SurfaceOps, RandomFramesLeaveEverySurfaceAsItsModel) {
  std::mt19937 random(21);
  for (int sequence = 0; sequence < 24; ++sequence) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(sequence)};
    const auto add = [&](std::initializer_list<int> given) {
      for (std::size_t i = 0; i < 12; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i < given.size() ? given.begin()[i] : random()));
      }
    };
    for (int picture : {2, 3, 4}) {
      add({3, picture});
      add({3, picture});
      add({5, picture, 0, 0});
    }
    for (int frame = 0; frame < 20; ++frame) {
      add({0, 1, 2, 7});
      add({0, 1, 3, 7});
      for (int n = static_cast<int>(random() % 6); n > 0; --n) add({});
      add({6});
    }
    EXPECT_EQ(surface_ops::run(bytes.data(), bytes.size()), "") << "sequence " << sequence;
  }
}

TEST(SurfaceOps, SavedFindingsLeaveEverySurfaceAsItsModel) {
  int findings = 0;
  for (const auto& entry : std::filesystem::directory_iterator(HOPS_SURFACE_FINDINGS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    EXPECT_EQ(surface_ops::run(bytes.data(), bytes.size()), "") << entry.path().filename();
    ++findings;
  }
  EXPECT_GT(findings, 0);
}

}  // namespace
