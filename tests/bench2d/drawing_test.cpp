// Text drawing on a real memory device context, font slots, and the message box.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "screen/drawing.h"
#include "screen/fonts.h"
#include "screen/layer.h"
#include "screen/message.h"

namespace {

void StartLayerOnce() {
  static bool started;
  if (started) return;
  started = true;
  StartScreenLayer(GetModuleHandleA(nullptr), HeapCreate(0, 4096, 0));
}

int releases;
void CountRelease() { ++releases; }

// A 32-bit memory bitmap that the drawing part sees as a back buffer.
struct MemoryTarget {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  uint32_t* pixels = nullptr;
  DrawTarget target{};
  static const int kWidth = 200, kHeight = 40;

  MemoryTarget() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap =
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
    SelectObject(dc, bitmap);
    target.kind = TargetBackBuffer;
    target.dc = dc;
    target.releaseHook = CountRelease;
  }
  ~MemoryTarget() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  std::vector<uint32_t> Snapshot() const {
    GdiFlush();
    return std::vector<uint32_t>(pixels, pixels + kWidth * kHeight);
  }
  // Pixels of exactly this colour (given as 0x00BBGGRR) in the columns [from, to).
  int Count(COLORREF color, int from = 0, int to = kWidth) const {
    GdiFlush();
    uint32_t want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = from; x < to; ++x) n += (pixels[y * kWidth + x] & 0xFFFFFF) == want;
    return n;
  }
};

TEST(Drawing, DrawTextAtReturnsTheXAfterTheTextAndRestoresColours) {
  StartLayerOnce();
  MemoryTarget memory;
  ASSERT_NE(nullptr, memory.pixels);
  HGDIOBJ brushBefore = SelectObject(memory.dc, GetStockObject(WHITE_BRUSH));
  (void)brushBefore;
  ASSERT_NE(nullptr, LoadFontSlot(1, "Tahoma", 8, 0));

  releases = 0;
  ASSERT_EQ(memory.dc, BeginDrawing(&memory.target));
  SetDrawMode(1);
  SelectDrawFont(FontHandle(1));
  COLORREF bkBefore = GetBkColor(memory.dc);
  const COLORREF red = RGB(255, 0, 0), back = 0xFFFF05;

  SIZE extent{};
  GetTextExtentPoint32A(memory.dc, "Wg%^#", 5, &extent);
  EXPECT_EQ(10 + extent.cx, DrawTextAt(10, 5, "Wg%^#", red, back));
  EXPECT_GT(memory.Count(red, 10, 10 + extent.cx), 10);
  EXPECT_EQ(0, memory.Count(red, 0, 10));  // the text starts at x
  EXPECT_EQ(0, memory.Count(back));        // transparent: the back colour is never painted
  EXPECT_EQ(0u, GetTextColor(memory.dc));  // the drawing's own colour is back
  EXPECT_EQ(bkBefore, GetBkColor(memory.dc));
  POINT position{1, 1};
  GetCurrentPositionEx(memory.dc, &position);
  EXPECT_EQ(0, position.x);
  EXPECT_EQ(0, position.y);

  // A second text starts where it is told, not where the first one ended.
  int second = DrawTextAt(0, 20, "W", red, back);
  GetTextExtentPoint32A(memory.dc, "W", 1, &extent);
  EXPECT_EQ(extent.cx, second);

  std::vector<uint32_t> before = memory.Snapshot();
  EXPECT_EQ(33, DrawTextAt(33, 7, "", red, back));
  EXPECT_EQ(44, DrawTextAt(44, 7, nullptr, red, back));
  EXPECT_EQ(before, memory.Snapshot());
  EXPECT_EQ(0u, GetTextColor(memory.dc));
  EXPECT_EQ(bkBefore, GetBkColor(memory.dc));

  HBRUSH drawingBrush = drawingState.brush;
  EndDrawing();
  EXPECT_EQ(1, releases);
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetCurrentObject(memory.dc, OBJ_BRUSH));
  EXPECT_EQ(0u, GetObjectType(drawingBrush));      // deleted
  EXPECT_EQ(0, DrawTextAt(5, 5, "x", red, back));  // no drawing open
  EndDrawing();
  EXPECT_EQ(1, releases);
}

