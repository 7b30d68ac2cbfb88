// The documents the method reads and writes (paths.json, raw.json, results.json) as ordered JSON,
// so files keep their members in the order written and stay diff-friendly. Portable.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

using Json = nlohmann::ordered_json;

// Parses without throwing: false with the parser's reason (byte offset included).
bool ParseJsonText(const std::string& text, Json& value, std::string& error);
// Indented one space a level, UTF-8 kept as is (invalid bytes become U+FFFD), newline at the end.
std::string JsonText(const Json& value);
// A figure of the method: rounded to 12 significant digits, so every build (glibc's maths or
// the Windows C runtime's) writes the same digits; NaN and infinities become null.
Json Figure(double value);
Json Figure(std::optional<double> value);
// The member's number, or nothing when it is absent, null or not a number.
std::optional<double> NumberAt(const Json& object, const char* name);
// The member's text, or "" when it is absent or not a string.
std::string TextAt(const Json& object, const char* name);
// The member when it is there and not null, else a shared null.
const Json& MemberAt(const Json& object, const char* name);
