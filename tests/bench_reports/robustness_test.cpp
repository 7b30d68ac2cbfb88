// No document stops the writers: every member of every sample taken away, made null, made a
// value of another type; old format-1 files of either harness; things that are not objects.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "compare.h"
#include "report_files.h"
#include "report_test_util.h"

namespace {

void Everything(const Json& results, const Json& other) {
  std::vector<ReportFile> files = ReportFiles(results);
  EXPECT_FALSE(files.empty());
  SummaryText(results);
  SelfCheckHolds(results);
  CompareText(results, other, CompareRuns(results, other));
  CompareText(other, results, CompareRuns(other, results));
}

// Calls `visit` with a pointer to every node below `node`, depth first.
void EachNode(Json& node, const std::function<void(Json&)>& visit) {
  if (node.is_object()) {
    for (auto& item : node.items()) {
      visit(item.value());
      EachNode(item.value(), visit);
    }
  } else if (node.is_array()) {
    // The first element tells for the rest.
    for (size_t i = 0; i < node.size() && i < 1; ++i) {
      visit(node[i]);
      EachNode(node[i], visit);
    }
  }
}

}  // namespace

TEST(Robustness, NothingMissingOrMistypedStopsAWriter) {
  const std::vector<Json> kinds = {Json(nullptr), Json::array({1, "a", nullptr})};
  // A number gone wrong, as a document made in memory might hold one.
  const std::vector<Json> numbers = {Json(-1), Json(1e308),
                                     Json(std::numeric_limits<double>::quiet_NaN())};
  for (const char* name :
       {"rounds.json", "sweep.json", "self-check.json", "failed.json", "windows.json"}) {
    Json document = LoadDocument(name);
    Json other = LoadDocument("windows.json");
    size_t nodes = 0;
    EachNode(document, [&](Json& node) {
      Json kept = node;
      for (const Json& kind : node.is_number() ? numbers : kinds) {
        node = kind;
        EXPECT_NO_THROW(Everything(document, other)) << name << " with " << kind.dump();
      }
      node = kept;
      ++nodes;
    });
    EXPECT_GT(nodes, 20u) << name;
    // Each member taken away.
    std::function<void(Json&)> without = [&](Json& node) {
      if (!node.is_object()) return;
      std::vector<std::string> keys;
      for (auto& item : node.items()) keys.push_back(item.key());
      for (const std::string& key : keys) {
        Json kept = node[key];
        node.erase(key);
        EXPECT_NO_THROW(Everything(document, other)) << name << " without " << key;
        node[key] = kept;
      }
    };
    without(document);
    EachNode(document, without);
  }
}

TEST(Robustness, DocumentsThatAreNoResults) {
  for (const Json& odd :
       {Json(nullptr), Json::array(), Json(3), Json("results"), Json::object(), Json{{"format", 1}},
        Json{{"kind", "failed"}}, Json{{"kind", "failed"}, {"failure", 7}},
        Json{{"paths", Json::array({1, nullptr, "x"})}}}) {
    EXPECT_NO_THROW(Everything(odd, odd)) << odd.dump();
    EXPECT_NO_THROW(Everything(odd, LoadDocument("rounds.json"))) << odd.dump();
  }
  for (const char* name : {"compare-old.json", "compare-new.json", "compare-processes-old.json"}) {
    EXPECT_NO_THROW(Everything(LoadDocument(name), LoadDocument("rounds.json"))) << name;
  }
}