TEST(Drawing, ModesAndFontSelection) {
  StartLayerOnce();
  MemoryTarget memory;
  EXPECT_EQ(nullptr, BeginDrawing(nullptr));
  DrawTarget empty{};
  empty.kind = TargetBackBuffer;
  EXPECT_EQ(nullptr, BeginDrawing(&empty));

  ASSERT_EQ(memory.dc, BeginDrawing(&memory.target));
  EXPECT_EQ(static_cast<UINT>(TA_UPDATECP), GetTextAlign(memory.dc) & TA_UPDATECP);
  SetDrawMode(1);
  EXPECT_EQ(TRANSPARENT, GetBkMode(memory.dc));
  EXPECT_EQ(R2_COPYPEN, GetROP2(memory.dc));
  SetDrawMode(2 | 4);
  EXPECT_EQ(OPAQUE, GetBkMode(memory.dc));
  EXPECT_EQ(R2_NOT, GetROP2(memory.dc));
  EXPECT_EQ(GetStockObject(NULL_BRUSH), GetCurrentObject(memory.dc, OBJ_BRUSH));
  SetDrawMode(0);
  EXPECT_EQ(drawingState.brush, GetCurrentObject(memory.dc, OBJ_BRUSH));

  SelectDrawFont(reinterpret_cast<HFONT>(static_cast<intptr_t>(-1)));
  EXPECT_EQ(GetStockObject(SYSTEM_FONT), GetCurrentObject(memory.dc, OBJ_FONT));
  SelectDrawFont(nullptr);  // keeps what is selected
  EXPECT_EQ(GetStockObject(SYSTEM_FONT), GetCurrentObject(memory.dc, OBJ_FONT));
  EndDrawing();
}

TEST(Fonts, SlotsAreSizedInPointsAndRefillDeletesTheOldFont) {
  StartLayerOnce();
  HFONT first = LoadFontSlot(1, "Tahoma", 8, 0);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, FontHandle(1));
  LOGFONTA font{};
  ASSERT_NE(0, GetObjectA(first, sizeof(font), &font));
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  EXPECT_EQ(-MulDiv(8, GetDeviceCaps(display, LOGPIXELSY), 72), font.lfHeight);
  DeleteDC(display);
  EXPECT_EQ(FW_NORMAL, font.lfWeight);
  EXPECT_STREQ("Tahoma", font.lfFaceName);

  HFONT second = LoadFontSlot(1, "Tahoma", 12, kFontBold | kFontItalic | kFontUnderline);
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(0u, GetObjectType(first));  // the slot's old font is gone
  EXPECT_EQ(second, FontHandle(1));
  ASSERT_NE(0, GetObjectA(second, sizeof(font), &font));
  EXPECT_EQ(FW_BOLD, font.lfWeight);
  EXPECT_TRUE(font.lfItalic);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_FALSE(font.lfStrikeOut);

  EXPECT_EQ(nullptr, FontHandle(2));
  EXPECT_EQ(nullptr, FontHandle(-1));
  EXPECT_EQ(nullptr, FontHandle(100000));
  EXPECT_EQ(nullptr, LoadFontSlot(-1, "Tahoma", 8, 0));

  HFONT distant = LoadFontSlot(40, "Tahoma", 8, 0);  // beyond the first 16 slots
  EXPECT_EQ(distant, FontHandle(40));
  DeleteAllFonts();
  EXPECT_EQ(0u, GetObjectType(second));
  EXPECT_EQ(0u, GetObjectType(distant));
  EXPECT_EQ(nullptr, FontHandle(1));
}

struct BoxCall {
  int calls;
  HWND owner;
  std::string text, caption;
  UINT flags;
  HWND windows[3];
  bool enabledDuring[3];
  HWND foreground;
} box;

int WINAPI FakeBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
  ++box.calls;
  box.owner = owner;
  box.text = text;
  box.caption = caption;
  box.flags = flags;
  box.foreground = GetForegroundWindow();
  for (int i = 0; i < 3; ++i) box.enabledDuring[i] = IsWindowEnabled(box.windows[i]) != 0;
  return IDOK;
}

TEST(Message, DisablesTheThreadsOtherVisibleWindowsWhileUp) {
  StartLayerOnce();
  box = BoxCall{};
  for (int i = 0; i < 3; ++i) {
    DWORD visible = i < 2 ? WS_VISIBLE : 0;
    box.windows[i] = CreateWindowExA(0, "STATIC", "box test", WS_OVERLAPPEDWINDOW | visible, 10 * i,
                                     10, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, box.windows[i]);
  }
  SetForegroundWindow(box.windows[0]);
  SetMessageBoxRoutine(FakeBox);
  EXPECT_EQ(IDOK, ShowMessage("Error", "DirectX 7+ is needed.", 0));
  SetMessageBoxRoutine(nullptr);

  EXPECT_EQ(1, box.calls);
  EXPECT_EQ("Error", box.caption);
  EXPECT_EQ("DirectX 7+ is needed.", box.text);
  EXPECT_EQ(0u, box.flags);
  // Visible windows other than the foreground one were disabled; the hidden one was left alone.
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(box.windows[i] == box.foreground, box.enabledDuring[i]) << i;
  EXPECT_TRUE(box.enabledDuring[2]);
  bool foregroundIsOurs = box.foreground == box.windows[0] || box.foreground == box.windows[1];
  EXPECT_EQ(foregroundIsOurs ? box.foreground : nullptr, box.owner);
  for (HWND window : box.windows) {
    EXPECT_TRUE(IsWindowEnabled(window));
    DestroyWindow(window);
  }
}

}  // namespace
