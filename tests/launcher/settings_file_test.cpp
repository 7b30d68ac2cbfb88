// vtAPI.ini parsing: the accepted format, the validity rule and the reasons given for refusals.
#include "settings_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

SettingsFileResult Parse(const std::string& text) {
  return ParseSettingsFile(text.data(), text.size());
}

void ExpectSettings(const std::string& text, DisplaySettings expected) {
  const SettingsFileResult r = Parse(text);
  ASSERT_TRUE(r.valid) << r.reason;
  EXPECT_EQ(r.settings.width, expected.width);
  EXPECT_EQ(r.settings.height, expected.height);
  EXPECT_EQ(r.settings.bpp, expected.bpp);
  EXPECT_EQ(r.settings.fullscreen, expected.fullscreen);
}

void ExpectRefused(const std::string& text, const std::string& reason) {
  const SettingsFileResult r = Parse(text);
  EXPECT_FALSE(r.valid);
  EXPECT_EQ(r.reason, reason);
}

TEST(SettingsFile, ReadsTheDisplaySection) {
  ExpectSettings("[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=2\n", {640, 480, 32, 2});
  ExpectSettings("[display]\nfullscreen=1\nbpp=16\nheight=600\nwidth=800", {800, 600, 16, 1});
}

TEST(SettingsFile, ToleratesEditorHabits) {
  // BOM, CRLF, blanks, case, comment lines and trailing comments, other sections and keys.
  ExpectSettings(
      "\xEF\xBB\xBF; settings\r\n# more\r\n[other]\r\nwidth=1\r\n\r\n [ Display ] \r\n"
      "\tWIDTH = 1024 ; xga\r\nHeight=768#\r\nbpp=+32\r\ncolour=red\r\nnonsense line\r\n"
      "fullscreen = 1\r\n[after]\r\nbpp=8\r\n",
      {1024, 768, 32, 1});
}

TEST(SettingsFile, FirstOccurrenceOfAKeyWins) {
  ExpectSettings(
      "[display]\nwidth=640\nwidth=1280\nheight=480\nbpp=32\nfullscreen=2\n[display]\nbpp=16\n",
      {640, 480, 32, 2});
}

TEST(SettingsFile, PassesOddFullscreenAndDepthValuesOn) {
  ExpectSettings("[display]\nwidth=640\nheight=480\nbpp=24\nfullscreen=0", {640, 480, 24, 0});
  ExpectSettings("[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=3", {640, 480, 32, 3});
  ExpectSettings("[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=-1", {640, 480, 32, -1});
  ExpectSettings("[display]\nwidth=1\nheight=16384\nbpp=64\nfullscreen=-2147483648",
                 {1, 16384, 64, INT32_MIN});
}

TEST(SettingsFile, NamesWhatIsMissing) {
  ExpectRefused("", "vtAPI.ini has no [display] section");
  ExpectRefused("width=640\nheight=480\nbpp=32\nfullscreen=2\n",
                "vtAPI.ini has no [display] section");
  ExpectRefused("[display\nwidth=640\n", "vtAPI.ini has no [display] section");
  ExpectRefused("[display]\n", "vtAPI.ini: [display] lacks width, height, bpp, fullscreen");
  ExpectRefused("[display]\nwidth=640\nheight=480\nfullscreen\n",
                "vtAPI.ini: [display] lacks bpp, fullscreen");
  ExpectRefused("[display]\nheight=480\nbpp=32\nfullscreen=2\n[other]\nwidth=640\n",
                "vtAPI.ini: [display] lacks width");
}

TEST(SettingsFile, RefusesValuesThatAreNotNumbers) {
  const std::string rest = "\nheight=480\nbpp=32\nfullscreen=2\n";
  ExpectRefused("[display]\nwidth=abc" + rest, "vtAPI.ini: width \"abc\" is not a whole number");
  ExpectRefused("[display]\nwidth=" + rest, "vtAPI.ini: width \"\" is not a whole number");
  ExpectRefused("[display]\nwidth=640px" + rest,
                "vtAPI.ini: width \"640px\" is not a whole number");
  ExpectRefused("[display]\nwidth=-" + rest, "vtAPI.ini: width \"-\" is not a whole number");
  ExpectRefused("[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=2147483648\n",
                "vtAPI.ini: fullscreen \"2147483648\" is not a whole number");
  ExpectRefused("[display]\nwidth=99999999999999999999999" + rest,
                "vtAPI.ini: width \"99999999999999999999999\" is not a whole number");
  // File bytes in a message are made printable and cut short.
  ExpectRefused("[display]\nwidth=\x01\xff" + std::string(40, 'x') + rest,
                "vtAPI.ini: width \"??xxxxxxxxxxxxxxxxxxxxxx...\" is not a whole number");
}

TEST(SettingsFile, RefusesUnusableSizesAndDepths) {
  ExpectRefused("[display]\nwidth=0\nheight=480\nbpp=32\nfullscreen=2",
                "vtAPI.ini: width 0 is outside 1..16384");
  ExpectRefused("[display]\nwidth=640\nheight=16385\nbpp=32\nfullscreen=2",
                "vtAPI.ini: height 16385 is outside 1..16384");
  ExpectRefused("[display]\nwidth=-640\nheight=480\nbpp=32\nfullscreen=2",
                "vtAPI.ini: width -640 is outside 1..16384");
  ExpectRefused("[display]\nwidth=640\nheight=480\nbpp=0\nfullscreen=2",
                "vtAPI.ini: bpp 0 is outside 1..64");
  ExpectRefused("[display]\nwidth=640\nheight=480\nbpp=65\nfullscreen=2",
                "vtAPI.ini: bpp 65 is outside 1..64");
}

TEST(SettingsFile, RefusesOversizedInput) {
  std::string big = "[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=2\n";
  big.resize(kMaxSettingsFileSize + 1, ' ');
  ExpectRefused(big, "vtAPI.ini is larger than 65536 bytes");
  EXPECT_FALSE(ParseSettingsFile(nullptr, 10).valid);
}

TEST(SettingsFile, ArbitraryBytesGiveADefinedResult) {
  std::mt19937 random(535);
  const std::string alphabet =
      "[]=;#\r\n\t -+0123456789displaywidthheightbppfullscreen\xEF\xBB\xBF\0\xff";
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 300, '\0');
    for (char& c : text)
      c = round % 2 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
    const SettingsFileResult r = Parse(text);
    EXPECT_NE(r.valid, !r.reason.empty());
    if (r.valid) {
      EXPECT_GE(r.settings.width, 1);
      EXPECT_LE(r.settings.bpp, kMaxBpp);
    }
  }
}

}  // namespace
