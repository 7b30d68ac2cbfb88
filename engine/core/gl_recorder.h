// Test seam: switches glTable and glExt to functions that log every call with its arguments,
// optionally forwarding each call to the real driver.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

// Start logging calls; with forward, each call also reaches the driver it replaced.
void StartGlRecording(bool forward);
// Put the replaced functions back. Extension entry points fetched meanwhile are kept.
void StopGlRecording();
const std::vector<std::string>& RecordedGlCalls();
void ClearRecordedGlCalls();

// Append one argument the way the recorder writes it: integers in decimal, floats exactly,
// text quoted, other pointers in hex (null as 0).
template <typename T>
void AppendGlArgument(std::string& out, T value) {
  char text[64];
  if constexpr (std::is_same_v<T, const char*> || std::is_same_v<T, char*>) {
    out += value ? "\"" + std::string(value) + "\"" : std::string("0");
    return;
  } else if constexpr (std::is_pointer_v<T>) {
    if (value) std::snprintf(text, sizeof text, "%p", static_cast<const void*>(value));
    else std::snprintf(text, sizeof text, "0");
  } else if constexpr (std::is_same_v<T, float>) {
    std::snprintf(text, sizeof text, "%.9g", value);
  } else if constexpr (std::is_floating_point_v<T>) {
    std::snprintf(text, sizeof text, "%.17g", static_cast<double>(value));
  } else if constexpr (std::is_signed_v<T>) {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
  } else {
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(value));
  }
  out += text;
}

// The text the recorder logs for a call: name(arg,arg,...).
template <typename... A>
std::string GlCallText(const char* name, A... args) {
  std::string out = std::string(name) + "(";
  bool first = true;
  ((out += first ? "" : ",", first = false, AppendGlArgument(out, args)), ...);
  return out + ")";
}
