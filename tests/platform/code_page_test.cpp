#include "kernel32/code_page.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "testing/testing.h"

namespace {

// "프레임" as a Korean Windows stores it.
constexpr std::string_view kFrameCp949 = "\xC7\xC1\xB7\xB9\xC0\xD3";

// CP949 as a Korean Windows decodes it: KS X 1001 Hangul, the Unified Hangul
// extension (whose trail bytes reach into ASCII), ASCII with NUL, and U+FFFD
// for a lead byte cut off or followed by what cannot trail, after which the
// next byte is read on its own.
TEST(CodePage, DecodesCp949AsKoreanWindowsDoes) {
  const struct {
    std::string_view ansi;
    std::u32string_view text;
  } rows[] = {
      {kFrameCp949, U"\uD504\uB808\uC784"},
      {"\xC7\xC1\xB7\xB9\xC0\xD3: 60", U"\uD504\uB808\uC784: 60"},
      {"c\x8C\x63"
       "c",
       U"c\uB620c"},  // 똠, outside EUC-KR
      {"FPS: 60 ~\x7F", U"FPS: 60 ~\x7F"},
      {std::string_view("a\0b", 3), std::u32string_view(U"a\0b", 3)},
      {"", U""},
      {"A\xC7", U"A\uFFFD"},
      {"\xC7\xC1\xB7", U"\uD504\uFFFD"},
      {"\xC7 B", U"\uFFFD B"},
      {"\xC7\x7F\xC7\xC1", U"\uFFFD\x7F\uD504"},
      {"\x80", U"\uFFFD"},
      {"x\xFFy", U"x\uFFFDy"},
  };
  for (const auto& row : rows) EXPECT_EQ(platform::decode_ansi(row.ansi), row.text) << row.ansi;
  EXPECT_EQ(platform::ansi_to_utf8("\xC7\xC1\xB7\xB9\xC0\xD3 \x80!"), "프레임 \xEF\xBF\xBD!");
}

// Message boxes reach the host as UTF-8; it keeps the most recent, oldest first.
namespace pt = platform::testing;
const std::string kFrameUtf8 = "\xED\x94\x84\xEB\xA0\x88\xEC\x9E\x84";

TEST(MessageBoxes, AConverterThatFailedToOpenIsTriedAgainForTheNextBox) {
  pt::fail_next_code_page_open();
  MessageBoxA(nullptr, "\xC7\xC1 ~\x7F", "A", MB_OK);  // only ASCII decodes without the converter
  MessageBoxA(nullptr, kFrameCp949.data(), "B", MB_OK);
  const auto& boxes = pt::message_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "\xEF\xBF\xBD\xEF\xBF\xBD ~\x7F");
  EXPECT_EQ(boxes[1].text, kFrameUtf8);
}

TEST(MessageBoxes, OnlyTheLast64AreKept) {
  for (int i = 1; i <= 100; ++i) MessageBoxA(nullptr, std::to_string(i).c_str(), nullptr, MB_OK);
  const auto& boxes = pt::message_boxes();
  ASSERT_EQ(boxes.size(), 64u);
  EXPECT_EQ(boxes.front().text, "37");
  EXPECT_EQ(boxes.back().text, "100");
  EXPECT_EQ(boxes.back().caption, "Error");
  pt::clear_message_boxes();
  EXPECT_TRUE(pt::message_boxes().empty());
}

}  // namespace
