// A small JSON reader and writer for paths.json, the statistics fixture and results.json.
// Portable. Bad input gives false and a reason, never a crash; nesting is limited.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class JsonKind { kNull, kBool, kNumber, kString, kArray, kObject };

// An object keeps its members in file order: names[i] belongs to items[i].
struct JsonValue {
  JsonKind kind = JsonKind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // UTF-8
  std::vector<std::string> names;
  std::vector<JsonValue> items;
};

// More levels of nesting than this are refused (a stack overflow is no defined result).
const int32_t kMaxJsonDepth = 64;

bool ParseJson(const std::string& text, JsonValue& value, std::string& error);

// The member of that name (the last one when repeated, as Python reads it), or null.
const JsonValue* JsonMember(const JsonValue& object, const std::string& name);

JsonValue JsonNull();
JsonValue JsonBool(bool value);
// NaN and infinities are written as null: JSON has no spelling for them.
JsonValue JsonNumber(double value);
JsonValue JsonText(const std::string& text);
JsonValue JsonArray();
JsonValue JsonObject();
// Appends to an array or an object (name ignored for arrays); returns the new item.
JsonValue& JsonAdd(JsonValue& container, const std::string& name, JsonValue item);
JsonValue& JsonPush(JsonValue& array, JsonValue item);

// Indented one space per level, as scripts/bench writes results.json; text stays UTF-8 (invalid
// bytes become U+FFFD so the output is always valid JSON).
std::string WriteJson(const JsonValue& value);
// The shortest text that reads back as the same double.
std::string JsonNumberText(double value);
