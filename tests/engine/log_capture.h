// Captures the engine log in-process for the duration of a test.
#pragma once

#include <string>
#include <vector>

#include "engine/core/log.h"

struct LogCapture {
  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  static void Sink(const char* line) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    Lines().push_back(text);
  }
  LogCapture() {
    Lines().clear();
    previous = SetLogSink(Sink);
  }
  ~LogCapture() { SetLogSink(previous); }
  LogSink previous;
};
