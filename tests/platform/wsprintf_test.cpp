// wsprintfA and the rectangle helpers.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

namespace {

TEST(Wsprintf, NumbersStringsAndWidths) {
  char buffer[64];
  EXPECT_EQ(wsprintfA(buffer, "%d", 0), 1);
  EXPECT_STREQ(buffer, "0");
  wsprintfA(buffer, "%d|%d|%i", -2147483647 - 1, 2147483647, -5);
  EXPECT_STREQ(buffer, "-2147483648|2147483647|-5");
  wsprintfA(buffer, "%u|%x|%X|%c|%%", 4294967295u, 0xBEEFu, 0xBEEFu, 'Q');
  EXPECT_STREQ(buffer, "4294967295|beef|BEEF|Q|%");
  wsprintfA(buffer, "[%5d][%-5d][%05d][%-05d]", -42, 42, -42, 7);
  EXPECT_STREQ(buffer, "[  -42][42   ][-0042][7    ]");
  wsprintfA(buffer, "[%s][%6s][%-6s][%.2s]", "ab", "ab", "ab", "abcdef");
  EXPECT_STREQ(buffer, "[ab][    ab][ab    ][ab]");
  // A precision lets the string end without a zero: no byte past it is read.
  const std::unique_ptr<char[]> unterminated(new char[3]{'x', 'y', 'z'});
  wsprintfA(buffer, "[%.3s][%.2s][%s]", unterminated.get(), unterminated.get(), "");
  EXPECT_STREQ(buffer, "[xyz][xy][]");
}

TEST(Wsprintf, KoreanBytesPassThroughUnchanged) {
  // "%d프레임" and "메모리모드 : %s" in CP949.
  char buffer[64];
  wsprintfA(buffer, "%d\xC7\xC1\xB7\xB9\xC0\xD3", 100);
  EXPECT_STREQ(buffer, "100\xC7\xC1\xB7\xB9\xC0\xD3");
  wsprintfA(buffer, "\xB8\xDE\xB8\xF0\xB8\xAE\xB8\xF0\xB5\xE5 : %s", "VVV");
  EXPECT_STREQ(buffer, "\xB8\xDE\xB8\xF0\xB8\xAE\xB8\xF0\xB5\xE5 : VVV");
}

TEST(Wsprintf, OutputStopsAt1024BytesWithItsTerminator) {
  const std::string long_text(2000, 'x');
  std::string buffer(1100, '#');
  EXPECT_EQ(wsprintfA(buffer.data(), "%s", long_text.c_str()), 1023);
  EXPECT_EQ(buffer[1022], 'x');
  EXPECT_EQ(buffer[1023], '\0');
  EXPECT_EQ(buffer[1024], '#');
}

TEST(Rectangles, OffsetSetAndPointInsideWithExclusiveEdges) {
  RECT rc;
  ASSERT_TRUE(SetRect(&rc, 100, 600, 150, 700));
  ASSERT_TRUE(OffsetRect(&rc, -5, 0));
  EXPECT_EQ(rc.left, 95);
  EXPECT_EQ(rc.right, 145);
  EXPECT_EQ(rc.top, 600);
  EXPECT_EQ(rc.bottom, 700);

  EXPECT_TRUE(PtInRect(&rc, POINT{95, 600}));
  EXPECT_TRUE(PtInRect(&rc, POINT{144, 699}));
  EXPECT_FALSE(PtInRect(&rc, POINT{145, 650}));
  EXPECT_FALSE(PtInRect(&rc, POINT{100, 700}));
  EXPECT_FALSE(PtInRect(&rc, POINT{94, 650}));
  EXPECT_FALSE(PtInRect(&rc, POINT{100, 599}));
  RECT empty{10, 10, 10, 20};
  EXPECT_FALSE(PtInRect(&empty, POINT{10, 15}));
  EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
  EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
}

}  // namespace
