// Reads its input as a sequence of DirectDraw operations on a few surfaces
// and aborts, with the operations done, when any surface after any of them
// holds other pixels than a plain model of it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "surface_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string difference = surface_ops::run(data, size);
  if (difference.empty()) return 0;
  std::fprintf(stderr, "The surfaces and their model disagree:\n%s", difference.c_str());
  std::abort();
}
