// One group's rounds. Windowed programs share the display: all of a group run at once, each
// suspended but for its own slice, in the foreground then. A DirectDraw full screen is exclusive:
// such a group starts a fresh process for every slice, its start-up left out of the count.
#include "measure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "slice_frames.h"
#include "work_folder.h"

namespace {

const double kNoReportSeconds = 30;
const double kSliceFrames = 4;  // a slow path's slice is stretched to hold at least these
// A fresh full screen runs this long before its slice even in a quick run: the mode switch and
// the first frames after it are slower than the rest.
const double kFullScreenSettleSeconds = 1.0;
const DWORD kEndWaitMs = 3000;          // for a program to end after Esc
const int32_t kSafetySeconds = 100000;  // a reference's own time limit: the runner ends it first
// A process's CPU time advances in clock ticks: a slice that used fewer than this many is too
// coarse to count (under Wine only the time of the Windows threads shows, a tick or two).
const double kCpuTicks = 10;

struct PathState {
  const PathRow* row;
  PathRun* run;
  Child child;
  std::vector<StampedReport> reports;  // since the last ClearReports
  double lastReport = 0;
};

bool Stopped(const MeasureContext& c) { return *c.stop != 0; }

double ClockTickSeconds() {
  DWORD adjustment = 0, increment = 0;
  BOOL disabled = FALSE;
  if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled) || increment == 0)
    return 0.015625;  // the usual 64 Hz
  return increment / 1e7;
}

// CPU ms per frame of a slice; NaN (not measured) below the clock's resolution.
double CpuMsPerFrame(double usedSeconds, double frames) {
  if (frames <= 0 || usedSeconds < kCpuTicks * ClockTickSeconds()) return std::nan("");
  return usedSeconds * 1000 / frames;
}

void RouteReports(MeasureContext& c, std::vector<PathState>& paths) {
  for (DebugLine& line : TakeDebugLines(c.output)) {
    int32_t frames = 0;
    if (!ParseFramesLine(line.text, frames)) continue;
    for (PathState& p : paths) {
      if (p.child.running && p.child.info.dwProcessId == line.processId) {
        p.reports.push_back({line.seconds, frames});
        p.lastReport = line.seconds;
      }
    }
  }
}

void Fail(PathState& p, const std::string& reason) {
  if (p.run->failure.empty()) p.run->failure = reason;
  EndChild(p.child, 0);
  std::printf("  %s failed: %s\n    command: %s\n", p.row->key.c_str(), reason.c_str(),
              p.run->command.c_str());
  std::fflush(stdout);
}

bool Failed(const PathState& p) { return !p.run->failure.empty(); }

// Waits while `more` says so; false (the path failed) when the program ended or went quiet.
template <typename More>
bool WaitWhile(MeasureContext& c, std::vector<PathState>& paths, PathState& p, More more) {
  while (more()) {
    if (Stopped(c)) return false;
    Sleep(2);
    RouteReports(c, paths);
    DWORD code = 0;
    if (!ChildAlive(p.child, code)) {
      char reason[64];
      std::snprintf(reason, sizeof reason, "exits early (code %lu)", code);
      Fail(p, reason);
      return false;
    }
    if (RunnerSeconds() - p.lastReport > kNoReportSeconds) {
      Fail(p, "reports no frames for 30 s");
      return false;
    }
  }
  return true;
}

std::string FolderFor(MeasureContext& c, const PathRow& row) {
  if (row.launch != "glyphstorm") return c.binFolder;
  if (c.glyphstormFolder.empty()) c.glyphstormFolder = MakeGlyphstormFolder(c.binFolder);
  return c.glyphstormFolder;
}

// Starts the path's program and runs it to its first report, its keys and `settle` seconds.
bool Launch(MeasureContext& c, std::vector<PathState>& paths, PathState& p, double settle) {
  std::string folder = FolderFor(c, *p.row);
  std::string error;
  if (folder.empty()) error = "no temporary folder for glyphstorm's settings";
  bool started = error.empty() &&
                 StartChild(c.job, folder, p.row->program, PathArguments(*p.row, kSafetySeconds),
                            c.reportPeriodMs, p.child, error);
  if (p.run->command.empty()) p.run->command = p.child.command;
  if (!started) {
    Fail(p, error);
    return false;
  }
  double begin = RunnerSeconds();
  p.reports.clear();
  p.lastReport = begin;
  if (!WaitWhile(c, paths, p, [&] { return p.reports.empty(); })) return false;
  if (!p.run->firstFrameSeconds) p.run->firstFrameSeconds = p.reports[0].seconds - begin;
  BringToFront(p.child);
  for (const std::string& key : p.row->keys) {
    if (!key.empty()) PostKey(p.child, key[0]);
  }
  double until = RunnerSeconds() + settle * (p.row->keys.empty() ? 1 : 2);
  return WaitWhile(c, paths, p, [&] { return RunnerSeconds() < until; });
}

