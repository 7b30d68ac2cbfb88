// glyphstorm2d's work with GDI+: per frame a black clear, the phrases and the rate with
// Graphics::DrawString and one solid brush into a bitmap, then one DrawImage to the window.
//   gdiplus_reference.exe [seconds] [phrases] [antialias]
// "antialias" sets the text rendering hint TextRenderingHintAntiAlias; without it the bitmap's
// graphics keep their default hint. Runs until Esc, the close button or the given seconds.
#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM types that the GDI+ headers use.
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>

#include "reference_window.h"

namespace {

namespace gp = Gdiplus;

const char* const kWords[] = {"antialias"};
const uint32_t kAntialias = 1u << 0;

struct GdiplusFrame {
  gp::Bitmap* back = nullptr;
  gp::Graphics* backGraphics = nullptr;
  gp::Graphics* windowGraphics = nullptr;
  gp::Font* font = nullptr;
  gp::SolidBrush* brush = nullptr;
  wchar_t phrase[kPhraseLength2d + 1];
  int32_t phrases = kDefaultPhrases2d;
};

bool OpenBackBuffer(GdiplusFrame& f, HWND window, bool antialias) {
  f.back = new gp::Bitmap(kScreenWidth2d, kScreenHeight2d, PixelFormat32bppPARGB);
  f.backGraphics = gp::Graphics::FromImage(f.back);
  f.windowGraphics = gp::Graphics::FromHDC(GetDC(window));
  // The em height in pixels that glyphstorm2d's 8-point GDI font has on this display.
  f.font =
      new gp::Font(L"Tahoma", gp::REAL(TextPixelHeight()), gp::FontStyleRegular, gp::UnitPixel);
  f.brush = new gp::SolidBrush(gp::Color(255, 255, 255, 255));
  if (f.back->GetLastStatus() != gp::Ok || !f.backGraphics ||
      f.backGraphics->GetLastStatus() != gp::Ok || !f.windowGraphics ||
      f.windowGraphics->GetLastStatus() != gp::Ok || f.font->GetLastStatus() != gp::Ok)
    return false;
  if (antialias) f.backGraphics->SetTextRenderingHint(gp::TextRenderingHintAntiAlias);
  // Presenting is a plain copy of the whole frame.
  f.windowGraphics->SetCompositingMode(gp::CompositingModeSourceCopy);
  f.windowGraphics->SetInterpolationMode(gp::InterpolationModeNearestNeighbor);
  WidePhrase(f.phrase);
  return true;
}

void CloseBackBuffer(GdiplusFrame& f) {
  delete f.brush;
  delete f.font;
  delete f.windowGraphics;
  delete f.backGraphics;
  delete f.back;
}

bool DrawFrame(void* context, int32_t rate) {
  GdiplusFrame& f = *static_cast<GdiplusFrame*>(context);
  f.backGraphics->Clear(gp::Color(255, 0, 0, 0));
  for (int32_t i = 0; i < f.phrases; ++i) {
    PhrasePlacement p = NextPlacement();
    f.brush->SetColor(gp::Color(255, p.red, p.green, p.blue));
    f.backGraphics->DrawString(f.phrase, kPhraseLength2d, f.font,
                               gp::PointF(gp::REAL(p.x), gp::REAL(p.y)), f.brush);
  }
  wchar_t shown[12];
  int length = WideRate(rate, shown);
  f.brush->SetColor(gp::Color(255, 255, 255, 255));
  f.backGraphics->DrawString(shown, length, f.font, gp::PointF(0, 0), f.brush);
  return f.windowGraphics->DrawImage(f.back, 0, 0, kScreenWidth2d, kScreenHeight2d) == gp::Ok;
}

}  // namespace

int main(int argc, char** argv) {
  ReferenceArgs args;
  if (!ParseReferenceArgs(argc, argv, kWords, 1, args))
    return Usage("gdiplus_reference [seconds] [phrases] [antialias]");
  gp::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (gp::GdiplusStartup(&token, &input, nullptr) != gp::Ok) {
    std::fprintf(stderr, "gdiplus_reference: GDI+ did not start\n");
    return 1;
  }
  HWND window = OpenReferenceWindow("gdiplus reference");
  GdiplusFrame f;
  f.phrases = args.phrases;
  int code = 0;
  if (window && OpenBackBuffer(f, window, (args.words & kAntialias) != 0)) {
    StartPlacements();
    RunFrames(args, DrawFrame, &f);
  } else {
    std::fprintf(stderr, "gdiplus_reference: no window or back buffer\n");
    code = 1;
  }
  CloseBackBuffer(f);
  gp::GdiplusShutdown(token);
  return code;
}
