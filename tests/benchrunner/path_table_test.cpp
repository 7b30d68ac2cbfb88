// The one path table as the runner reads it: scripts/bench's own file, then each kind of fault.
#include "run_record.h"
#include "sample_run.h"

#include <gtest/gtest.h>

namespace {

// Two paths of one group, a reference pair with a target, plus an information line and a share.
const char kPlan[] = R"("plan": {"rounds": 20, "processes": 5}, )";

std::string Table(const std::string& product, const std::string& extra = "",
                  const std::string& plan = kPlan) {
  return R"({"phrase_glyphs": 33, )" + plan + R"("paths": [)" + product +
         R"(, {"key": "ref", "name": "reference", "program": "r.exe", "args": ["{seconds}", "{phrases}"],
         "source": "debug", "phrases": 200, "group": "g", "sweep": true}],
         "info_ratios": [{"label": "i", "numerator": "p", "denominator": "ref"}],
         "shares": [{"label": "s", "part": "ref", "whole": "p"}])" +
         extra + "}";
}

const char kProduct[] =
    R"({"key": "p", "name": "product", "program": "p.exe", "source": "debug", "phrases": 199,
        "group": "g", "reference": "ref", "bar": 0.97, "keys": ["1"], "launch": "glyphstorm"})";

std::string Load(const std::string& text, PathTable& table) {
  std::string error;
  bool loaded = LoadPathTable(text, table, error);
  EXPECT_EQ(loaded, error.empty());
  return error;
}

TEST(PathTable, ScriptsBenchsOwnFileLoadsWhole) {
  PathTable table;
  std::string text = ReadSourceFile("bench/paths.json");
  ASSERT_EQ(Load(text, table), "");
  EXPECT_EQ(table.phraseGlyphs, 33);
  const PathRow* mode1 = FindPath(table, "glyphstorm-mode1");
  ASSERT_NE(mode1, nullptr);
  EXPECT_EQ(mode1->keys, std::vector<std::string>{"1"});
  EXPECT_EQ(mode1->launch, "glyphstorm");
  EXPECT_EQ(mode1->shot, "glyphstorm-mode1");
  EXPECT_EQ(*mode1->bar, 0.97);
  EXPECT_FALSE(FindPath(table, "gl_reference-glyphs")->bar.has_value());
  EXPECT_EQ(RoundsFor(table, "2d-more", 20), 8);
  EXPECT_EQ(table.plan.rounds, 20);
  EXPECT_EQ(table.plan.processes, 5);
  EXPECT_EQ(RoundsFor(table, "gl", 20), 20);
  EXPECT_EQ(GlyphsPerFrame(table, *mode1), 199 * 33);
  const PathRow* calls = FindPath(table, "ddraw_reference-calls");
  EXPECT_EQ(PathArguments(*calls, 3), (std::vector<std::string>{"3", "200", "exchange", "calls"}));
  EXPECT_EQ(PathArguments(*calls, 3, 50)[1], "50");
  // Groups in table order, rows in table order within each.
  auto groups = PathGroups(table);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0][0]->key, "glyphstorm-mode2");
  EXPECT_EQ(groups[2].back()->key, "gdi_reference");
}

TEST(PathTable, DefaultsFillWhatARowLeavesOut) {
  PathTable table;
  ASSERT_EQ(Load(Table(kProduct), table), "");
  const PathRow& ref = *FindPath(table, "ref");
  EXPECT_EQ(ref.launch, "bin");
  EXPECT_FALSE(ref.desktop || ref.soak || ref.glCalls || ref.startBar || ref.bar);
  EXPECT_TRUE(ref.reference.empty() && ref.onSweep.empty() && ref.keys.empty());
  EXPECT_EQ(table.maxPhrases, 1);
}

TEST(PathTable, EachFaultIsNamedAndLeavesNoTable) {
  struct Case {
    std::string text, fault;
  };
  std::string product = kProduct;
  auto with = [&](const std::string& from, const std::string& to) {
    std::string p = product;
    p.replace(p.find(from), from.size(), to);
    return Table(p);
  };
  const Case cases[] = {
      {"{", "paths.json: expected a member name at byte 1"},
      {"[]", "paths.json: not an object"},
      {with(R"("key": "p")", R"("key": "ref")"),
       "key ref is used by more than one row\ni: p is no row\ns: p is no row"},
      {with(R"("name": "product")", R"("name": "reference")"),
       "name 'reference' is used by more than one row"},
      {with(R"("source": "debug")", R"("source": "vsync")"), "p: unknown frame source 'vsync'"},
      {with(R"("launch": "glyphstorm")", R"("launch": "elsewhere")"),
       "p: unknown launch 'elsewhere'"},
      {with(R"("reference": "ref")", R"("reference": "gone")"), "p: reference gone is no row"},
      {with(R"("group": "g")", R"("group": "h")"),
       "p: its reference ref is measured in another group"},
      {with(R"("reference": "ref",)", ""), "p: a bar without a reference"},
      {with(R"("bar": 0.97)", R"("bar": 0.97, "on_sweep": "p")"), "p: p is not swept"},
      {with(R"("bar": 0.97)", R"("bar": 0.97, "sweep": true)"),
       "p: swept, but takes no phrase count"},
      {with(R"("bar": 0.97)", R"("bar": 0.97, "colour": 1)"), "p: unknown field colour"},
      {with(R"("phrases": 199)", R"("phrases": -1)"),
       "p: phrases must be a whole number of at least 0"},
      {with(R"("phrases": 199)", R"("phrases": 1.5)"),
       "p: phrases must be a whole number of at least 0"},
      {with(R"("keys": ["1"])", R"("keys": [1])"), "p: keys must be a list of strings"},
      {with(R"("bar": 0.97)", R"("bar": "high")"), "p: bar must be a number > 0"},
      {with(R"("program": "p.exe", )", ""), "p: no program"},
      {Table(kProduct, R"(, "rounds_cap": {"g": 0})"),
       "paths.json: rounds_cap must be group: a whole number >= 1"},
      {Table(kProduct, "", ""), "paths.json: no plan"},
      {Table(kProduct, "", R"("plan": 20, )"), "paths.json: plan must be an object"},
      {Table(kProduct, "", R"("plan": {"rounds": 0, "processes": 5}, )"),
       "plan: rounds must be a whole number of at least 1"},
      {Table(kProduct, "", R"("plan": {"rounds": 20}, )"), "plan: no processes"},
      {Table(kProduct, R"(, "sweep_phrases": [0])"),
       "paths.json: sweep_phrases must be a list of whole numbers of at least 1"},
      {Table(kProduct, R"(, "shares": [{"label": "s", "part": "x", "whole": "p"}])"),
       "s: x is no row"},
  };
  for (const Case& c : cases) {
    PathTable table;
    EXPECT_EQ(Load(c.text, table), c.fault) << c.text;
    EXPECT_TRUE(table.rows.empty());
  }
}

}  // namespace
