// The surface fuzzer's checker without libFuzzer: the sequences the game
// makes, and every input saved in fuzz/regressions/surface_ops_fuzz/: those
// the fuzzer found harmful, and random_frames_*, frames drawn as the game
// draws them (a sky without the key's colour, a field and a sprite with
// holes of it, all keyed; then frame after frame the sky and the field
// whole and keyed onto the back page, a few operations of any kind, mostly
// blits onto it, and a flip).
#include "surface_ops.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

TEST(SurfaceOps, GameSequencesAndSavedInputsLeaveEverySurfaceAsItsModel) {
  std::vector<surface_ops::Sequence> inputs = surface_ops::game_sequences();
  const std::size_t made = inputs.size();
  for (const auto& entry : std::filesystem::directory_iterator(HOPS_SURFACE_FINDINGS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    inputs.push_back({entry.path().filename(), {std::istreambuf_iterator<char>(file), {}}});
  }
  EXPECT_GT(inputs.size(), made);
  for (const surface_ops::Sequence& input : inputs)
    EXPECT_EQ(surface_ops::run(input.bytes.data(), input.bytes.size()), "") << input.name;
}

}  // namespace
