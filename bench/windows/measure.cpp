// One group's rounds. Windowed programs share the display: all of a group run at once, each
// suspended but for its own slice, in the foreground then. A DirectDraw full screen is exclusive:
// such a group starts a fresh process for every slice, its start-up left out of the count.
#include "measure.h"

#include <algorithm>
#include <cstdio>

#include "run_stamp.h"
#include "runner_options.h"
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
const DWORD kWritersWaitMs = 1000;      // a writer waits for the reader thread, no longer
// A program ends with this code, before its first frame, when the desktop lacks what its path
// needs; its debug output names what is missing after this prefix.
const DWORD kUnavailableExit = 3;
const char kUnavailableLine[] = "unavailable on this desktop: ";

struct PathState {
  const PathRow* row;
  RawPath* raw;
  Child child;
  std::vector<RawReport> reports;  // since the last clear
  double lastReport = 0;
  std::string lacking;  // what the program said the desktop lacks
};

bool Stopped(const MeasureContext& c) { return *c.stop != 0; }

void RouteReports(MeasureContext& c, std::vector<PathState>& paths) {
  for (DebugLine& line : TakeDebugLines(c.output)) {
    int32_t frames = 0;
    bool report = ParseFramesLine(line.text, frames);
    bool lacking = line.text.rfind(kUnavailableLine, 0) == 0;
    for (PathState& p : paths) {
      if (!p.child.running || p.child.info.dwProcessId != line.processId) continue;
      if (lacking) {
        p.lacking = line.text.substr(sizeof kUnavailableLine - 1);
        p.lacking.erase(p.lacking.find_last_not_of("\r\n") + 1);
      }
      if (!report) continue;
      p.reports.push_back({line.seconds, double(frames)});
      p.lastReport = line.seconds;
    }
  }
}

void Fail(PathState& p, const std::string& reason) {
  if (p.raw->failed.empty()) p.raw->failed = Utf8FromAnsi(reason);
  EndChild(p.child, 0);
  std::printf("  %s failed: %s\n    command: %s\n", p.row->key.c_str(), p.raw->failed.c_str(),
              p.raw->command.c_str());
  std::fflush(stdout);
}

bool Failed(const PathState& p) { return !p.raw->failed.empty(); }

// A program that ended saying the desktop lacks what it needs: a row saying so, not a failure.
bool Unavailable(MeasureContext& c, PathState& p, DWORD code) {
  if (code != kUnavailableExit || p.lacking.empty() || !p.reports.empty()) return false;
  std::string reason = Utf8FromAnsi(p.lacking);
  c.unavailable.push_back({p.row->key, p.row->name, p.raw->command, reason});
  p.raw->failed = reason;  // held like a failed path until the run is written
  std::printf("  %s unavailable on this desktop: %s\n", p.row->key.c_str(), reason.c_str());
  std::fflush(stdout);
  return true;
}

