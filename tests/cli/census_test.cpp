// `standin census`: what each scene carries, unknown plug-ins first, totals
// over several scenes, the stable json and csv forms, and scenes that fail
// to load among good ones.
#include "cli_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace standin::test {
namespace {

// The rows of the text form below the file's name: "REGISTRY KIND ID COUNT [NAME]".
std::vector<std::string> TextRows(const std::string& out) {
  std::vector<std::string> rows;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string word, row;
    while (words >> word)
      row += (row.empty() ? "" : " ") + word;
    if (row.rfind("UNKNOWN ", 0) == 0 || row.rfind("known ", 0) == 0)
      rows.push_back(row);
  }
  return rows;
}

class Census : public ::testing::Test {
protected:
  CliDir dir;
  // Two scenes whose registries disagree about 1012345.
  std::string a = dir.Write("a.json", R"({
    "plugins": [ {"id": 1012345, "type": 6, "name": "Wobble Tag"}, {"id": 5159, "type": 5, "name": "Cube"} ],
    "objects": [ {"name": "Cube", "type": 5159, "tags": [
        {"name": "Wobble", "type": 1012345}, {"name": "Drift", "type": 1057311},
        {"name": "Drift.1", "type": 1057311} ]} ],
    "materials": [ {"name": "M", "type": 5703, "channels": {"0": {"name": "G", "type": 1060007}}} ],
    "renderSettings": null })");
  std::string b = dir.Write("b.json", R"({
    "objects": [ {"name": "Cube", "type": 5159, "tags": [ {"name": "Wobble", "type": 1012345} ]} ],
    "renderSettings": {"videoposts": [ {"name": "Bloom", "type": 1036221} ]} })");
};

TEST_F(Census, UnknownTypesComeFirstWithTheirKindAndCount) {
  const CliResult one = RunStandin({"census", a}, dir);
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.err, "") << "one file: no progress line";
  EXPECT_EQ(one.out.rfind(a + "\n", 0), 0u) << one.out;
  EXPECT_EQ(TextRows(one.out),
            (std::vector<std::string>{"UNKNOWN tag 1057311 2", "UNKNOWN shader 1060007 1",
                                      "known tag 1012345 1 Wobble Tag", "known object 5159 1 Cube"}));
  EXPECT_NE(one.out.find("missing plug-ins: 1057311 (tag), 1060007 (shader)\n"), std::string::npos)
      << one.out;
}

