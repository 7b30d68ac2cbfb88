// Numbered font slots of the screen layer.
#pragma once

#include <windows.h>

#include <cstdint>

#include "table.h"

extern NumberedTable* fontTable;

// Style bits of LoadFontSlot.
enum : uint32_t {
  kFontUnderline = 0x4,
  kFontStrikeOut = 0x8,
  kFontProof = 0x10,
  kFontBold = 0x100,
  kFontItalic = 0x200,
};

void CreateFontTable();
// Makes the font `face` at `size` points in `slot`, deleting what the slot held; the font or null.
HFONT LoadFontSlot(int32_t slot, const char* face, int32_t size, uint32_t style);
// The font in `slot`, or null.
HFONT FontHandle(int32_t slot);
// Deletes every loaded font.
void DeleteAllFonts();
