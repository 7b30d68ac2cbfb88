#include "settings_file.h"

#include <cctype>
#include <cstring>

// Format: INI lines, section and key names case-insensitive, ';' or '#' starts a comment (whole
// line, or after a value), UTF-8 BOM and CRLF accepted, other sections and keys ignored, the first
// occurrence of a key wins. The file is usable when all four keys are whole numbers with width and
// height in 1..kMaxScreenSide and bpp in 1..kMaxBpp. fullscreen takes any 32-bit value: 1, 2 and
// -1 are the launcher's answers, other values are deliberately passed through so the program's
// handling of them can be exercised.

namespace {

const char* const kKeys[4] = {"width", "height", "bpp", "fullscreen"};

struct Text {
  const char* begin;
  const char* end;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

Text Trim(Text t) {
  while (t.begin < t.end && IsBlank(*t.begin)) ++t.begin;
  while (t.end > t.begin && IsBlank(t.end[-1])) --t.end;
  return t;
}

bool EqualsIgnoringCase(Text t, const char* word) {
  const std::size_t n = std::strlen(word);
  if (static_cast<std::size_t>(t.end - t.begin) != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(t.begin[i])) != word[i]) return false;
  return true;
}

const char* Find(Text t, char c) {
  const void* at = std::memchr(t.begin, c, static_cast<std::size_t>(t.end - t.begin));
  return at ? static_cast<const char*>(at) : t.end;
}

// Optional sign and decimal digits, nothing else, within the 32-bit range.
bool ParseInt32(Text t, int32_t* out) {
  const char* p = t.begin;
  bool negative = false;
  if (p < t.end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p == t.end) return false;
  int64_t value = 0;
  for (; p < t.end; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + (*p - '0');
    if (value > 2147483648LL) return false;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

// A short, printable rendering of file text for messages.
std::string Quote(Text t) {
  std::string s = "\"";
  for (const char* p = t.begin; p < t.end && s.size() < 25; ++p)
    s += (*p >= 0x20 && *p < 0x7F) ? *p : '?';
  if (t.end - t.begin > 24) s += "...";
  return s + "\"";
}

struct ParseState {
  bool inDisplay = false;
  bool sawDisplay = false;
  bool seen[4] = {false, false, false, false};
  int32_t values[4] = {0, 0, 0, 0};
  std::string error;
};

void ParseKeyLine(Text line, ParseState& state) {
  const char* eq = Find(line, '=');
  if (eq == line.end) return;
  const Text key = Trim(Text{line.begin, eq});
  Text value = Text{eq + 1, line.end};
  const char* semicolon = Find(value, ';');
  const char* hash = Find(value, '#');
  value = Trim(Text{value.begin, semicolon < hash ? semicolon : hash});
  for (int i = 0; i < 4; ++i) {
    if (!EqualsIgnoringCase(key, kKeys[i]) || state.seen[i]) continue;
    state.seen[i] = true;
    if (!ParseInt32(value, &state.values[i]) && state.error.empty())
      state.error = std::string(kKeys[i]) + " " + Quote(value) + " is not a whole number";
  }
}

void ParseLine(Text line, ParseState& state) {
  line = Trim(line);
  if (line.begin == line.end || *line.begin == ';' || *line.begin == '#') return;
  if (*line.begin == '[') {
    const char* close = Find(line, ']');
    if (close == line.end) return;
    state.inDisplay = EqualsIgnoringCase(Trim(Text{line.begin + 1, close}), "display");
    state.sawDisplay = state.sawDisplay || state.inDisplay;
    return;
  }
  if (state.inDisplay) ParseKeyLine(line, state);
}

std::string RangeError(const DisplaySettings& s) {
  const int32_t sides[2] = {s.width, s.height};
  for (int i = 0; i < 2; ++i)
    if (sides[i] < 1 || sides[i] > kMaxScreenSide)
      return std::string(kKeys[i]) + " " + std::to_string(sides[i]) + " is outside 1.." +
             std::to_string(kMaxScreenSide);
  if (s.bpp < 1 || s.bpp > kMaxBpp)
    return "bpp " + std::to_string(s.bpp) + " is outside 1.." + std::to_string(kMaxBpp);
  return "";
}

std::string MissingKeys(const ParseState& state) {
  std::string missing;
  for (int i = 0; i < 4; ++i)
    if (!state.seen[i]) missing += (missing.empty() ? "" : ", ") + std::string(kKeys[i]);
  return missing;
}

}  // namespace

SettingsFileResult ParseSettingsFile(const char* data, std::size_t size) {
  SettingsFileResult result = {false, {0, 0, 0, 0}, ""};
  if (!data) size = 0;
  if (size > kMaxSettingsFileSize) {
    result.reason = "vtAPI.ini is larger than " + std::to_string(kMaxSettingsFileSize) + " bytes";
    return result;
  }
  Text rest = {data, data + size};
  if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) rest.begin += 3;
  ParseState state;
  while (rest.begin < rest.end) {
    const char* newline = Find(rest, '\n');
    ParseLine(Text{rest.begin, newline}, state);
    rest.begin = newline == rest.end ? rest.end : newline + 1;
  }
  if (!state.error.empty()) {
    result.reason = "vtAPI.ini: " + state.error;
    return result;
  }
  if (!state.sawDisplay) {
    result.reason = "vtAPI.ini has no [display] section";
    return result;
  }
  const std::string missing = MissingKeys(state);
  if (!missing.empty()) {
    result.reason = "vtAPI.ini: [display] lacks " + missing;
    return result;
  }
  const DisplaySettings s = {state.values[0], state.values[1], state.values[2], state.values[3]};
  result.reason = RangeError(s);
  if (!result.reason.empty()) {
    result.reason = "vtAPI.ini: " + result.reason;
    return result;
  }
  result.valid = true;
  result.settings = s;
  return result;
}
