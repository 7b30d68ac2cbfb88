// The Win32 side of the frame report: the environment variable and OutputDebugStringA.
#include "frame_reporter.h"

#include <windows.h>

FrameReporter StartFrameReporter(uint32_t now, uint32_t unsetPeriod) {
  char value[32];
  SetLastError(ERROR_SUCCESS);
  DWORD length = GetEnvironmentVariableA(kFrameReportVariable, value, sizeof value);
  FrameReporter reporter{};
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
    reporter.on = unsetPeriod != 0;
    StartFrameReport(reporter.report, now, unsetPeriod);
    return reporter;
  }
  // A value too long for the buffer is no period: the default.
  if (length >= sizeof value) value[0] = '\0';
  reporter.on = true;
  StartFrameReport(reporter.report, now, ParseReportPeriod(value));
  return reporter;
}

void CountReportedFrame(FrameReporter& reporter, uint32_t now, bool presented) {
  if (!reporter.on || !TickFrameReport(reporter.report, now, presented)) return;
  char line[32];
  FormatFramesLine(line, sizeof line, reporter.report.lastPeriod);
  OutputDebugStringA(line);
}
