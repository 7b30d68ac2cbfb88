// glyphstorm2d's drawing work for the 2D reference programs: its phrase, the colour and place of
// each phrase in its generator order, the arguments of every reference program and the 2D
// programs' once-a-second frame report. Portable.
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

// Presented frames per second on a fixed one-second grid of the tick count: a frame presented
// at tick t counts in the second that holds t. A program held up for longer than a second gets
// one report for the whole gap and a new grid from then on.
struct FrameReport {
  uint32_t mark;
  int32_t frames;
  int32_t lastSecond;  // frames of the last closed second; 0 before the first
};

void StartFrameReport(FrameReport& report, uint32_t now);
// Closes the running second if `now` lies past it (true then, its count in lastSecond), then
// counts the frame when it was presented.
bool TickFrameReport(FrameReport& report, uint32_t now, bool presented);
// The report line of one second, "frames=N\n"; its length without the terminator.
int FormatFramesLine(char* buffer, size_t size, int32_t frames);
