// glyphstorm2d's work with Direct2D and DirectWrite: per frame on an ID2D1HwndRenderTarget a
// black clear, the phrases and the rate with one solid brush whose colour changes per phrase,
// each phrase drawn with DrawText from one IDWriteTextFormat (Tahoma at glyphstorm2d's pixel
// size, 96 DPI so a DIP is a pixel), or with "layout" from one IDWriteTextLayout made at start.
//   d2d_reference.exe [seconds] [phrases] [layout]
// Runs until Esc, the close button or the given seconds.
#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>

#include <cstdio>

#include "reference_window.h"

namespace {

const char* const kWords[] = {"layout"};
const uint32_t kCachedLayout = 1u << 0;

struct D2dFrame {
  ID2D1Factory* factory = nullptr;
  ID2D1HwndRenderTarget* target = nullptr;
  ID2D1SolidColorBrush* brush = nullptr;
  IDWriteFactory* writeFactory = nullptr;
  IDWriteTextFormat* format = nullptr;
  IDWriteTextLayout* layout = nullptr;  // only for the cached-layout path
  wchar_t phrase[kPhraseLength2d + 1];
  int32_t phrases = kDefaultPhrases2d;
};

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

D2D1_RECT_F Frame() { return D2D1::RectF(0, 0, FLOAT(kScreenWidth2d), FLOAT(kScreenHeight2d)); }

// Without the family DirectWrite draws nothing yet every call succeeds: frames of a black window.
bool HasTahoma(IDWriteFactory* writeFactory) {
  IDWriteFontCollection* fonts = nullptr;
  UINT32 index = 0;
  BOOL exists = FALSE;
  if (SUCCEEDED(writeFactory->GetSystemFontCollection(&fonts, FALSE)))
    fonts->FindFamilyName(L"Tahoma", &index, &exists);
  Release(fonts);
  return exists != FALSE;
}

// Makes everything in order; the name of the first step that failed, or null.
const char* OpenTarget(D2dFrame& f, HWND window, bool cachedLayout) {
  if (FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, &f.factory)))
    return "D2D1CreateFactory";
  D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
      D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(), 96.0f, 96.0f);
  // Presented at once: a frame rate, not the display's refresh, is what is measured.
  D2D1_HWND_RENDER_TARGET_PROPERTIES hwnd = D2D1::HwndRenderTargetProperties(
      window, D2D1::SizeU(kScreenWidth2d, kScreenHeight2d), D2D1_PRESENT_OPTIONS_IMMEDIATELY);
  if (FAILED(f.factory->CreateHwndRenderTarget(properties, hwnd, &f.target)))
    return "CreateHwndRenderTarget";
  if (FAILED(f.target->CreateSolidColorBrush(D2D1::ColorF(1, 1, 1), &f.brush)))
    return "CreateSolidColorBrush";
  if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                 reinterpret_cast<IUnknown**>(&f.writeFactory))))
    return "DWriteCreateFactory";
  if (!HasTahoma(f.writeFactory)) return "finding Tahoma";
  if (FAILED(f.writeFactory->CreateTextFormat(L"Tahoma", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                              DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                              FLOAT(TextPixelHeight()), L"ru-RU", &f.format)))
    return "CreateTextFormat";
  // A phrase near the right edge stays on one line, as GDI draws it.
  f.format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
  WidePhrase(f.phrase);
  if (cachedLayout && FAILED(f.writeFactory->CreateTextLayout(f.phrase, kPhraseLength2d, f.format,
                                                              FLOAT(kScreenWidth2d),
                                                              FLOAT(kScreenHeight2d), &f.layout)))
    return "CreateTextLayout";
  return nullptr;
}

void CloseTarget(D2dFrame& f) {
  Release(f.layout);
  Release(f.format);
  Release(f.writeFactory);
  Release(f.brush);
  Release(f.target);
  Release(f.factory);
}

bool DrawFrame(void* context, int32_t rate) {
  D2dFrame& f = *static_cast<D2dFrame*>(context);
  f.target->BeginDraw();
  f.target->Clear(D2D1::ColorF(0, 0, 0));
  for (int32_t i = 0; i < f.phrases; ++i) {
    PhrasePlacement p = NextPlacement();
    f.brush->SetColor(D2D1::ColorF(p.red / 255.0f, p.green / 255.0f, p.blue / 255.0f));
    if (f.layout) {
      f.target->DrawTextLayout(D2D1::Point2F(FLOAT(p.x), FLOAT(p.y)), f.layout, f.brush);
    } else {
      D2D1_RECT_F box = Frame();
      box.left = FLOAT(p.x);
      box.top = FLOAT(p.y);
      f.target->DrawText(f.phrase, kPhraseLength2d, f.format, box, f.brush);
    }
  }
  wchar_t shown[12];
  int length = WideRate(rate, shown);
  f.brush->SetColor(D2D1::ColorF(1, 1, 1));
  f.target->DrawText(shown, UINT32(length), f.format, Frame(), f.brush);
  return SUCCEEDED(f.target->EndDraw());
}

}  // namespace

int main(int argc, char** argv) {
  ReferenceArgs args;
  if (!ParseReferenceArgs(argc, argv, kWords, 1, args))
    return Usage("d2d_reference [seconds] [phrases] [layout]");
  HWND window = OpenReferenceWindow("d2d reference");
  D2dFrame f;
  f.phrases = args.phrases;
  const char* failed =
      window ? OpenTarget(f, window, (args.words & kCachedLayout) != 0) : "OpenReferenceWindow";
  int code = 0;
  if (failed) {
    std::fprintf(stderr, "d2d_reference: %s failed\n", failed);
    code = 1;
  } else {
    StartPlacements();
    RunFrames(args, DrawFrame, &f);
  }
  CloseTarget(f);
  return code;
}
