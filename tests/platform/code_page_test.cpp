#include "kernel32/code_page.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "testing/testing.h"

namespace {

using platform::ansi_to_utf8;
using platform::decode_ansi;

// "프레임" as a Korean Windows stores it.
constexpr std::string_view kFrameCp949 = "\xC7\xC1\xB7\xB9\xC0\xD3";

TEST(DecodeAnsi, HangulSyllablesOfKsX1001) { EXPECT_EQ(decode_ansi(kFrameCp949), U"\uD504\uB808\uC784"); }

TEST(DecodeAnsi, UnifiedHangulExtensionKeepsItsAsciiRangeTrailByte) {
  // 똠 lies outside EUC-KR; its trail byte 0x63 is also 'c'.
  EXPECT_EQ(decode_ansi("\x8C\x63"), U"\uB620");
  EXPECT_EQ(decode_ansi("c\x8C\x63"
                        "c"),
            U"c\uB620c");
}

TEST(DecodeAnsi, AsciiPassesThroughIncludingNul) {
  EXPECT_EQ(decode_ansi("FPS: 60 ~\x7F"), U"FPS: 60 ~\x7F");
  EXPECT_EQ(decode_ansi(std::string_view("a\0b", 3)), std::u32string(U"a\0b", 3));
  EXPECT_EQ(decode_ansi(""), U"");
}

TEST(DecodeAnsi, MixedAsciiAndHangul) {
  EXPECT_EQ(decode_ansi("\xC7\xC1\xB7\xB9\xC0\xD3: 60"), U"\uD504\uB808\uC784: 60");
}

TEST(DecodeAnsiReplacement, LeadByteCutOffAtTheEnd) {
  EXPECT_EQ(decode_ansi("A\xC7"), U"A\uFFFD");
  EXPECT_EQ(decode_ansi("\xC7\xC1\xB7"), U"\uD504\uFFFD");
}

TEST(DecodeAnsiReplacement, BadSequenceSkipsOnlyItsLeadByte) {
  // A space cannot follow a lead byte; it is decoded on its own afterwards.
  EXPECT_EQ(decode_ansi("\xC7 B"), U"\uFFFD B");
  EXPECT_EQ(decode_ansi("\xC7\x7F\xC7\xC1"), U"\uFFFD\x7F\uD504");
}

TEST(DecodeAnsiReplacement, BytesThatLeadNothing) {
  EXPECT_EQ(decode_ansi("\x80"), U"\uFFFD");
  EXPECT_EQ(decode_ansi("x\xFFy"), U"x\uFFFDy");
}

TEST(AnsiToUtf8, HangulAndReplacement) {
  EXPECT_EQ(ansi_to_utf8(kFrameCp949), "\xED\x94\x84\xEB\xA0\x88\xEC\x9E\x84");
  EXPECT_EQ(ansi_to_utf8("Drel_HOPS"), "Drel_HOPS");
  EXPECT_EQ(ansi_to_utf8("\x80!"), "\xEF\xBF\xBD!");
}

// Message boxes reach the host as UTF-8; it keeps the most recent, oldest first.
namespace pt = platform::testing;
const std::string kFrameUtf8 = "\xED\x94\x84\xEB\xA0\x88\xEC\x9E\x84";

TEST(MessageBoxes, AConverterThatFailedToOpenIsTriedAgainForTheNextBox) {
  pt::fail_next_code_page_open();
  MessageBoxA(nullptr, kFrameCp949.data(), "A", MB_OK);
  MessageBoxA(nullptr, kFrameCp949.data(), "B", MB_OK);
  const auto& boxes = pt::message_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
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
