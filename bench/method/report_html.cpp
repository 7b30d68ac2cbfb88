// report.html: the one template (report.html beside this file, compiled in) with the run's
// results put in place of its data marker and the charts' SVG in place of its chart marker.
#include "report_parts.h"
#include "report_template.h"

#include <utility>
#include <vector>

namespace report {

namespace {

const char kDataMarker[] = "/*RESULTS_JSON*/null";
const char kChartsMarker[] = "<!--CHARTS_SVG-->";

// Inside a <script> block only "</script" or "<!--" could end or change it; "<" occurs in JSON
// only inside strings, where \u003c reads back the same. NaN and infinities are written as null.
std::string ForScript(const Json& results) {
  std::string json = results.dump(-1, ' ', false, Json::error_handler_t::replace);
  std::string out;
  out.reserve(json.size());
  for (char c : json) {
    if (c == '<') {
      out += "\\u003c";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string ReportHtml(const Json& results, const std::string& chartsSvg) {
  std::string page(reinterpret_cast<const char*>(kReportTemplate), kReportTemplateSize);
  // Both markers are found in the template before anything is put in, so neither the data nor
  // the charts can be mistaken for a marker.
  size_t data = page.find(kDataMarker), charts = page.find(kChartsMarker);
  struct Part {
    size_t at, length;
    std::string text;
  };
  std::vector<Part> parts;
  if (data != std::string::npos)
    parts.push_back({data, sizeof kDataMarker - 1, ForScript(results)});
  if (charts != std::string::npos) parts.push_back({charts, sizeof kChartsMarker - 1, chartsSvg});
  // From the end, so the earlier offset stays valid.
  if (parts.size() == 2 && parts[0].at < parts[1].at) std::swap(parts[0], parts[1]);
  for (const Part& part : parts) page.replace(part.at, part.length, part.text);
  return page;
}

}  // namespace report
