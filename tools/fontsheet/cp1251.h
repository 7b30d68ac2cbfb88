// Windows-1251 byte to Unicode code point, the order of the glyph sheet's cells.
#pragma once

#include <cstdint>

// Code point of a Windows-1251 byte; 0 for a byte the code page leaves undefined (0x98) and
// for byte 0.
uint32_t Cp1251ToUnicode(uint8_t byte);
