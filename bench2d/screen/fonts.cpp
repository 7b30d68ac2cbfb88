// Font slots: GDI fonts kept in a numbered table, sized in points for the display's resolution.
#include "fonts.h"

#include "layer.h"

NumberedTable* fontTable;

namespace {

void DeleteFontSlot(NumberedTable* table, int32_t number) {
  auto* slot = static_cast<HFONT*>(TableSlot(table, number));
  if (!slot) return;
  if (*slot) DeleteObject(*slot);
  *slot = nullptr;
}

}  // namespace

void CreateFontTable() {
  fontTable = CreateTable(MainHeapAllocator(), sizeof(HFONT), 16, DeleteFontSlot);
}

HFONT LoadFontSlot(int32_t slot, const char* face, int32_t size, uint32_t style) {
  int weight = (style & kFontBold) ? FW_BOLD : FW_NORMAL;
  DWORD italic = (style & kFontItalic) ? TRUE : FALSE;
  DWORD underline = (style & kFontUnderline) ? TRUE : FALSE;
  DWORD strikeOut = (style & kFontStrikeOut) ? TRUE : FALSE;
  DWORD quality = (style & kFontProof) ? PROOF_QUALITY : DEFAULT_QUALITY;
  auto* entry = static_cast<HFONT*>(TakeTableSlot(fontTable, slot));
  if (!entry) return nullptr;  // negative slot or no memory: no font that nobody could delete
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (!display) return nullptr;
  int height = -MulDiv(size, GetDeviceCaps(display, LOGPIXELSY), 72);
  HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality, 0, face);
  if (font) *entry = font;
  DeleteDC(display);
  return font;
}

HFONT FontHandle(int32_t slot) {
  auto* entry = static_cast<HFONT*>(LookupTableSlot(fontTable, slot));
  return entry ? *entry : nullptr;
}

void DeleteAllFonts() { FreeTableSlots(fontTable); }
