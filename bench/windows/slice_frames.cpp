#include "slice_frames.h"

SliceCount CountSlice(const std::vector<StampedReport>& reports, double begin) {
  SliceCount count;
  bool started = false;
  double first = 0;
  for (size_t i = 0; i < reports.size(); ++i) {
    const StampedReport& r = reports[i];
    if (i > 0) count.allFrames += r.frames;
    if (r.seconds < begin) continue;
    if (!started) {
      started = true;
      first = r.seconds;
      count.reports = 1;
      continue;
    }
    count.frames += r.frames;
    count.seconds = r.seconds - first;
    ++count.reports;
  }
  return count;
}

double SliceFps(const SliceCount& count) {
  return count.seconds > 0 ? count.frames / count.seconds : 0;
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
