// The JSON reader on bad input, and what the writer makes of values JSON cannot hold.
#include "json.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

bool Parses(const std::string& text) {
  JsonValue v;
  std::string error;
  bool ok = ParseJson(text, v, error);  // before error.empty() is read
  EXPECT_EQ(ok, error.empty()) << text;
  return ok;
}

TEST(Json, BadInputIsRefusedWithAReason) {
  for (const char* bad :
       {"",           " ",       "{",         "[1,",         "[1,]",     "{\"a\"}",
        "{\"a\":1,}", "{a:1}",   "01",        "1.",          ".5",       "-",
        "1e",         "+1",      "nul",       "tru",         "NaN",      "Infinity",
        "\"abc",      "\"\\x\"", "\"\\u12\"", "\"\\u12G4\"", "\"a\nb\"", "[1] 2",
        "[1]]",       "\"\\",    "{\"a\":}",  "[\"\\u"}) {
    EXPECT_FALSE(Parses(bad)) << bad;
  }
  std::string embeddedZero("[1,\0]", 5);
  EXPECT_FALSE(Parses(embeddedZero));
}

TEST(Json, NestingStopsAtTheLimitWithoutOverflowingTheStack) {
  std::string ok(kMaxJsonDepth, '['), deep(200000, '[');
  ok += std::string(kMaxJsonDepth, ']');
  EXPECT_TRUE(Parses(ok));
  EXPECT_FALSE(Parses(deep));
  EXPECT_FALSE(Parses("[" + ok + "]"));
}

TEST(Json, ValuesReadAsPythonReadsThem) {
  JsonValue v;
  std::string error;
  ASSERT_TRUE(ParseJson(R"({"a": [1, -0.5e2, true, null], "s": "\u00e9\ud83d\ude00\ud800x\/",
                         "a": 7, "big": 1e400, "tiny": -1e-400})",
                        v, error))
      << error;
  EXPECT_EQ(JsonMember(v, "a")->number, 7);  // a repeated name: the last one
  EXPECT_EQ(v.items[0].items[1].number, -50);
  EXPECT_EQ(JsonMember(v, "s")->text, "\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDx/");
  EXPECT_TRUE(std::isinf(JsonMember(v, "big")->number));
  EXPECT_EQ(JsonMember(v, "tiny")->number, 0.0);
  EXPECT_EQ(JsonMember(v, "missing"), nullptr);
  EXPECT_EQ(JsonMember(v.items[0], "a"), nullptr);  // not an object
}

TEST(Json, TheWriterAlwaysMakesValidJsonThatReadsBackTheSame) {
  JsonValue root = JsonObject();
  JsonAdd(root, "x", JsonNumber(0.1));
  JsonAdd(root, "third", JsonNumber(1.0 / 3));
  JsonAdd(root, "nan", JsonNumber(NAN));
  JsonAdd(root, "text", JsonText("q\"\\\n\x01 \xD0\x96 \xFF\xC0\xAF end"));
  JsonAdd(root, "empty", JsonArray());
  std::string text = WriteJson(root);
  EXPECT_NE(text.find("\"x\": 0.1,"), std::string::npos) << text;
  EXPECT_NE(text.find("\"nan\": null"), std::string::npos);
  JsonValue back;
  std::string error;
  ASSERT_TRUE(ParseJson(text, back, error)) << error << "\n" << text;
  EXPECT_EQ(JsonMember(back, "third")->number, 1.0 / 3);
  // Invalid UTF-8 (a stray byte, an overlong form) becomes U+FFFD; valid text stays.
  EXPECT_EQ(JsonMember(back, "text")->text,
            "q\"\\\n\x01 \xD0\x96 \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD end");
}

}  // namespace
