// The ANSI code page: CP949 bytes decoded through the C library's iconv.
#include "kernel32/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr char32_t kReplacement = U'\uFFFD';

// One conversion descriptor per thread, opened on first use. An open that
// fails (no CP949 converter in the C library, or memory short) is tried again
// on the next use; until one succeeds only ASCII decodes.
class Cp949Decoder {
 public:
  Cp949Decoder() = default;
  ~Cp949Decoder() {
    if (valid()) iconv_close(cd_);
  }
  Cp949Decoder(const Cp949Decoder&) = delete;
  Cp949Decoder& operator=(const Cp949Decoder&) = delete;

  bool ready() {
    if (!valid()) cd_ = iconv_open("UTF-32LE", "CP949");
    return valid();
  }

  std::u32string decode(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    // Every input byte yields at most one code point, so this never runs out.
    std::vector<char> utf32(bytes.size() * 4 + 4);
    char* in = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    while (in_left > 0) {
      char* produced = utf32.data();
      std::size_t out_left = utf32.size();
      const std::size_t result = iconv(cd_, &in, &in_left, &produced, &out_left);
      append_utf32le(utf32.data(), produced, out);
      if (result != static_cast<std::size_t>(-1)) break;
      // An invalid or cut-off sequence: one replacement for its lead byte,
      // then the decoder starts over on the byte after it.
      out.push_back(kReplacement);
      ++in;
      --in_left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  static void append_utf32le(const char* begin, const char* end, std::u32string& out) {
    for (const char* p = begin; p + 4 <= end; p += 4) {
      const auto byte = [p](int i) { return static_cast<char32_t>(static_cast<unsigned char>(p[i])); };
      out.push_back(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
    }
  }

  bool valid() const { return cd_ != kInvalid; }

  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);
  iconv_t cd_ = kInvalid;
};

Cp949Decoder& decoder() {
  thread_local Cp949Decoder s_decoder;
  return s_decoder;
}

std::u32string decode_ascii_only(std::string_view bytes) {
  std::u32string out;
  out.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    out.push_back(value < 0x80 ? static_cast<char32_t>(value) : kReplacement);
  }
  return out;
}

void append_utf8(char32_t code_point, std::string& out) {
  const auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
  if (code_point < 0x80) {
    put(code_point);
  } else if (code_point < 0x800) {
    put(0xC0 | code_point >> 6);
    put(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    put(0xE0 | code_point >> 12);
    put(0x80 | (code_point >> 6 & 0x3F));
    put(0x80 | (code_point & 0x3F));
  } else {
    put(0xF0 | code_point >> 18);
    put(0x80 | (code_point >> 12 & 0x3F));
    put(0x80 | (code_point >> 6 & 0x3F));
    put(0x80 | (code_point & 0x3F));
  }
}

}  // namespace

std::u32string decode_ansi(std::string_view bytes) {
  // Bytes below 0x80 stand for themselves in CP949: a line of only those
  // (the game's status lines, every frame) needs no converter.
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
  if (ascii || !decoder().ready()) return decode_ascii_only(bytes);
  return decoder().decode(bytes);
}

std::string ansi_to_utf8(std::string_view bytes) {
  std::string out;
  for (const char32_t code_point : decode_ansi(bytes)) append_utf8(code_point, out);
  return out;
}

}  // namespace platform
