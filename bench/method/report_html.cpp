// report.html: the one template (scripts/benchlib/report.html, compiled in) with the run's
// results.json put in place of its marker.
#include "json.h"
#include "report_template.h"
#include "run_record.h"

namespace {

const char kMarker[] = "/*RESULTS_JSON*/null";

// Inside a <script> block only "</script" or "<!--" could end or change it; "<" occurs in
// JSON only inside strings, where \u003c reads back the same.
std::string ForScript(const std::string& json) {
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

std::string ReportHtml(const std::string& resultsJson) {
  std::string page(reinterpret_cast<const char*>(kReportTemplate), kReportTemplateSize);
  JsonValue check;
  std::string error;
  // Text that is not JSON would be script, not data: the page then shows that it has none.
  std::string data = ParseJson(resultsJson, check, error) ? ForScript(resultsJson) : "null";
  size_t at = page.find(kMarker);
  if (at != std::string::npos) page.replace(at, sizeof kMarker - 1, data);
  return page;
}
