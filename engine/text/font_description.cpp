#include "engine/text/font_description.h"

#include <climits>
#include <cstdio>

int ReadDecimal(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 1LL + INT_MAX) value = 1LL + INT_MAX;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  return int(value);
}

FontLine ParseFontLine(const std::string& line) {
  FontLine result{FontLineKind::Empty, 0, 0, {}};
  if (line.empty()) return result;
  // Only the space byte separates; a tab belongs to the token it stands in.
  size_t firstSpace = line.find(' ');
  std::string key = line.substr(0, firstSpace);
  if (firstSpace != std::string::npos) {
    size_t valueStart;
    if (firstSpace + 1 < line.size() && line[firstSpace + 1] == ' ') {
      valueStart = firstSpace + 2;  // key, two spaces, value
    } else {
      size_t separatorEnd = line.find(' ', firstSpace + 1);  // key, space, separator, space, value
      // A separator that no space ends leaves the value empty.
      valueStart = separatorEnd == std::string::npos ? line.size() : separatorEnd + 1;
    }
    result.value = line.substr(valueStart);
  }
  if (key.size() <= 3) {
    int code = ReadDecimal(key);
    // Codes past the 256-entry table are ignored rather than written anywhere.
    if (code < 0 || code > 255) {
      result.kind = FontLineKind::Ignored;
      return result;
    }
    result.kind = FontLineKind::Width;
    result.code = code;
    result.width = ReadDecimal(result.value);
    result.value.clear();
  } else if (key == "internalname") {
    result.kind = FontLineKind::InternalName;
  } else if (key == "texture") {
    result.kind = FontLineKind::Texture;
  } else {
    result.kind = FontLineKind::Ignored;
  }
  return result;
}

bool NextFontLine(std::istream& in, std::string& line, bool& tooLong) {
  std::streambuf* source = in.rdbuf();
  line.clear();
  tooLong = false;
  bool any = false;
  for (int c = source ? source->sbumpc() : EOF; c != EOF; c = source->sbumpc()) {
    any = true;
    if (c == '\n') break;
    if (line.size() <= kMaxFontLineBytes) line.push_back(char(c));
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxFontLineBytes) {
    tooLong = true;
    line.clear();
  }
  // The runtime's line reading ends a text at a zero byte; so does this one.
  size_t zero = line.find('\0');
  if (zero != std::string::npos) line.resize(zero);
  return true;
}
