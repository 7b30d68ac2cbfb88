#include <gtest/gtest.h>

#include "engine/core/engine_state.h"
#include "log_capture.h"

TEST(EngineLog, DeliversCompletedLinesOnlyAndIgnoresWritesAfterClose) {
  LogCapture capture;
  EngineLogStream log;
  log << "width=" << 1024 << std::endl;
  log << "Max Anistropic Level:" << 16.0f << std::endl;
  log << "half a line";
  EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"width=1024", "Max Anistropic Level:16"}));

  log << " and its end" << std::endl << "" << std::endl << " " << std::endl;
  log << "unfinished";
  log.close();
  log << "after close" << std::endl;
  EXPECT_EQ(capture.Lines(),
            (std::vector<std::string>{"width=1024", "Max Anistropic Level:16",
                                      "half a line and its end", "", " ", "unfinished"}));
  EXPECT_FALSE(log.is_open());
  EXPECT_FALSE(log.good());
}

TEST(EngineLog, KeepsWindows1251BytesAndSignedValues) {
  LogCapture capture;
  EngineLogStream log;
  log << "Версия библиотеки:" << 515u << std::endl;
  log << "fullscreen=" << -1 << std::endl;
  ASSERT_EQ(capture.Lines().size(), 2u);
  // "Версия" in code page 1251.
  EXPECT_EQ(capture.Lines()[0].substr(0, 6), std::string("\xC2\xE5\xF0\xF1\xE8\xFF"));
  EXPECT_EQ(capture.Lines()[0].substr(capture.Lines()[0].size() - 4), ":515");
  EXPECT_EQ(capture.Lines()[1], "fullscreen=-1");
}
