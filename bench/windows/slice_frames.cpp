#include "slice_frames.h"

FramesSince CountFramesSince(const std::vector<RawReport>& reports, double countFrom) {
  FramesSince count;
  for (const RawReport& r : reports) {
    if (r.seconds < countFrom) continue;
    if (count.reports > 0) count.frames += r.frames;
    ++count.reports;
  }
  return count;
}

bool ParseFramesLine(const std::string& text, int32_t& frames) {
  const std::string prefix = "frames=";
  if (text.compare(0, prefix.size(), prefix) != 0) return false;
  size_t end = text.size();
  while (end > prefix.size() && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
  if (end == prefix.size() || end - prefix.size() > 9) return false;
  int32_t value = 0;
  for (size_t i = prefix.size(); i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  frames = value;
  return true;
}
