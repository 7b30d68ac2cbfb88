// GDI drawing state and text output on a DrawTarget's device context.
#include "drawing.h"

#include <cstring>

DrawingState drawingState;

namespace {

const HFONT kSystemFont = reinterpret_cast<HFONT>(static_cast<intptr_t>(-1));

void SelectKeptObjects(DrawingState& s) {
  if (s.brush) SelectObject(s.dc, s.brush);
  if (s.pen) SelectObject(s.dc, s.pen);
  if (s.font) SelectDrawFont(s.font);
}

// A target in direct memory access gets its device context back with the drawing's settings.
void LeaveDirectAccess() {
  DrawingState& s = drawingState;
  bool direct = s.target.kind == TargetBackBuffer && s.access == AccessDirectMemory;
  if (!direct || !s.target.reacquireHook) return;
  s.access = AccessDeviceContext;
  s.dc = s.target.reacquireHook();
  if (!s.dc) return;
  SetTextColor(s.dc, s.frontColor);
  SetTextAlign(s.dc, TA_UPDATECP);
  SetBkColor(s.dc, s.backColor);
  if (s.mode != 0) SetDrawMode(s.mode);
  SelectKeptObjects(s);
}

void GiveBackDC(DrawingState& s) {
  switch (s.target.kind) {
    case TargetWindow: ReleaseDC(s.target.window, s.dc); break;
    case TargetForeignA:
    case TargetForeignB:
    case TargetBackBuffer:
      if (s.target.releaseHook) s.target.releaseHook();
      break;
    default: DeleteDC(s.dc); break;
  }
}

}  // namespace

void StartDrawingState() {
  drawingState = DrawingState{};
  drawingState.defaultBrush = CreateSolidBrush(0);
  drawingState.defaultPen = CreatePen(PS_SOLID, 0, 0);
}

HDC BeginDrawing(const DrawTarget* target) {
  EndDrawing();
  if (!target) return nullptr;
  DrawingState& s = drawingState;
  if (target->kind == TargetBackBuffer) {
    s.target = *target;
  } else {
    s.target.kind = target->kind;
    s.target.window = target->window;
    s.target.releaseHook = target->releaseHook;
  }
  s.mode = 0;
  s.dc = s.target.kind == TargetWindow ? GetDC(target->window) : target->dc;
  s.access = AccessDeviceContext;
  if (s.dc) {
    SetTextAlign(s.dc, TA_UPDATECP);
    s.savedBrush = SelectObject(s.dc, s.defaultBrush);
    s.savedPen = SelectObject(s.dc, s.defaultPen);
    s.font = nullptr;
    s.frontColor = 0;
    s.backColor = 0xFFFFFF;
    s.brush = CreateSolidBrush(0);
    SetTextColor(s.dc, 0);
  }
  return s.dc;
}

void SetDrawMode(uint32_t mode) {
  LeaveDirectAccess();
  DrawingState& s = drawingState;
  if (!s.dc) return;
  s.mode = mode;
  SetROP2(s.dc, (mode & DrawInvert) ? R2_NOT : R2_COPYPEN);
  SelectObject(s.dc, (mode & DrawNoFill) ? GetStockObject(NULL_BRUSH) : s.brush);
  SetBkMode(s.dc, (mode & DrawTransparent) ? TRANSPARENT : OPAQUE);
}

void SelectDrawFont(HFONT font) {
  LeaveDirectAccess();
  DrawingState& s = drawingState;
  if (!s.dc) return;
  s.font = font;
  HGDIOBJ object = font == kSystemFont ? GetStockObject(SYSTEM_FONT) : font;
  if (object) SelectObject(s.dc, object);
}

int32_t DrawTextAt(int32_t x, int32_t y, const char* text, COLORREF front, COLORREF back) {
  LeaveDirectAccess();
  DrawingState& s = drawingState;
  if (!s.dc) return 0;
  if (front != s.frontColor) SetTextColor(s.dc, front);
  COLORREF old = SetBkColor(s.dc, back);
  MoveToEx(s.dc, x, y, nullptr);
  if (text && *text) TextOutA(s.dc, 0, 0, text, static_cast<int>(std::strlen(text)));
  SetBkColor(s.dc, old);
  if (front != s.frontColor) SetTextColor(s.dc, s.frontColor);
  POINT after{};
  MoveToEx(s.dc, 0, 0, &after);
  return after.x;
}

void EndDrawing() {
  DrawingState& s = drawingState;
  if (!s.dc) return;
  SelectObject(s.dc, s.savedBrush);
  SelectObject(s.dc, s.savedPen);
  if (s.brush) DeleteObject(s.brush);
  if (s.pen) DeleteObject(s.pen);
  s.brush = nullptr;
  s.pen = nullptr;
  GiveBackDC(s);
  s.dc = nullptr;
}
