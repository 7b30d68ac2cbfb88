// The reference programs' arguments.
#include <gtest/gtest.h>

#include <vector>

#include "workload2d.h"

namespace {

const char* const kWords[] = {"layout", "antialias"};

bool Parse(std::vector<const char*> words, ReferenceArgs& args) {
  words.insert(words.begin(), "program.exe");
  return ParseReferenceArgs(int(words.size()), words.data(), kWords, 2, args);
}

TEST(ReferenceArgs, SecondsThenPhrasesWithModeWordsAnywhere) {
  ReferenceArgs args;
  ASSERT_TRUE(Parse({}, args));
  EXPECT_EQ(0u, args.seconds);
  EXPECT_EQ(200, args.phrases);
  EXPECT_EQ(0u, args.words);

  ASSERT_TRUE(Parse({"antialias", "12", "layout", "0"}, args));
  EXPECT_EQ(12u, args.seconds);
  EXPECT_EQ(0, args.phrases);
  EXPECT_EQ(3u, args.words);

  ASSERT_TRUE(Parse({"1000000", "100000"}, args));
  EXPECT_EQ(1000000u, args.seconds);
  EXPECT_EQ(100000, args.phrases);
}

TEST(ReferenceArgs, AnythingElseIsRefused) {
  const std::vector<std::vector<const char*>> refused = {{"layouts"},
                                                         {"Layout"},
                                                         {""},
                                                         {"-1"},
                                                         {"+5"},
                                                         {"1.5"},
                                                         {" 5"},
                                                         {"5", "6", "7"},
                                                         {"1000001"},
                                                         {"1", "100001"},
                                                         {"99999999999999999999"},
                                                         {"10", "x"}};
  for (const auto& words : refused) {
    ReferenceArgs args;
    EXPECT_FALSE(Parse(words, args)) << (words.empty() ? "" : words.back());
  }
}

}  // namespace
