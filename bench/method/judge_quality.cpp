// How far a run can be trusted (interval widths, CPU time against FPS as the steadier measure)
// and the sweep's fits.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "judge_parts.h"

namespace {

void WidthChecks(const Json& lines, Json& quality) {
  for (const Json& line : lines) {
    std::optional<double> half = NumberAt(line, "half_width");
    if (TextAt(line, "kind") != "ratio" || TextAt(line, "pairing") != "paired" || !half) continue;
    bool overProcesses = NumberAt(MemberAt(line, "value"), "processes").value_or(1) >= 2;
    char label[64];
    std::snprintf(label, sizeof label, ": interval%s within ±%ld %%",
                  overProcesses ? "" : " (1 process)", std::lround(kWidthBar * 100));
    quality.push_back({{"label", TextAt(line, "label") + label},
                       {"value", Figure(*half)},
                       {"ok", *half <= kWidthBar},
                       {"target", !MemberAt(line, "verdict").is_null()}});
  }
}

double UpperMiddle(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

Json QualityChecks(const Json& targets, const Json& information) {
  Json quality = Json::array();
  WidthChecks(targets, quality);
  WidthChecks(information, quality);
  return quality;
}

Json Steadiness(const std::vector<PathNumbers>& paths) {
  std::vector<double> fpsCv, cpuCv;
  int32_t steadier = 0, counted = 0;
  for (const PathNumbers& p : paths) {
    if (!p.Measured()) continue;
    ++counted;
    std::optional<double> fps = Variation(p.fps), cpu = Variation(p.cpu);
    if (fps) fpsCv.push_back(*fps);
    if (cpu) cpuCv.push_back(*cpu);
    steadier += fps && cpu && *cpu < *fps;
  }
  if (fpsCv.empty() || cpuCv.empty()) return nullptr;
  double fpsMid = UpperMiddle(fpsCv), cpuMid = UpperMiddle(cpuCv);
  char summary[400];
  std::snprintf(summary, sizeof summary,
                "CPU ms per frame varied over rounds by a median %.1f %% (coefficient of "
                "variation), FPS by %.1f %%: CPU time per frame is %s FPS here (steadier on %d "
                "of %d paths).",
                cpuMid * 100, fpsMid * 100, cpuMid < fpsMid ? "steadier than" : "no steadier than",
                static_cast<int>(steadier), static_cast<int>(counted));
  return Json{{"fps_cv_median", Figure(fpsMid)},
              {"cpu_cv_median", Figure(cpuMid)},
              {"paths_steadier_in_cpu", steadier},
              {"paths", counted},
              {"summary", summary}};
}

namespace {

Json SweepPoint(const PathNumbers& p, bool product, int64_t glyphs) {
  Json point = {{"key", p.row->key}};
  if (product) point["name"] = p.row->name;
  if (!product) point["phrases"] = p.row->phrases;
  point["glyphs_per_frame"] = glyphs;
  point["frame_ms"] = IntervalJson(p.frameMs);
  return point;
}

Json SweepFit(const std::string& line, const std::vector<const PathNumbers*>& group,
              int32_t phraseGlyphs) {
  Json points = Json::array(), products = Json::array();
  std::vector<double> xs, ys;
  std::string name;
  for (const PathNumbers* p : group) {
    int64_t glyphs = static_cast<int64_t>(p->row->phrases) * phraseGlyphs;
    bool product = p->row->key.rfind(line + "@", 0) != 0;
    if (!product && name.empty()) name = p->row->name.substr(0, p->row->name.rfind(", "));
    if (!p->Measured() || !p->frameMs) continue;
    (product ? products : points).push_back(SweepPoint(*p, product, glyphs));
    if (product) continue;
    xs.push_back(static_cast<double>(glyphs));
    ys.push_back(p->frameMs->median);
  }
  std::optional<LineFit> fit = FitLine(xs, ys);
  return Json{{"path", line},
              {"name", name},
              {"points", points},
              {"products", products},
              {"fixed_ms", fit ? Figure(fit->fixed) : Json(nullptr)},
              {"ns_per_glyph", fit ? Figure(fit->slope * 1e6) : Json(nullptr)},
              {"r2", fit ? Figure(fit->r2) : Json(nullptr)},
              {"r2_ok", fit && fit->r2 >= kR2Bar}};
}

}  // namespace

Json SweepFits(const std::vector<PathNumbers>& paths, int32_t phraseGlyphs) {
  const std::string prefix = "sweep-";
  std::vector<std::string> lines;
  for (const PathNumbers& p : paths) {
    const std::string& group = p.row->group;
    if (group.rfind(prefix, 0) == 0 &&
        std::find(lines.begin(), lines.end(), group.substr(prefix.size())) == lines.end())
      lines.push_back(group.substr(prefix.size()));
  }
  Json fits = Json::array();
  for (const std::string& line : lines) {
    std::vector<const PathNumbers*> group;
    for (const PathNumbers& p : paths) {
      if (p.row->group == prefix + line) group.push_back(&p);
    }
    fits.push_back(SweepFit(line, group, phraseGlyphs));
  }
  return fits;
}
