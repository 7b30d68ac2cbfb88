#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "engine/text/font_description.h"

namespace {

FontLine Parse(const char* line) { return ParseFontLine(line); }

TEST(FontLine, TheTwoShapesGiveKeyAndValue) {
  FontLine width = Parse("65 = 7");
  EXPECT_EQ(width.kind, FontLineKind::Width);
  EXPECT_EQ(width.code, 65);
  EXPECT_EQ(width.width, 7);
  FontLine twoSpaces = Parse("65  -3");
  EXPECT_EQ(twoSpaces.kind, FontLineKind::Width);
  EXPECT_EQ(twoSpaces.width, -3);
  FontLine anySeparator = Parse("texture := Tahoma sheet.png");
  EXPECT_EQ(anySeparator.kind, FontLineKind::Texture);
  EXPECT_EQ(anySeparator.value, "Tahoma sheet.png");  // spaces inside the value stay
  EXPECT_EQ(Parse("internalname = Tahoma").value, "Tahoma");
  EXPECT_EQ(Parse("texture =  leading.png").value, " leading.png");
  EXPECT_EQ(Parse("texture  x = y").value, "x = y");
}

TEST(FontLine, ShortKeysAreByteCodesReadLikeAtoi) {
  EXPECT_EQ(Parse("x = 5").code, 0);  // no digits: code 0
  EXPECT_EQ(Parse("x = 5").kind, FontLineKind::Width);
  FontLine leadingSpace = Parse(" = 9");  // empty key
  EXPECT_EQ(leadingSpace.kind, FontLineKind::Width);
  EXPECT_EQ(leadingSpace.code, 0);
  EXPECT_EQ(leadingSpace.width, 9);
  FontLine alone = Parse("66");  // a key alone: width 0
  EXPECT_EQ(alone.kind, FontLineKind::Width);
  EXPECT_EQ(alone.code, 66);
  EXPECT_EQ(alone.width, 0);
  EXPECT_EQ(Parse("+7 = 12abc").code, 7);
  EXPECT_EQ(Parse("+7 = 12abc").width, 12);
  EXPECT_EQ(Parse("\t8 = 1").code, 8);  // a tab belongs to the key
  EXPECT_EQ(Parse("32 =").width, 0);    // separator not ended by a space: empty value
  EXPECT_EQ(Parse("32 5").width, 0);
}

TEST(FontLine, CodesOutsideTheTableAndOtherKeysAreIgnored) {
  EXPECT_EQ(Parse("256 = 3").kind, FontLineKind::Ignored);
  EXPECT_EQ(Parse("-1 = 3").kind, FontLineKind::Ignored);
  EXPECT_EQ(Parse("999 = 3").kind, FontLineKind::Ignored);
  EXPECT_EQ(Parse("255 = 3").kind, FontLineKind::Width);
  EXPECT_EQ(Parse("Texture = a.png").kind, FontLineKind::Ignored);
  EXPECT_EQ(Parse("INTERNALNAME = a").kind, FontLineKind::Ignored);
  EXPECT_EQ(Parse("name = a").kind, FontLineKind::Ignored);
  EXPECT_EQ(Parse("").kind, FontLineKind::Empty);
}

TEST(FontLine, NumbersSaturateInsteadOfOverflowing) {
  EXPECT_EQ(ReadDecimal("99999999999999999999"), INT_MAX);
  EXPECT_EQ(ReadDecimal("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(ReadDecimal("-2147483648"), INT_MIN);
  EXPECT_EQ(ReadDecimal("  \n\t42x"), 42);
  EXPECT_EQ(ReadDecimal("- 5"), 0);
}

std::vector<std::string> Lines(const std::string& bytes, int* tooLongCount = nullptr) {
  std::istringstream in(bytes);
  std::vector<std::string> lines;
  std::string line;
  bool tooLong = false;
  int skipped = 0;
  while (NextFontLine(in, line, tooLong)) {
    if (tooLong) ++skipped;
    else lines.push_back(line);
  }
  if (tooLongCount) *tooLongCount = skipped;
  return lines;
}

TEST(FontLines, LineEndsLastLineLongLinesAndZeroBytes) {
  EXPECT_EQ(Lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Lines("a\n\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(Lines(""), std::vector<std::string>{});
  int skipped = 0;
  std::string limit(254, 'x');
  EXPECT_EQ(Lines(limit + "\r\n" + std::string(255, 'y') + "\n65 = 1", &skipped),
            (std::vector<std::string>{limit, "65 = 1"}));
  EXPECT_EQ(skipped, 1);
  EXPECT_EQ(Lines(std::string(10 * 1024 * 1024, 'z'), &skipped), std::vector<std::string>{});
  EXPECT_EQ(skipped, 1);
  EXPECT_EQ(Lines(std::string("65 = 1\0junk\n66", 14)), (std::vector<std::string>{"65 = 1", "66"}));
}

}  // namespace
