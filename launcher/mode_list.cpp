#include "mode_list.h"

#include <algorithm>
#include <cstdlib>

void AddMode(std::vector<DisplayMode>& modes, DisplayMode mode) {
  if (mode.width <= 0 || mode.height <= 0) return;
  auto before = [](const DisplayMode& a, const DisplayMode& b) {
    return a.width != b.width ? a.width < b.width : a.height < b.height;
  };
  auto at = std::lower_bound(modes.begin(), modes.end(), mode, before);
  if (at != modes.end() && at->width == mode.width && at->height == mode.height) return;
  modes.insert(at, mode);
}

std::size_t DefaultModeIndex(const std::vector<DisplayMode>& modes) {
  std::size_t best = 0;
  long bestDistance = -1;
  for (std::size_t i = 0; i < modes.size(); ++i) {
    const long distance = std::labs(modes[i].width - 800L) + std::labs(modes[i].height - 600L);
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}