// One counted slice of a running (resumed) program.
bool Slice(MeasureContext& c, std::vector<PathState>& paths, PathState& p, int32_t round,
           int32_t process) {
  BringToFront(p.child);
  double begin = RunnerSeconds();
  double cpu = ChildCpuSeconds(p.child);
  p.reports.clear();
  p.lastReport = begin;
  double countFrom = begin + c.times.warmupSeconds;
  double until = countFrom + c.times.sliceSeconds;
  bool ok = WaitWhile(c, paths, p, [&] {
    SliceCount count = CountSlice(p.reports, countFrom);
    return RunnerSeconds() < until || count.frames < kSliceFrames || count.reports < 2 ||
           p.reports.back().seconds < until;
  });
  if (!ok) return false;
  SliceCount count = CountSlice(p.reports, countFrom);
  SliceRecord slice;
  slice.fps = SliceFps(count);
  slice.frames = count.frames;
  slice.seconds = count.seconds;
  slice.cpuMsPerFrame = CpuMsPerFrame(ChildCpuSeconds(p.child) - cpu, count.allFrames);
  slice.process = process;
  slice.round = round;
  p.run->slices.push_back(slice);
  return true;
}

void Progress(const char* group, int32_t round, int32_t rounds,
              const std::vector<PathState>& paths) {
  std::printf("round %d/%d (%s):", round + 1, rounds, group);
  for (const PathState& p : paths) {
    if (Failed(p) || p.run->slices.empty()) continue;
    std::printf(" %s %.1f", p.row->key.c_str(), p.run->slices.back().fps);
  }
  std::printf("\n");
  std::fflush(stdout);
}

// Just after a report: its writer is done with the shared buffer before it is held still.
void Hold(PathState& p) {
  Sleep(2);
  SuspendChild(p.child);
}

void WindowedRounds(MeasureContext& c, std::vector<PathState>& paths, int32_t rounds) {
  for (PathState& p : paths) {
    if (Launch(c, paths, p, c.times.settleSeconds)) Hold(p);
  }
  int32_t process = 0;
  for (int32_t round = 0; round < rounds && !Stopped(c); ++round) {
    int32_t next = ProcessOfRound(round, rounds, c.times.processes);
    for (int32_t i : RoundOrder(int32_t(paths.size()), round)) {
      PathState& p = paths[size_t(i)];
      if (Failed(p) || Stopped(c)) continue;
      if (next != process) {
        // A fresh process for the second share of the rounds; the others stay held.
        EndChild(p.child, kEndWaitMs);
        if (!Launch(c, paths, p, c.times.settleSeconds)) continue;
      } else {
        ResumeChild(p.child);
      }
      if (Slice(c, paths, p, round, next)) Hold(p);
    }
    process = next;
    Progress(paths[0].row->group.c_str(), round, rounds, paths);
  }
  for (PathState& p : paths) EndChild(p.child, kEndWaitMs);
}

void ExclusiveRounds(MeasureContext& c, std::vector<PathState>& paths, int32_t rounds) {
  for (int32_t round = 0; round < rounds && !Stopped(c); ++round) {
    for (int32_t i : RoundOrder(int32_t(paths.size()), round)) {
      PathState& p = paths[size_t(i)];
      if (Failed(p) || Stopped(c)) continue;
      if (Launch(c, paths, p, std::max(c.times.settleSeconds, kFullScreenSettleSeconds)))
        Slice(c, paths, p, round, round);
      EndChild(p.child, kEndWaitMs);
    }
    Progress(paths[0].row->group.c_str(), round, rounds, paths);
  }
}

}  // namespace

void MeasureGroup(MeasureContext& context, const std::vector<const PathRow*>& rows,
                  std::vector<PathRun*>& runs) {
  std::vector<PathState> paths;
  bool exclusive = false;
  for (size_t i = 0; i < rows.size(); ++i) {
    paths.push_back(PathState{rows[i], runs[i], {}, {}, 0});
    exclusive = exclusive || rows[i]->desktop;
  }
  if (paths.empty()) return;
  int32_t rounds = RoundsFor(*context.table, rows[0]->group, context.times.rounds);
  if (exclusive) ExclusiveRounds(context, paths, rounds);
  else WindowedRounds(context, paths, rounds);
}
