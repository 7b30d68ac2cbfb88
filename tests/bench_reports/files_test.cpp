// The report folder: which files, report.md's sections, memory.csv, benchmark.json, the two
// SVG charts and the page with the results and the charts in place of its markers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <regex>

#include "report_files.h"
#include "report_test_util.h"

namespace {

std::vector<std::string> Names(const std::vector<ReportFile>& files) {
  std::vector<std::string> names;
  for (const ReportFile& f : files) names.push_back(f.name);
  return names;
}

// The x of every decade label of the glyph chart's log axis, by label.
std::vector<std::pair<std::string, double>> Decades(const std::string& svg) {
  std::vector<std::pair<std::string, double>> ticks;
  std::regex tick(
      "<text x=\"([0-9.]+)\" y=\"[0-9.]+\" text-anchor=\"middle\" class=\"tick\">([^<]*)</text>");
  for (std::sregex_iterator it(svg.begin(), svg.end(), tick), end; it != end; ++it)
    ticks.push_back({(*it)[2].str(), std::atof((*it)[1].str().c_str())});
  return ticks;
}

}  // namespace

TEST(Files, EachRunKindGetsItsFilesInOrder) {
  Json rounds = LoadDocument("rounds.json");
  std::vector<ReportFile> files = ReportFiles(rounds);
  EXPECT_EQ(Names(files), (std::vector<std::string>{"results.json", "benchmark.json", "report.md",
                                                    "report.html", "memory.csv", "glyphs.svg"}));
  EXPECT_EQ(files[0].bytes, JsonText(rounds));
  EXPECT_EQ(Names(ReportFiles(LoadDocument("sweep.json"))),
            (std::vector<std::string>{"results.json", "benchmark.json", "report.md", "report.html",
                                      "memory.csv", "sweep.svg"}));
  // Nothing to draw: no chart.
  EXPECT_EQ(Names(ReportFiles(LoadDocument("compare-new.json"))),
            (std::vector<std::string>{"results.json", "benchmark.json", "report.md", "report.html",
                                      "memory.csv"}));
}

TEST(Files, ReportMdHasEverySectionAndLinksTheCharts) {
  std::string md = FileNamed(ReportFiles(LoadDocument("rounds.json")), "report.md");
  for (const char* part :
       {"# glyphstorm benchmark\n\n- Run: 20261210-090000;", "\n## Frames per second\n\n",
        "\n## Failed\n\n- GDI+ DrawString: failed: exits early (code 3); command: "
        "gdiplus_reference.exe drawstring 60\n",
        "| glyphstorm mode 2 ≥ 0.97× reference phrase quads | 1.010× [0.929–1.098]  ±8.4 % | "
        "**undecided**, **under load** (3 of 6 rounds loaded) |",
        "| glyphstorm mode 1 ≥ 0.97× reference glyph quads | 0.494× [0.438–0.558]  ±12.1 % | "
        "**capped by the display** |",
        "| glyphstorm: start to first frame < 2.0 s | 0.80 s | met |",
        "by CPU time per frame (the reference's CPU ms per frame ÷ the path's) |",
        "\n## Run quality\n\n", "| **too wide** |", "\n## Rounds and machine load\n\n",
        "| gl | 3 | 0.80 | 0.90 | 0.80 | loaded |", "\n## Start-up and memory\n\n",
        "| glyphstorm mode 2 | 0.80 s | 20.0 MiB | 21.0 MiB |",
        "![glyphs per second per path](glyphs.svg)",
        "\n## Screenshots\n\n### glyphstorm mode 2\n\n![glyphstorm mode "
        "2](glyphstorm-mode2.png)\n"}) {
    EXPECT_NE(md.find(part), std::string::npos) << part << "\n---\n" << md;
  }
  EXPECT_EQ(md.find("sweep.svg"), std::string::npos);
  EXPECT_EQ(md.find("chart.png"), std::string::npos);
  std::string sweep = FileNamed(ReportFiles(LoadDocument("sweep.json")), "report.md");
  EXPECT_NE(sweep.find("![frame time against glyphs per frame](sweep.svg)"), std::string::npos);
  EXPECT_NE(sweep.find("| reference glyph quads | 2.00 | 10.0 | 1.0000 | ok |"), std::string::npos)
      << sweep;
  EXPECT_NE(sweep.find("| glyphstorm mode 1 | 1.50 | 30.0 | 0.9500 | **below 0.98** |"),
            std::string::npos);
  EXPECT_NE(
      sweep.find("| glyphstorm mode 2 (product) | — | 6600 | 4.00 [3.90–4.10] (1 process, 75 %) |"),
      std::string::npos);
  EXPECT_EQ(sweep.find("glyphs.svg"), std::string::npos);
  std::string check = FileNamed(ReportFiles(LoadDocument("self-check.json")), "report.md");
  EXPECT_NE(check.find("\n## Self-check\n\n"), std::string::npos);
  EXPECT_NE(check.find(" | **no** |"), std::string::npos);
}