// Waits while `more` says so; false (the path failed) when the program ended or went quiet.
template <typename More>
bool WaitWhile(MeasureContext& c, std::vector<PathState>& paths, PathState& p, More more) {
  while (more()) {
    if (Stopped(c)) return false;
    Sleep(2);
    RouteReports(c, paths);
    DWORD code = 0;
    if (!ChildAlive(p.child, code)) {
      Sleep(50);  // its last debug line may still be on its way
      RouteReports(c, paths);
      if (Unavailable(c, p, code)) return false;
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
  if (p.raw->command.empty()) p.raw->command = Utf8FromAnsi(p.child.command);
  if (!started) {
    Fail(p, error);
    return false;
  }
  double begin = RunnerSeconds();
  p.reports.clear();
  p.lastReport = begin;
  if (!WaitWhile(c, paths, p, [&] { return p.reports.empty(); })) return false;
  if (!p.raw->firstFrameSeconds) p.raw->firstFrameSeconds = p.reports[0].seconds - begin;
  BringToFront(p.child);
  for (const std::string& key : p.row->keys) {
    if (!key.empty()) PostKey(p.child, key[0]);
  }
  double until = RunnerSeconds() + settle * (p.row->keys.empty() ? 1 : 2);
  return WaitWhile(c, paths, p, [&] { return RunnerSeconds() < until; });
}

// The slice's own end: its time passed, enough counted, and a report after its time.
bool SliceGoesOn(const PathState& p, double countFrom, double until) {
  FramesSince counted = CountFramesSince(p.reports, countFrom);
  return RunnerSeconds() < until || counted.frames < kSliceFrames || counted.reports < 2 ||
         p.reports.back().seconds < until;
}

// One slice of a running (resumed) program: every report from its begin to its end, and the
// process's CPU time over it.
bool Slice(MeasureContext& c, std::vector<PathState>& paths, PathState& p, int32_t round,
           int32_t process) {
  BringToFront(p.child);
  RawSlice slice;
  slice.round = round;
  slice.process = process;
  slice.begin = RunnerSeconds();
  double cpuBefore = ChildCpuSeconds(p.child);
  p.reports.clear();
  p.lastReport = slice.begin;
  slice.countFrom = slice.begin + c.plan->warmupSeconds;
  double until = slice.countFrom + c.plan->sliceSeconds;
  if (!WaitWhile(c, paths, p, [&] { return SliceGoesOn(p, slice.countFrom, until); })) return false;
  slice.end = RunnerSeconds();
  double cpuAfter = ChildCpuSeconds(p.child);
  if (cpuBefore >= 0 && cpuAfter >= cpuBefore) slice.cpuMs = (cpuAfter - cpuBefore) * 1000;
  RouteReports(c, paths);  // those stamped before the end but not yet taken
  for (const RawReport& r : p.reports) {
    if (r.seconds >= slice.begin && r.seconds <= slice.end) slice.reports.push_back(r);
  }
  p.raw->slices.push_back(slice);
  return true;
}

// A line per round: the frames each path's slice counted (the rates come with the report).
void Progress(const PlanGroup& group, int32_t round, const std::vector<PathState>& paths) {
  std::printf("round %d/%d (%s):", round + 1, group.rounds, group.name.c_str());
  for (const PathState& p : paths) {
    if (Failed(p) || p.raw->slices.empty() || p.raw->slices.back().round != round) continue;
    const RawSlice& s = p.raw->slices.back();
    std::printf(" %s %.0f", p.row->key.c_str(), CountFramesSince(s.reports, s.countFrom).frames);
  }
  std::printf(" frames\n");
  std::fflush(stdout);
}

// Held still only outside OutputDebugString (see HoldDebugWriters).
void Hold(MeasureContext& c, PathState& p) {
  bool quiet = HoldDebugWriters(c.output, kWritersWaitMs);
  SuspendChild(p.child);
  if (quiet) ReleaseDebugWriters(c.output);
}

int32_t ProcessOf(const PlanGroup& group, int32_t round) {
  return size_t(round) < group.processOfRound.size() ? group.processOfRound[size_t(round)] : 0;
}

void WindowedRounds(MeasureContext& c, const PlanGroup& group, std::vector<PathState>& paths) {
  for (PathState& p : paths) {
    if (Launch(c, paths, p, c.plan->settleSeconds)) Hold(c, p);
  }
  int32_t process = ProcessOf(group, 0);
  for (int32_t round = 0; round < group.rounds && !Stopped(c); ++round) {
    int32_t next = ProcessOf(group, round);
    for (int32_t i : RoundOrder(int32_t(paths.size()), round)) {
      PathState& p = paths[size_t(i)];
      if (Failed(p) || Stopped(c)) continue;
      if (next != process) {
        // A fresh process for the next share of the rounds; the others stay held.
        EndChild(p.child, kEndWaitMs);
        if (!Launch(c, paths, p, c.plan->settleSeconds)) continue;
      } else {
        ResumeChild(p.child);
      }
      if (Slice(c, paths, p, round, next)) Hold(c, p);
    }
    process = next;
    Progress(group, round, paths);
  }
  for (PathState& p : paths) EndChild(p.child, kEndWaitMs);
}

// Every slice a process of its own, so its process number is its round.
void ExclusiveRounds(MeasureContext& c, const PlanGroup& group, std::vector<PathState>& paths) {
  double settle = std::max(c.plan->settleSeconds, kFullScreenSettleSeconds);
  for (int32_t round = 0; round < group.rounds && !Stopped(c); ++round) {
    for (int32_t i : RoundOrder(int32_t(paths.size()), round)) {
      PathState& p = paths[size_t(i)];
      if (Failed(p) || Stopped(c)) continue;
      if (Launch(c, paths, p, settle)) Slice(c, paths, p, round, round);
      EndChild(p.child, kEndWaitMs);
    }
    Progress(group, round, paths);
  }
}

}  // namespace

void MeasureGroup(MeasureContext& context, const PlanGroup& group, std::vector<RawPath*>& paths) {
  std::vector<PathState> states;
  bool exclusive = false;
  for (size_t i = 0; i < group.rows.size() && i < paths.size(); ++i) {
    if (!paths[i]) continue;
    states.push_back(PathState{&group.rows[i], paths[i], {}, {}, 0, {}});
    exclusive = exclusive || group.rows[i].desktop;
  }
  if (states.empty()) return;
  if (exclusive) ExclusiveRounds(context, group, states);
  else WindowedRounds(context, group, states);
}
