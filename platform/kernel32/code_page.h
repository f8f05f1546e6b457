// The ANSI code page of a Korean Windows: CP949 (EUC-KR with the unified
// Hangul extension). Bytes that do not decode become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u32string decode_ansi(std::string_view bytes);
std::string ansi_to_utf8(std::string_view bytes);

}  // namespace platform
