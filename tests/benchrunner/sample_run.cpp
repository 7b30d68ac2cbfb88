// The sample run for the core's tests and for benchrunner_sample.
#include "sample_run.h"

#include <fstream>
#include <sstream>

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(std::string(GLYPHSTORM_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

PathTable SampleTable() {
  PathTable table;
  std::string error;
  LoadPathTable(ReadSourceFile("bench/paths.json"), table, error);
  return table;
}

RunRecord SampleRun(const PathTable& table) {
  RunRecord run;
  run.date = "20261209-210000";
  run.command = "glyphstorm-bench.exe --rounds 8";
  run.version = "1.0.0";
  run.arch = "i686";
  run.rounds = 8;
  run.processes = 2;
  run.sliceSeconds = 1.0;
  run.warmupSeconds = 0.1;
  run.desktop = {60,
                 "Mesa",
                 "llvmpipe (LLVM 15.0.6, 256 bits)",
                 "4.5 (Compatibility Profile)",
                 "Wine Display </script> adapter",
                 "Windows 10 (10.0.19045)",
                 "Test CPU @ 2.0GHz",
                 2};
  for (size_t i = 0; i < table.rows.size(); ++i) {
    const PathRow& row = table.rows[i];
    PathRun path{row.key, row.program + " " + row.key, {}, 0.5 + 0.1 * i, ""};
    double base = row.key == kSampleCappedPath ? 59.9 : 300.0 / (1 + i % 5);
    for (int32_t round = 0; round < 8; ++round) {
      double fps = base * (1 + 0.004 * ((round * 7 + i) % 5)) * (round < 4 ? 1.0 : 1.01);
      path.slices.push_back({fps, 1000.0 / fps * 0.8, fps * 1.0, 1.0, round / 4, round});
    }
    if (row.key == kSampleFailedPath) {
      path.slices.clear();
      path.failure = "reports nothing for 30 s";
    }
    run.paths.push_back(path);
  }
  return run;
}
