#include "workload2d.h"

#include <cstring>

#include "screen/random.h"

const char kPhrase2d[] = "саббакка баббка аф-аф-аф %!%^^^#$";
static_assert(sizeof(kPhrase2d) == kPhraseLength2d + 1, "33 single-byte characters");

namespace {

// glyphstorm2d's top-left corners: a phrase starts at most 588 rows and 635 columns in.
const int32_t kMaxPhraseY = 588;
const int32_t kMaxPhraseX = 635;

// A decimal without sign or spaces, at most `max`.
bool ParseCount(const char* text, uint32_t max, uint32_t& value) {
  if (!*text) return false;
  uint64_t v = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    v = v * 10 + uint64_t(*c - '0');
    if (v > max) return false;
  }
  value = uint32_t(v);
  return true;
}

int FindWord(const char* text, const char* const* words, int wordCount) {
  for (int i = 0; i < wordCount; ++i)
    if (std::strcmp(text, words[i]) == 0) return i;
  return -1;
}

}  // namespace

PhrasePlacement NextPlacement() {
  PhrasePlacement p;
  p.blue = uint8_t(RandomUpTo(255));
  p.green = uint8_t(RandomUpTo(255));
  p.red = uint8_t(RandomUpTo(255));
  p.y = RandomUpTo(kMaxPhraseY);
  p.x = RandomUpTo(kMaxPhraseX);
  return p;
}

bool ParseReferenceArgs(int argc, const char* const* argv, const char* const* words, int wordCount,
                        ReferenceArgs& args, int32_t defaultPhrases) {
  args = ReferenceArgs{};
  args.phrases = defaultPhrases;
  int numbers = 0;
  for (int i = 1; i < argc; ++i) {
    if (!argv[i]) return false;
    int word = FindWord(argv[i], words, wordCount);
    if (word >= 0 && word < 32) {
      args.words |= 1u << word;
      continue;
    }
    uint32_t value = 0;
    if (numbers == 0 && ParseCount(argv[i], kMaxSeconds2d, value)) {
      args.seconds = value;
    } else if (numbers == 1 && ParseCount(argv[i], uint32_t(kMaxPhrases2d), value)) {
      args.phrases = int32_t(value);
    } else {
      return false;
    }
    ++numbers;
  }
  return true;
}
