#include "numbers.h"

uint32_t MakeColor(int32_t red, int32_t green, int32_t blue) {
  return static_cast<uint32_t>(red) + static_cast<uint32_t>(green) * 256u +
         static_cast<uint32_t>(blue) * 65536u;
}

const char* IntToText(int32_t value) {
  static char text[12];
  // Work on the magnitude as unsigned so that -2147483648 needs no special case.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  char* end = text + sizeof(text) - 1;
  char* p = end;
  *p = '\0';
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  return p;
}
