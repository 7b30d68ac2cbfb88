// JsonValue to text, laid out as Python's json.dump(indent=1, ensure_ascii=False) lays it out.
#include "json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one.
size_t Utf8Length(const std::string& s, size_t i) {
  unsigned char c = s[i];
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  uint32_t code = n == 1 ? c : c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    unsigned char t = s[i + k];
    if ((t & 0xC0) != 0x80) return 0;
    code = code << 6 | (t & 0x3F);
  }
  static const uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[n] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return 0;
  return n;
}

void WriteText(std::string& out, const std::string& s) {
  out += '"';
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else if (size_t n = Utf8Length(s, i)) {
      out.append(s, i, n);
      i += n;
      continue;
    } else {
      out += "\xEF\xBF\xBD";
    }
    ++i;
  }
  out += '"';
}

void Write(std::string& out, const JsonValue& v, int32_t depth) {
  switch (v.kind) {
    case JsonKind::kNull: out += "null"; return;
    case JsonKind::kBool: out += v.boolean ? "true" : "false"; return;
    case JsonKind::kNumber: out += JsonNumberText(v.number); return;
    case JsonKind::kString: WriteText(out, v.text); return;
    case JsonKind::kArray:
    case JsonKind::kObject: break;
  }
  bool object = v.kind == JsonKind::kObject;
  if (v.items.empty()) {
    out += object ? "{}" : "[]";
    return;
  }
  out += object ? '{' : '[';
  std::string indent(depth + 1, ' ');
  for (size_t i = 0; i < v.items.size(); ++i) {
    out += i ? ",\n" : "\n";
    out += indent;
    if (object) {
      WriteText(out, i < v.names.size() ? v.names[i] : std::string());
      out += ": ";
    }
    Write(out, v.items[i], depth + 1);
  }
  out += '\n';
  out.append(depth, ' ');
  out += object ? '}' : ']';
}

}  // namespace

std::string JsonNumberText(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  auto done = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, done.ptr);
}

std::string WriteJson(const JsonValue& value) {
  std::string out;
  Write(out, value, 0);
  return out;
}

JsonValue JsonNull() { return JsonValue(); }

JsonValue JsonBool(bool value) {
  JsonValue v;
  v.kind = JsonKind::kBool;
  v.boolean = value;
  return v;
}

JsonValue JsonNumber(double value) {
  if (!std::isfinite(value)) return JsonNull();
  JsonValue v;
  v.kind = JsonKind::kNumber;
  v.number = value;
  return v;
}

JsonValue JsonText(const std::string& text) {
  JsonValue v;
  v.kind = JsonKind::kString;
  v.text = text;
  return v;
}

JsonValue JsonArray() {
  JsonValue v;
  v.kind = JsonKind::kArray;
  return v;
}

JsonValue JsonObject() {
  JsonValue v;
  v.kind = JsonKind::kObject;
  return v;
}

JsonValue& JsonAdd(JsonValue& container, const std::string& name, JsonValue item) {
  if (container.kind == JsonKind::kObject) container.names.push_back(name);
  container.items.push_back(std::move(item));
  return container.items.back();
}

JsonValue& JsonPush(JsonValue& array, JsonValue item) {
  return JsonAdd(array, std::string(), std::move(item));
}
