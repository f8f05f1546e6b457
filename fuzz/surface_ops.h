// Sequences of DirectDraw operations on a few small surfaces of both depths,
// done through IDirectDrawSurface7 on the headless platform and, beside
// them, by plain loops on a model that holds nothing but each surface's
// pixels and key. After every operation every surface, both pages of the
// flipping chain included, must hold what the model holds: whatever the
// surfaces leave for later or keep between blits must never show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace surface_ops {

// Runs the sequence `data` encodes (any bytes are a sequence). Empty when
// the surfaces and the model agreed all along; otherwise the operations
// done, one a line, and the first difference.
std::string run(const std::uint8_t* data, std::size_t size);

struct Sequence {
  std::string name;
  std::vector<std::uint8_t> bytes;
};
// The sequences the game makes, at both depths: its pictures loaded through
// Lock and keyed, title, play and ending frames of whole keyed backdrops,
// sprites same size and stretched and status text, each frame flipped.
std::vector<Sequence> game_sequences();

}  // namespace surface_ops