TEST(Files, MemoryCsvHoldsTheRoundsAndTheSoak) {
  std::string csv = FileNamed(ReportFiles(LoadDocument("rounds.json")), "memory.csv");
  std::vector<std::string> lines = LinesOf(csv);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "path,seconds,resident KiB,phase");
  EXPECT_EQ(lines[1], "\"glyphstorm mode 2\",1.0,19000,rounds");
  EXPECT_EQ(lines.back(), "\"glyphstorm mode 2\",600.0,21000,soak");
  EXPECT_EQ(lines.size(), 1 + 6 * 3 + 3u);  // six measured paths of three samples, the soak's
}

TEST(Files, BenchmarkJsonHasARepetitionPerRound) {
  Json rounds = LoadDocument("rounds.json");
  Json benchmark;
  std::string error;
  ASSERT_TRUE(ParseJsonText(FileNamed(ReportFiles(rounds), "benchmark.json"), benchmark, error));
  const Json& context = benchmark["context"];
  EXPECT_EQ(context["executable"], "scripts/bench");
  EXPECT_EQ(context["date"], "2026-12-10T09:00:00+00:00");
  EXPECT_EQ(context["num_cpus"], 4);
  EXPECT_EQ(context["glyphstorm"]["processes"], 2);
  size_t count = 0;
  for (const Json& b : benchmark["benchmarks"]) {
    const Json* path = nullptr;
    for (const Json& p : rounds["paths"]) {
      if (p["key"] == b["name"]) path = &p;
    }
    ASSERT_NE(path, nullptr);
    int i = b["repetition_index"];
    EXPECT_EQ(b["repetitions"], 6);
    EXPECT_EQ(b["time_unit"], "ms");
    EXPECT_EQ(b["real_time"].get<double>(), 1000.0 / (*path)["fps_rounds"][i].get<double>());
    EXPECT_EQ(b["cpu_time"], (*path)["cpu_rounds"][i]);
    ++count;
  }
  EXPECT_EQ(count, 6 * 6u);  // the failed path has no rounds
  Json windows;
  ASSERT_TRUE(ParseJsonText(FileNamed(ReportFiles(LoadDocument("windows.json")), "benchmark.json"),
                            windows, error));
  EXPECT_EQ(windows["context"]["executable"], "glyphstorm-bench.exe");
  EXPECT_EQ(windows["context"]["num_cpus"], 2);
}

