// Colour packing and decimal text for the screen layer. Portable.
#pragma once

#include <cstdint>

// red + green*256 + blue*65536, unmasked: components above 255 spill into the next one.
uint32_t MakeColor(int32_t red, int32_t green, int32_t blue);

// Decimal text of value ("-" for negatives, no padding). The text stays valid until the next call.
const char* IntToText(int32_t value);