TEST_F(Census, SeveralScenesAddATotalAndABadOneDoesNotStopTheOthers) {
  const std::string bad = dir.Write("bad.json", "{\"objects\": [");
  const CliResult result = RunStandin({"census", b, bad, a}, dir);
  EXPECT_EQ(result.status, 2) << "not every file loaded";
  EXPECT_EQ(result.err, "census: [1/3] " + b + "\ncensus: [2/3] " + bad +
                            "\nstandin census: cannot read scene " + bad +
                            ": objects: invalid JSON: parse error at line 1, column 14: syntax error "
                            "while parsing value - unexpected end of input; expected '[', '{', or a literal\n"
                            "census: [3/3] " +
                            a + "\n");
  const std::vector<std::string> rows = TextRows(result.out);
  // b's rows, a's rows, then the totals (with a files column): 1012345 is
  // unknown to b's registry, so unknown in total.
  const std::vector<std::string> totals(rows.end() - 5, rows.end());
  EXPECT_EQ(totals, (std::vector<std::string>{"UNKNOWN tag 1012345 2 2 Wobble Tag", "UNKNOWN tag 1057311 2 1",
                                              "UNKNOWN shader 1060007 1 1", "UNKNOWN object 5159 2 2 Cube",
                                              "UNKNOWN videopost 1036221 1 1"}));
  EXPECT_NE(result.out.find("all 2 files that loaded (of 3)"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("1012345 (tag, in 1 of 2 files)"), std::string::npos) << result.out;
}

TEST_F(Census, JsonAndCsvCarryTheSameFacts) {
  const std::string bad = dir.Write("bad.json", "{\"colour\": 1}");
  const CliResult json = RunStandin({"census", "--format", "json", a, bad, b}, dir);
  EXPECT_EQ(json.status, 2);
  const nlohmann::json doc = nlohmann::json::parse(json.out);
  EXPECT_EQ(doc["format"], "standin-census/1");
  ASSERT_EQ(doc["files"].size(), 3u);
  EXPECT_EQ(doc["files"][0]["file"], a);
  EXPECT_EQ(doc["files"][0]["types"][0],
            nlohmann::json::parse(R"({"kind":"tag","id":1057311,"count":2,"known":false,"name":null})"));
  EXPECT_EQ(
      doc["files"][0]["types"][2],
      nlohmann::json::parse(R"({"kind":"tag","id":1012345,"count":1,"known":true,"name":"Wobble Tag"})"));
  EXPECT_EQ(doc["files"][1], nlohmann::json::parse(R"({"file":")" + bad +
                                                   R"(","loaded":false,"error":"colour: unknown key"})"));
  EXPECT_EQ(doc["totals"][0], nlohmann::json::parse(R"({"kind":"tag","id":1012345,"count":2,"files":2,
                                                        "known":false,"unknownIn":1,"name":"Wobble Tag"})"));
  EXPECT_EQ(doc["totals"].size(), 5u);

  const CliResult csv = RunStandin({"census", "--format", "csv", a, b}, dir);
  EXPECT_EQ(csv.status, 0);
  std::istringstream lines(csv.out);
  std::vector<std::string> records;
  for (std::string line; std::getline(lines, line);) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r') << "CRLF line ends";
    line.pop_back();
    records.push_back(line);
  }
  ASSERT_EQ(records.size(), 1u + 4 + 3 + 5);
  EXPECT_EQ(records[0], "record,file,kind,id,count,known,files,name");
  EXPECT_EQ(records[1], "type," + a + ",tag,1057311,2,false,1,");
  EXPECT_EQ(records[3], "type," + a + ",tag,1012345,1,true,1,Wobble Tag");
  EXPECT_EQ(records[8], "total,,tag,1012345,2,false,2,Wobble Tag");
}

TEST_F(Census, CsvQuotesWhatNeedsIt) {
  const std::string odd = dir.Write("odd, \"quoted\".json", R"({
    "plugins": [ {"id": 7, "type": 6, "name": "Tag, \"the\" one"} ],
    "objects": [ {"name": "A", "type": 5159, "tags": [ {"name": "T", "type": 7} ]} ] })");
  const CliResult csv = RunStandin({"census", "--format", "csv", odd}, dir);
  EXPECT_EQ(csv.status, 0) << csv.err;
  const std::string file = "\"" + dir.path() + "/odd, \"\"quoted\"\".json\"";
  EXPECT_NE(csv.out.find("type," + file + ",tag,7,1,true,1,\"Tag, \"\"the\"\" one\"\r\n"), std::string::npos)
      << csv.out;
}

// Cycles of references and a chain a million levels deep are read and
// counted (no recursion follows the depth or the references).
TEST_F(Census, CyclesAndDeepChainsAreCounted) {
  const std::string cycle = dir.Write("cycle.json", R"({"materials": [ {"name": "M", "type": 5703,
    "channels": {"0": {"name": "L1", "type": 1011123, "uid": "A", "layers": [
      {"kind": 2, "shader": {"name": "L2", "type": 1011123, "uid": "B", "layers": [ {"kind": 2, "ref": "A"} ]}} ]}},
    "reflectance": [ {"ref": "B"} ] } ]})");
  constexpr size_t kDepth = 1000000;
  const std::string chain = dir.Write("chain.json", DeepChainScene(kDepth));
  const CliResult result = RunStandin({"census", cycle, chain}, dir);
  EXPECT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> rows = TextRows(result.out);
  EXPECT_EQ(rows, (std::vector<std::string>{"UNKNOWN shader 1011123 2", "UNKNOWN tag 1057311 1",
                                            "UNKNOWN object 5140 1000001", "UNKNOWN tag 1057311 1 1",
                                            "UNKNOWN shader 1011123 2 1", "UNKNOWN object 5140 1000001 1"}));
}

} // namespace
} // namespace standin::test
