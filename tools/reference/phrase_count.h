// The phrase count the reference programs take on their command line (portable, no Windows API).
#pragma once

#include <cerrno>
#include <cstdlib>

namespace reference {

const int kMaxPhrases = 10000;

// A whole decimal number from 1 to kMaxPhrases, nothing after it; false for anything else.
inline bool ParsePhraseCount(const char* text, int& phrases) {
  if (!text || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < 1 || value > kMaxPhrases) return false;
  phrases = int(value);
  return true;
}

}  // namespace reference
