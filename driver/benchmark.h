// The glyphstorm benchmark loop: 199 random phrases per frame in text mode 1 or 2.
#pragma once

#include "engine/text/texture_font.h"
#include "frame_reporter.h"

struct Benchmark {
  TextureFont* font;
  int textMode;  // 1 glyph by glyph, 2 from the phrase cache
  int xRange;
  int yRange;
  FrameReporter frames;  // off unless the harness asks for it
};

// Swap interval 0, the title, the font and the random ranges; the engine must be started.
Benchmark PrepareBenchmark();
// Draw one frame and present it; false when the quit message arrived.
bool RunFrame(Benchmark& benchmark);
// Run frames until Esc or quit.
void RunBenchmark(Benchmark& benchmark);
// rand() mod range; a range of 0 (a window exactly as wide as the phrase) places at 0.
int RandomPosition(int range);