TEST(Charts, GlyphsSvgHasABarAndAWhiskerPerTextPathOnALogAxis) {
  Json rounds = LoadDocument("rounds.json");
  std::string svg = FileNamed(ReportFiles(rounds), "glyphs.svg");
  EXPECT_EQ(XmlFault(svg), "");
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"glyph-chart\"", 0), 0u);
  // Six measured text paths; the failed one is not drawn.
  EXPECT_EQ(Count(svg, "<rect "), 6u);
  EXPECT_EQ(Count(svg, "<rect class=\"bar\""), 6u);
  EXPECT_EQ(Count(svg, "class=\"whisker\""), 6u);
  EXPECT_EQ(Count(svg, "fill=\"#cc6677\""), 2u);  // the 2D paths
  EXPECT_EQ(Count(svg, "fill=\"#4477aa\""), 3u);  // GL
  EXPECT_EQ(Count(svg, "fill=\"#b9bec6\""), 1u);  // capped
  EXPECT_EQ(svg.find("GDI+ DrawString"), std::string::npos);
  auto decades = Decades(svg);
  ASSERT_EQ(decades.size(), 3u);
  EXPECT_EQ(decades[0].first, "100k");
  EXPECT_EQ(decades[1].first, "1M");
  EXPECT_EQ(decades[2].first, "10M");
  EXPECT_NEAR(decades[2].second - decades[1].second, decades[1].second - decades[0].second, 0.15);
  // A name that is markup stays text.
  rounds["paths"][0]["name"] = "a </script> & <b>";
  svg = FileNamed(ReportFiles(rounds), "glyphs.svg");
  EXPECT_EQ(XmlFault(svg), "");
  EXPECT_NE(svg.find("a &lt;/script&gt; &amp; &lt;b&gt;"), std::string::npos);
}

TEST(Charts, SweepSvgHasEveryPointItsFitsAndProducts) {
  std::string svg = FileNamed(ReportFiles(LoadDocument("sweep.json")), "sweep.svg");
  EXPECT_EQ(XmlFault(svg), "");
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"sweep-chart\"", 0), 0u);
  EXPECT_EQ(Count(svg, "class=\"sweep-line\""), 2u);
  EXPECT_EQ(Count(svg, "class=\"point\""), 8u);
  EXPECT_EQ(Count(svg, "class=\"product\""), 1u);
  EXPECT_EQ(Count(svg, "class=\"whisker\""), 9u);
  EXPECT_EQ(Count(svg, "class=\"fit\""), 2u);
  EXPECT_EQ(Count(svg, "stroke-dasharray"), 2u);
  EXPECT_NE(svg.find("reference glyph quads, fit: 2.00 ms + 10.0 ns/glyph, R² 1.000"),
            std::string::npos);
}

TEST(Page, TheResultsAndTheChartsReplaceTheMarkers) {
  Json rounds = LoadDocument("rounds.json");
  std::string page = FileNamed(ReportFiles(rounds), "report.html");
  EXPECT_EQ(page.find("/*RESULTS_JSON*/"), std::string::npos);
  EXPECT_EQ(page.find("<!--CHARTS_SVG-->"), std::string::npos);
  EXPECT_EQ(Count(page, "id=\"glyph-chart\""), 1u);
  EXPECT_EQ(page.find("id=\"sweep-chart\""), std::string::npos);
  // The run's command holds "</script><!--": in the data it is \u003c, so the script stays one.
  EXPECT_EQ(page.find("</script><!--"), std::string::npos);
  EXPECT_NE(page.find("scripts/bench \\u003c/script>\\u003c!-- --rounds 6"), std::string::npos);
  std::string data = page.substr(page.find("const RESULTS = ") + 16);
  data = data.substr(0, data.find(";\n</script>"));
  Json embedded;
  std::string error;
  ASSERT_TRUE(ParseJsonText(data, embedded, error)) << error;
  EXPECT_EQ(embedded, rounds);
  EXPECT_EQ(Count(page, "</script>"), 2u);
  // The judge writes no NaN, but a document made in memory might hold one.
  rounds["paths"][0]["fps"]["median"] = std::numeric_limits<double>::quiet_NaN();
  rounds["paths"][0]["glyphs_per_second"] = HUGE_VAL;
  page = FileNamed(ReportFiles(rounds), "report.html");
  data = page.substr(page.find("const RESULTS = "));
  data = data.substr(0, data.find('\n'));
  EXPECT_FALSE(std::regex_search(data, std::regex("\\bNaN\\b|\\bInfinity\\b")));
  std::string sweep = FileNamed(ReportFiles(LoadDocument("sweep.json")), "report.html");
  EXPECT_EQ(Count(sweep, "id=\"sweep-chart\""), 1u);
  EXPECT_EQ(sweep.find("id=\"glyph-chart\""), std::string::npos);
}
