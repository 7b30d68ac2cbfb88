// The dialog's resolution list: sorted, unique sizes and the preselected entry.
#include "mode_list.h"

#include <gtest/gtest.h>

namespace {

std::vector<DisplayMode> Modes(std::initializer_list<DisplayMode> sizes) {
  std::vector<DisplayMode> modes;
  for (DisplayMode m : sizes) AddMode(modes, m);
  return modes;
}

TEST(ModeList, KeepsUniqueSizesInOrder) {
  // Display modes repeat each size for every depth and refresh rate.
  const auto modes = Modes({{1024, 768},
                            {640, 480},
                            {1024, 768},
                            {800, 600},
                            {640, 400},
                            {640, 480},
                            {0, 480},
                            {640, -1}});
  ASSERT_EQ(modes.size(), 4u);
  EXPECT_EQ(modes[0].width, 640);
  EXPECT_EQ(modes[0].height, 400);
  EXPECT_EQ(modes[1].height, 480);
  EXPECT_EQ(modes[2].width, 800);
  EXPECT_EQ(modes[3].width, 1024);
}

TEST(ModeList, PrefersEightHundredBySixHundred) {
  EXPECT_EQ(DefaultModeIndex(Modes({{640, 480}, {800, 600}, {1024, 768}})), 1u);
  EXPECT_EQ(DefaultModeIndex(Modes({{1024, 768}})), 0u);
  // Otherwise the nearest size; 640x480 and 960x720 are equally near, the first wins.
  EXPECT_EQ(DefaultModeIndex(Modes({{320, 200}, {640, 480}, {960, 720}, {1920, 1080}})), 1u);
  EXPECT_EQ(DefaultModeIndex(Modes({{320, 240}, {1024, 768}, {1280, 1024}})), 1u);
  EXPECT_EQ(DefaultModeIndex({}), 0u);
}

}  // namespace
