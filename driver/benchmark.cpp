// The benchmark loop: mode keys, frame set-up, reseeding, the phrases, the rate, present, the
// frame report, pump.
#include "driver/benchmark.h"

#include <cstdio>
#include <cstdlib>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/window.h"
#include "engine/scene/frame.h"

namespace {

const int kPhrasesPerFrame = 199;

void EnterTextMode(Benchmark& benchmark) {
  TextureFont* font = benchmark.font;
  if (benchmark.textMode == 2) {
    BeginStaticPhrase(font);
    return;
  }
  if (font->glyphBatchActive) return;
  SetGlyphState(font);
  font->glyphBatchActive = 1;
}

void LeaveTextMode(Benchmark& benchmark) {
  TextureFont* font = benchmark.font;
  if (benchmark.textMode == 1 && font->glyphBatchActive) {
    if (font->glyphTexture) glDisable(font->glyphTexture->target);
    font->glyphBatchActive = 0;
  } else if (benchmark.textMode == 2 && font->phraseBatchActive) {
    glDisable(GL_TEXTURE_2D);
    font->phraseBatchActive = 0;
  }
}

void DrawPhrases(Benchmark& benchmark) {
  for (int i = 0; i < kPhrasesPerFrame; ++i) {
    int b = std::rand() % 256;
    int g = std::rand() % 256;
    int r = std::rand() % 256;
    glColor4f(float(r / 255.0), float(g / 255.0), float(b / 255.0), 1.0f);
    int x = RandomPosition(benchmark.xRange);
    int y = RandomPosition(benchmark.yRange);
    if (benchmark.textMode == 1) DrawGlyphText(benchmark.font, TestPhrase, x, y);
    else benchmark.font->DrawStaticPhrase(x, y);
  }
}

}  // namespace

int RandomPosition(int range) {
  int value = std::rand();
  return range == 0 ? 0 : value % range;
}

Benchmark PrepareBenchmark() {
  if (wglSwapIntervalEXT) wglSwapIntervalEXT(0);
  SetWindowTextA(hWnd, "Zumbrel");
  Benchmark benchmark{};
  benchmark.font = LoadTextureFont(new TextureFont{});
  benchmark.textMode = 2;
  uint32_t phraseWidth = MeasurePhrase(benchmark.font);
  benchmark.xRange = int(uint32_t(screenWidth) - phraseWidth + 1u);
  benchmark.yRange = screenHeight - 15;
  benchmark.frames = StartFrameReporter(GetTickCount(), 0);
  return benchmark;
}

bool RunFrame(Benchmark& benchmark) {
  if (keys['1']) benchmark.textMode = 1;
  if (keys['2']) benchmark.textMode = 2;
  BeginFrame();
  if (keys[VK_SPACE]) std::srand(535);
  EnterTextMode(benchmark);
  DrawPhrases(benchmark);
  LeaveTextMode(benchmark);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  char rate[255];
  std::snprintf(rate, sizeof rate, "%d", fps);
  DrawGlyphText(benchmark.font, rate, 20, 20);
  bool presented = SwapBuffers(hDC) != FALSE;
  if (benchmark.frames.on) CountReportedFrame(benchmark.frames, GetTickCount(), presented);
  return !PumpMessages();
}

void RunBenchmark(Benchmark& benchmark) {
  while (!keys[VK_ESCAPE]) {
    if (!RunFrame(benchmark)) break;
  }
}
