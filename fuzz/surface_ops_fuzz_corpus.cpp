// Writes the sequences the game makes into a folder, one file each: the
// seed corpus of the surface fuzzer.
#include <cstdio>
#include <string>

#include "surface_ops.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: surface_ops_fuzz_corpus FOLDER\n");
    return 2;
  }
  for (const surface_ops::Sequence& sequence : surface_ops::game_sequences()) {
    const std::string path = std::string(argv[1]) + "/" + sequence.name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr ||
        std::fwrite(sequence.bytes.data(), 1, sequence.bytes.size(), file) != sequence.bytes.size()) {
      std::fprintf(stderr, "surface_ops_fuzz_corpus: cannot write %s\n", path.c_str());
      return 1;
    }
    std::fclose(file);
  }
  return 0;
}
