// The one path table: the shipped file, defaults, and each kind of fault, all of them at once.
#include <gtest/gtest.h>

#include "path_table.h"
#include "run_folder.h"

namespace {

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
  bool loaded = LoadPathTableText(text, table, error);
  EXPECT_EQ(loaded, error.empty());
  return error;
}

TEST(PathTable, TheShippedFileLoadsWhole) {
  PathTable table;
  std::string text;
  ASSERT_TRUE(ReadTextFile(std::string(GLYPHSTORM_SOURCE_DIR) + "/bench/paths.json", text));
  ASSERT_EQ(Load(text, table), "");
  const PathRow* mode1 = FindPath(table, "glyphstorm-mode1");
  ASSERT_NE(mode1, nullptr);
  EXPECT_EQ(mode1->keys, std::vector<std::string>{"1"});
  EXPECT_EQ(mode1->shot, "glyphstorm-mode1");
  EXPECT_EQ(RoundsFor(table, "2d-more", 20), 8);
  EXPECT_EQ(GlyphsPerFrame(table, *mode1), 199 * 33);
  const PathRow* calls = FindPath(table, "ddraw_reference-calls");
  EXPECT_EQ(PathArguments(*calls, 3), (std::vector<std::string>{"3", "200", "exchange", "calls"}));
  EXPECT_EQ(PathArguments(*calls, 3, 50)[1], "50");
}

TEST(PathTable, DefaultsFillWhatARowLeavesOut) {
  PathTable table;
  ASSERT_EQ(Load(Table(kProduct), table), "");
  const PathRow& ref = *FindPath(table, "ref");
  EXPECT_EQ(ref.launch, "bin");
  EXPECT_FALSE(ref.desktop || ref.soak || ref.glCalls || ref.startBar || ref.bar);
  EXPECT_TRUE(ref.reference.empty() && ref.onSweep.empty() && ref.keys.empty());
  EXPECT_EQ(table.maxPhrases, 1);
  Json row = PathRowJson(ref);
  EXPECT_TRUE(row["reference"].is_null() && row["bar"].is_null());
  EXPECT_EQ(row["shot"], "ref");
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
      {with(R"("phrases": 199)", R"("phrases": 1.5)"),
       "p: phrases must be a whole number of at least 0"},
      {Table(kProduct, R"(, "rounds_cap": {"g": 0})"),
       "rounds_cap: g must be a whole number of at least 1"},
      {Table(kProduct, "", ""), "paths.json: plan is missing"},
      {Table(kProduct, "", R"("plan": 20, )"), "plan: not an object"},
      {Table(kProduct, "", R"("plan": {"rounds": 0, "processes": 5}, )"),
       "plan: rounds must be a whole number of at least 1"},
      {Table(kProduct, R"(, "sweep_phrases": [0])"),
       "paths.json: sweep_phrases must be a list of whole numbers of at least 1"},
      {Table(kProduct, R"(, "shares": [{"label": "s", "part": "x", "whole": "p"}])"),
       "s: x is no row"},
      // A user fixing the file sees every fault of its fields at once.
      {Table(R"({"key": "p", "name": "product", "source": 3, "phrases": 199, "group": "g",
                 "reference": "ref", "bar": "high", "keys": [1], "colour": 1})"),
       "p: program is missing\np: source must be text\np: keys must be a list of texts\n"
       "p: bar must be a number above 0\np: unknown field colour"},
  };
  for (const Case& c : cases) {
    PathTable table;
    EXPECT_EQ(Load(c.text, table), c.fault) << c.text;
    EXPECT_TRUE(table.rows.empty());
  }
  PathTable table;
  EXPECT_NE(Load("{", table).find("not JSON: parse error at line 1, column 2"), std::string::npos);
}

TEST(PathTable, SweepAndSelfCheckRowsAreMadeFromTheTable) {
  PathTable table;
  ASSERT_EQ(Load(Table(kProduct), table), "");
  std::vector<const PathRow*> all = {&table.rows[0], &table.rows[1]};
  std::vector<PathRow> sweep = SweepRows(all, {25, 50});
  ASSERT_EQ(sweep.size(), 2u);  // p is drawn on no line
  EXPECT_EQ(sweep[1].key, "ref@50");
  EXPECT_EQ(sweep[1].name, "reference, 50 phrases");
  EXPECT_EQ(sweep[1].group, "sweep-ref");
  EXPECT_EQ(PathArguments(sweep[1], 60), (std::vector<std::string>{"60", "50"}));
  EXPECT_FALSE(sweep[1].sweep);
  std::vector<PathRow> pair = SelfCheckRows(table, all);
  ASSERT_EQ(pair.size(), 2u);
  EXPECT_EQ(pair[1].key, "ref-copy");
  EXPECT_EQ(pair[1].reference, "ref");
  EXPECT_EQ(pair[1].program, pair[0].program);
  EXPECT_TRUE(pair[0].reference.empty() && !pair[0].bar && !pair[1].bar);
  // Without the product's reference among the chosen rows there is no pair.
  EXPECT_TRUE(SelfCheckRows(table, {&table.rows[0]}).empty());
}

}  // namespace
