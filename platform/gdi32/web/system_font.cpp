// The system font of the browser build: the Unifont bitmaps of the
// characters the game writes, which the build puts in the page's files.
#include <cstdio>

#include "gdi32/hex_font.h"

namespace platform {
namespace {

constexpr char kFontFile[] = "/system/unifont.hex";

std::unique_ptr<HexFont> open_font() {
  auto font = HexFont::open(kFontFile);
  if (!font) std::fprintf(stderr, "gdi32: no glyphs in %s; TextOutA draws no text\n", kFontFile);
  return font;
}

}  // namespace

SystemFont* system_font() {
  static const std::unique_ptr<HexFont> s_font = open_font();
  return s_font.get();
}

}  // namespace platform
