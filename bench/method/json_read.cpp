// JSON text to JsonValue: RFC 8259, with a depth limit and no locale dependence.
#include "json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

struct Reader {
  const char* at;
  const char* end;
  std::string error;
};

bool Fail(Reader& r, const char* what) {
  if (r.error.empty()) r.error = what;
  return false;
}

void SkipSpace(Reader& r) {
  while (r.at < r.end && (*r.at == ' ' || *r.at == '\t' || *r.at == '\n' || *r.at == '\r')) ++r.at;
}

bool Literal(Reader& r, const char* word) {
  size_t n = std::strlen(word);
  if (static_cast<size_t>(r.end - r.at) < n || std::memcmp(r.at, word, n) != 0)
    return Fail(r, "unknown literal");
  r.at += n;
  return true;
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool Hex4(Reader& r, uint32_t& code) {
  if (r.end - r.at < 4) return Fail(r, "short \\u escape");
  code = 0;
  for (int i = 0; i < 4; ++i) {
    char c = *r.at++;
    uint32_t digit = (c >= '0' && c <= '9')   ? c - '0'
                     : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                     : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                              : 16;
    if (digit == 16) return Fail(r, "bad \\u escape");
    code = code * 16 + digit;
  }
  return true;
}

// After "\u": one code point, joining a surrogate pair; a lone surrogate becomes U+FFFD.
bool UnicodeEscape(Reader& r, std::string& out) {
  uint32_t code;
  if (!Hex4(r, code)) return false;
  if (code >= 0xD800 && code < 0xDC00 && r.end - r.at >= 6 && r.at[0] == '\\' && r.at[1] == 'u') {
    const char* back = r.at;
    r.at += 2;
    uint32_t low;
    if (!Hex4(r, low)) return false;
    if (low >= 0xDC00 && low < 0xE000) {
      AppendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
      return true;
    }
    r.at = back;
  }
  AppendUtf8(out, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
  return true;
}

bool ParseString(Reader& r, std::string& out) {
  ++r.at;  // the opening quote
  while (r.at < r.end) {
    char c = *r.at++;
    if (c == '"') return true;
    if (static_cast<unsigned char>(c) < 0x20) return Fail(r, "control character in a string");
    if (c != '\\') {
      out += c;
      continue;
    }
    if (r.at == r.end) break;
    char e = *r.at++;
    const char* plain = "\"\\/bfnrt";
    const char* meant = "\"\\/\b\f\n\r\t";
    const char* found = std::strchr(plain, e);
    if (e == 'u') {
      if (!UnicodeEscape(r, out)) return false;
    } else if (found && e != '\0') {
      out += meant[found - plain];
    } else {
      return Fail(r, "bad escape in a string");
    }
  }
  return Fail(r, "unterminated string");
}

// JSON's number grammar checked by hand (from_chars alone would take "01", "1." or "inf").
bool ParseNumber(Reader& r, double& number) {
  const char* begin = r.at;
  const char* p = r.at;
  auto digits = [&]() {
    const char* from = p;
    while (p < r.end && *p >= '0' && *p <= '9') ++p;
    return p - from;
  };
  if (p < r.end && *p == '-') ++p;
  if (p < r.end && *p == '0') {
    ++p;
  } else if (digits() == 0) {
    return Fail(r, "bad number");
  }
  if (p < r.end && *p == '.') {
    ++p;
    if (digits() == 0) return Fail(r, "bad number");
  }
  if (p < r.end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < r.end && (*p == '+' || *p == '-')) ++p;
    if (digits() == 0) return Fail(r, "bad number");
  }
  auto done = std::from_chars(begin, p, number);
  if (done.ec == std::errc::result_out_of_range) {
    // As Python reads it: an overflow is infinite, an underflow zero.
    const char* exponent = std::find_if(begin, p, [](char c) { return c == 'e' || c == 'E'; });
    bool under = exponent != p && exponent + 1 < p && exponent[1] == '-';
    number = (*begin == '-' ? -1.0 : 1.0) * (under ? 0.0 : HUGE_VAL);
  } else if (done.ec != std::errc() || done.ptr != p) {
    return Fail(r, "bad number");
  }
  r.at = p;
  return true;
}

bool ParseValue(Reader& r, JsonValue& value, int32_t depth);

bool ParseItems(Reader& r, JsonValue& value, int32_t depth, bool object) {
  ++r.at;  // [ or {
  char close = object ? '}' : ']';
  SkipSpace(r);
  if (r.at < r.end && *r.at == close) {
    ++r.at;
    return true;
  }
  while (true) {
    SkipSpace(r);
    if (object) {
      if (r.at == r.end || *r.at != '"') return Fail(r, "expected a member name");
      value.names.emplace_back();
      if (!ParseString(r, value.names.back())) return false;
      SkipSpace(r);
      if (r.at == r.end || *r.at != ':') return Fail(r, "expected ':'");
      ++r.at;
    }
    value.items.emplace_back();
    if (!ParseValue(r, value.items.back(), depth + 1)) return false;
    SkipSpace(r);
    if (r.at < r.end && *r.at == ',') {
      ++r.at;
      continue;
    }
    if (r.at < r.end && *r.at == close) {
      ++r.at;
      return true;
    }
    return Fail(r, object ? "expected ',' or '}'" : "expected ',' or ']'");
  }
}

bool ParseValue(Reader& r, JsonValue& value, int32_t depth) {
  if (depth >= kMaxJsonDepth) return Fail(r, "nested too deeply");
  SkipSpace(r);
  if (r.at == r.end) return Fail(r, "unexpected end");
  switch (*r.at) {
    case '{': value.kind = JsonKind::kObject; return ParseItems(r, value, depth, true);
    case '[': value.kind = JsonKind::kArray; return ParseItems(r, value, depth, false);
    case '"': value.kind = JsonKind::kString; return ParseString(r, value.text);
    case 't':
      value.kind = JsonKind::kBool;
      value.boolean = true;
      return Literal(r, "true");
    case 'f': value.kind = JsonKind::kBool; return Literal(r, "false");
    case 'n': value.kind = JsonKind::kNull; return Literal(r, "null");
    default: value.kind = JsonKind::kNumber; return ParseNumber(r, value.number);
  }
}

}  // namespace

bool ParseJson(const std::string& text, JsonValue& value, std::string& error) {
  Reader r{text.data(), text.data() + text.size(), {}};
  value = JsonValue();
  bool ok = ParseValue(r, value, 0);
  if (ok) {
    SkipSpace(r);
    if (r.at != r.end) ok = Fail(r, "text after the value");
  }
  if (!ok) {
    error = r.error + " at byte " + std::to_string(r.at - text.data());
    value = JsonValue();
  }
  return ok;
}

const JsonValue* JsonMember(const JsonValue& object, const std::string& name) {
  if (object.kind != JsonKind::kObject) return nullptr;
  for (size_t i = object.names.size(); i-- > 0;) {
    if (object.names[i] == name) return &object.items[i];
  }
  return nullptr;
}
