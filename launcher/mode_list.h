// The resolution list of the launcher dialog; portable, no Windows headers.
#pragma once
#include <cstddef>
#include <vector>

struct DisplayMode {
  int width;
  int height;
};

// Inserts the mode keeping the list sorted (width, then height) and free of duplicates; ignores
// sizes that are not positive.
void AddMode(std::vector<DisplayMode>& modes, DisplayMode mode);

// The preselected entry: 800 x 600 when listed, else the mode closest to it (first on a tie);
// 0 for an empty list.
std::size_t DefaultModeIndex(const std::vector<DisplayMode>& modes);
