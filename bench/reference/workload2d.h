// glyphstorm2d's drawing work for the 2D reference programs: its phrase, the colour and place of
// each phrase in its generator order, and the arguments of every reference program. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

// Windows-1251 bytes, 33 characters.
extern const char kPhrase2d[];
const int32_t kPhraseLength2d = 33;

const int32_t kScreenWidth2d = 800;
const int32_t kScreenHeight2d = 600;
const int32_t kTextPoints2d = 8;
const int32_t kDefaultPhrases2d = 200;
const int32_t kMaxPhrases2d = 100000;
const uint32_t kMaxSeconds2d = 1000000;

struct PhrasePlacement {
  uint8_t red, green, blue;
  int32_t x, y;
};

// The next phrase's colour and top-left corner, drawn from glyphstorm2d's generator in its order:
// blue, green, red, y (0..588), x (0..635).
PhrasePlacement NextPlacement();

struct ReferenceArgs {
  uint32_t seconds = 0;  // 0: until Esc
  int32_t phrases = kDefaultPhrases2d;
  uint32_t words = 0;  // bit i set: words[i] was given
};

// "[seconds] [phrases]" (decimal, in this order) and any of `words`, each anywhere; phrases not
// given are `defaultPhrases`. False for anything else: an unknown word, a sign, a third number,
// or a value above its maximum.
bool ParseReferenceArgs(int argc, const char* const* argv, const char* const* words, int wordCount,
                        ReferenceArgs& args, int32_t defaultPhrases = kDefaultPhrases2d);
