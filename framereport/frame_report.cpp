#include "frame_report.h"

#include <cstdio>

const char kFrameReportVariable[] = "GLYPHSTORM_FRAME_REPORT";

uint32_t ParseReportPeriod(const char* text) {
  if (!text || !*text) return kDefaultReportPeriod;
  uint32_t value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return kDefaultReportPeriod;
    value = value * 10u + uint32_t(*c - '0');
    if (value > kMaxReportPeriod) return kDefaultReportPeriod;
  }
  return value == 0 ? kDefaultReportPeriod : value;
}

void StartFrameReport(FrameReport& report, uint32_t now, uint32_t period) {
  if (period == 0 || period > kMaxReportPeriod) period = kDefaultReportPeriod;
  report = FrameReport{period, now, 0, 0};
}

bool TickFrameReport(FrameReport& report, uint32_t now, bool presented) {
  bool closed = now - report.mark >= report.period;
  if (closed) {
    report.lastPeriod = report.frames;
    report.frames = 0;
    report.mark += report.period;
    if (now - report.mark >= report.period) report.mark = now;
  }
  if (presented) ++report.frames;
  return closed;
}

int FormatFramesLine(char* buffer, size_t size, int32_t frames) {
  int length = std::snprintf(buffer, size, "frames=%ld\n", long(frames));
  return length < 0 ? 0 : length;
}
