// The system font of the native build: a Hangul font found through
// fontconfig and rasterised by FreeType in black and white, as the Windows
// system font draws without anti-aliasing.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gdi32/system_font.h"

namespace platform {

namespace {

// A syllable every Korean font has; a font without it cannot show the
// game's messages.
constexpr FcChar32 kHangulProbe = 0xD504;  // 프

struct FontFile {
  std::string path;
  int index = 0;
};

bool has_family(FcPattern* font, const char* family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0) return true;
  }
  return false;
}

bool covers_hangul(FcPattern* font) {
  FcCharSet* charset = nullptr;
  return FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) == FcResultMatch &&
         FcCharSetHasChar(charset, kHangulProbe);
}

// The best Korean font the configuration offers for `family` (any family
// when null); empty when the match is not that family or cannot show Hangul.
FontFile match_korean_font(FcConfig* config, const char* family) {
  FcPattern* pattern = FcPatternCreate();
  FcCharSet* charset = FcCharSetCreate();
  FcCharSetAddChar(charset, kHangulProbe);
  FcPatternAddCharSet(pattern, FC_CHARSET, charset);
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ko"));
  if (family != nullptr) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* font = FcFontMatch(config, pattern, &result);
  FontFile found;
  FcChar8* file = nullptr;
  if (font != nullptr && covers_hangul(font) && (family == nullptr || has_family(font, family)) &&
      FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch) {
    found.path = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(font, FC_INDEX, 0, &found.index) != FcResultMatch) found.index = 0;
  }
  if (font != nullptr) FcPatternDestroy(font);
  FcCharSetDestroy(charset);
  FcPatternDestroy(pattern);
  return found;
}

// Unifont is drawn on a 16-pixel grid and stays crisp in black and white;
// an outline font such as NanumGothic is the fallback.
FontFile find_preferred_font_file(FcConfig* config) {
  for (const char* family : {"UnifontMedium", "Unifont", "NanumGothic"}) {
    FontFile found = match_korean_font(config, family);
    if (!found.path.empty()) return found;
  }
  return match_korean_font(config, nullptr);
}

// fontconfig is needed only for this one look-up, in a configuration of
// the platform's own that is freed afterwards. The process's shared one is
// left alone: another library (the display's) may hold fonts of it until
// the very end, and closing it under them aborts the process.
FontFile find_font_file() {
  FcConfig* const config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return {};
  FontFile found = find_preferred_font_file(config);
  FcConfigDestroy(config);
  return found;
}

// As GDI maps a positive font height: ascender plus descender make the
// cell, so every font keeps the system font's 16-pixel lines.
bool request_cell_height(FT_Face face) {
  FT_Size_RequestRec request{};
  request.type = FT_SIZE_REQUEST_TYPE_CELL;
  request.height = kCellHeight * 64;
  return FT_Request_Size(face, &request) == 0;
}

class Font final : public SystemFont {
 public:
  // Null when no font can be had; the reason goes to standard error.
  static std::unique_ptr<Font> open() {
    const FontFile file = find_font_file();
    if (file.path.empty()) {
      std::fputs("gdi32: fontconfig has no font with Hangul; TextOutA draws no text\n", stderr);
      return nullptr;
    }
    auto font = std::unique_ptr<Font>(new Font);
    if (FT_Init_FreeType(&font->library_) != 0 ||
        FT_New_Face(font->library_, file.path.c_str(), file.index, &font->face_) != 0 ||
        !request_cell_height(font->face_)) {
      std::fprintf(stderr, "gdi32: FreeType cannot open %s; TextOutA draws no text\n", file.path.c_str());
      return nullptr;
    }
    const FT_Size_Metrics& metrics = font->face_->size->metrics;
    font->ascender_ = static_cast<int>((metrics.ascender + 63) >> 6);
    font->line_height_ = font->ascender_ + static_cast<int>((-metrics.descender + 63) >> 6);
    return font;
  }

  ~Font() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  int ascender() const override { return ascender_; }
  int line_height() const override { return line_height_; }

  const Glyph& glyph(char32_t code_point) override {
    const auto cached = glyphs_.find(code_point);
    if (cached != glyphs_.end()) return cached->second;
    return glyphs_.emplace(code_point, render(code_point)).first->second;
  }

 private:
  Font() = default;

  // A code point the font lacks draws the font's missing-glyph box.
  Glyph render(char32_t code_point) const {
    Glyph rendered;
    const FT_UInt index = FT_Get_Char_Index(face_, code_point);
    if (FT_Load_Glyph(face_, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return rendered;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
      return rendered;
    }
    rendered.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return rendered;
    rendered.left = slot->bitmap_left;
    rendered.top = slot->bitmap_top;
    rendered.width = static_cast<int>(bitmap.width);
    rendered.rows = static_cast<int>(bitmap.rows);
    rendered.ink.resize(static_cast<std::size_t>(rendered.width) * static_cast<std::size_t>(rendered.rows));
    const int stride = std::abs(bitmap.pitch);
    for (int row = 0; row < rendered.rows; ++row) {
      // A negative pitch stores the rows bottom up.
      const int stored_row = bitmap.pitch >= 0 ? row : rendered.rows - 1 - row;
      const unsigned char* bits = bitmap.buffer + static_cast<std::ptrdiff_t>(stored_row) * stride;
      for (int column = 0; column < rendered.width; ++column) {
        const bool set = (bits[column >> 3] & (0x80 >> (column & 7))) != 0;
        rendered.ink[static_cast<std::size_t>(row * rendered.width + column)] = set ? 1 : 0;
      }
    }
    return rendered;
  }

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  int ascender_ = 0;
  int line_height_ = kCellHeight;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

}  // namespace

SystemFont* system_font() {
  static const std::unique_ptr<Font> s_font = Font::open();
  return s_font.get();
}

}  // namespace platform
