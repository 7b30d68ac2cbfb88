// Reading of font description lines ("Tahoma.txt"). Portable: no Windows or GL headers.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

enum class FontLineKind { Empty, Width, InternalName, Texture, Ignored };

struct FontLine {
  FontLineKind kind;
  int code;           // Width: the byte code (always 0..255)
  int width;          // Width: the advance in pixels
  std::string value;  // InternalName, Texture: the value, spaces kept
};

// Longest line a description file may hold; longer lines are skipped whole.
constexpr size_t kMaxFontLineBytes = 254;

// Split one line (without its line end) into key and value and say what it means.
FontLine ParseFontLine(const std::string& line);

// The runtime's atoi, without its undefined overflow: leading white space, a sign, digits up to
// the first non-digit; 0 without digits; saturated to the int range.
int ReadDecimal(const std::string& text);

// Read the next line of a description file into `line`; false at the end. LF or CR LF ends a
// line, and a last line without an end still counts. A line over the limit sets `tooLong` and
// is not delivered; its bytes are skipped without being kept, however long it is.
bool NextFontLine(std::istream& in, std::string& line, bool& tooLong);
