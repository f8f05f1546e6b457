// unifont_subset <unifont.hex> <output.hex> <source>...: writes the lines of
// Unifont's .hex file that the sources' texts need: printable ASCII, U+FFFD
// (what an undecodable byte shows) and every other character written in the
// sources (UTF-8). Fails, naming it, when Unifont lacks one of them.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

bool read_file(const char* path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

// The code points of the multi-byte sequences in UTF-8 text; stray bytes
// are passed over.
void collect_non_ascii(const std::string& text, std::set<char32_t>& wanted) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || i + static_cast<std::size_t>(length) > text.size()) continue;
    char32_t code_point = lead & (0x7F >> length);
    for (int n = 1; n < length; ++n) code_point = code_point << 6 | (text[i + n] & 0x3F);
    wanted.insert(code_point);
    i += static_cast<std::size_t>(length) - 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <unifont.hex> <output.hex> <source>...\n", argv[0]);
    return 2;
  }
  std::set<char32_t> wanted{U'\uFFFD'};
  for (char32_t c = 0x20; c < 0x7F; ++c) wanted.insert(c);
  for (int i = 3; i < argc; ++i) {
    std::string text;
    if (!read_file(argv[i], text)) {
      std::fprintf(stderr, "unifont_subset: cannot read %s\n", argv[i]);
      return 1;
    }
    collect_non_ascii(text, wanted);
  }

  std::ifstream unifont(argv[1]);
  if (!unifont) {
    std::fprintf(stderr, "unifont_subset: cannot read %s (Debian's unifont package)\n", argv[1]);
    return 1;
  }
  std::string subset;
  std::string line;
  while (std::getline(unifont, line)) {
    const char32_t code_point = static_cast<char32_t>(std::strtoul(line.c_str(), nullptr, 16));
    if (line.find(':') == std::string::npos || wanted.erase(code_point) == 0) continue;
    subset += line;
    subset += '\n';
  }
  for (const char32_t missing : wanted)
    std::fprintf(stderr, "unifont_subset: Unifont has no U+%04X\n", static_cast<unsigned>(missing));
  if (!wanted.empty()) return 1;

  std::ofstream output(argv[2], std::ios::binary);
  output << subset;
  return output.flush() ? 0 : 1;
}
