// Presented frames counted on a fixed grid of the tick count and written as "frames=N\n" lines,
// the report every benchmark program gives the benchmark harnesses. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

// The environment variable that turns the report on in the products; its value is the period.
extern const char kFrameReportVariable[];
const uint32_t kDefaultReportPeriod = 1000;  // milliseconds
const uint32_t kMaxReportPeriod = 3600000;

// The period a variable's value names: decimal milliseconds, 1 to kMaxReportPeriod. Anything
// else (empty, a sign, a fraction, 0, too large) gives kDefaultReportPeriod.
uint32_t ParseReportPeriod(const char* text);

// A frame presented at tick t counts in the period that holds t. A program held up for longer
// than a period gets one report for the whole gap and a new grid from then on.
struct FrameReport {
  uint32_t period;
  uint32_t mark;
  int32_t frames;
  int32_t lastPeriod;  // frames of the last closed period; 0 before the first
};

void StartFrameReport(FrameReport& report, uint32_t now, uint32_t period = kDefaultReportPeriod);
// Closes the running period if `now` lies past it (true then, its count in lastPeriod), then
// counts the frame when it was presented.
bool TickFrameReport(FrameReport& report, uint32_t now, bool presented);
// The report line of one period, "frames=N\n"; its length without the terminator.
int FormatFramesLine(char* buffer, size_t size, int32_t frames);
