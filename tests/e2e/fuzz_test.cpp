// Random sessions: a seeded sequence of what a person can do (change any
// element, press any button, use the menu, choose rows, answer questions,
// close and reopen, undo and redo, change the selection and the document)
// over a scene that holds instances of every kind. After every step the host
// must have seen no breach, and the list must show only what it may show:
// the header and rows of the kind the dialog shows, nothing left from an
// earlier window or kind, nothing drawn while identifying, and each cell
// drawn the flavour's way.
//
// A failure prints the seed and the script of the steps so far, which
// `standin run tests/scenes/e2e_fuzz.json SCRIPT --module ...` replays.
// ORPHANEX_E2E_SEED=N runs that seed in place of the fixed ones.
#include "core/breach.h"
#include "core/output.h"
#include "e2e/e2e_support.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "script/script.h"
#include "ui/gui.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace e2e {
namespace {

constexpr int kSteps = 1000;

std::vector<uint32_t> Seeds() {
  if (const char* seed = std::getenv("ORPHANEX_E2E_SEED"))
    return {static_cast<uint32_t>(std::strtoul(seed, nullptr, 10))};
  return {1, 2, 3, 5, 8, 13, 21, 34};
}

const std::vector<std::string> kHeaders[] = {
    {"Object With Tag", "Tag Name"},
    {"Material", "Channel", "In Layer Shader?"},
    {"Object Name"},
    {"Post Effect"},
};

const std::vector<std::string> kChannels = {
    "Color",    "Luminance",      "Transparency", "Reflectance",  "Environment", "Fog",    "Bump",   "Alpha",
    "Specular", "Specular Color", "Glow",         "Displacement", "Diffusion",   "Normal", "Unnamed"};

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}

// "Tag plugin 123 not found." and the like.
bool IsNotFound(const std::string& s, const std::string& lead) {
  const std::string tail = " not found.";
  if (!StartsWith(s, lead) || s.size() <= lead.size() + tail.size() ||
      s.substr(s.size() - tail.size()) != tail)
    return false;
  const std::string number = s.substr(lead.size(), s.size() - lead.size() - tail.size());
  return number.find_first_not_of("-0123456789") == std::string::npos;
}

// The fixture names its nodes by kind: objects that carry tags O-/X-, tags
// T-, plug-in objects X-, materials M-, post effects V-.
bool RowFitsKind(int kind, const std::vector<std::string>& cells) {
  switch (kind) {
  case 0: {
    if (cells.size() != 2)
      return false;
    const bool found =
        (StartsWith(cells[0], "O-") || StartsWith(cells[0], "X-")) && StartsWith(cells[1], "T-");
    return found || (IsNotFound(cells[0], "Tag plugin ") && cells[1].empty());
  }
  case 1: {
    if (cells.size() != 3)
      return false;
    const bool found = StartsWith(cells[0], "M-") &&
                       std::find(kChannels.begin(), kChannels.end(), cells[1]) != kChannels.end() &&
                       (cells[2] == "Yes" || cells[2] == "No");
    return found || (IsNotFound(cells[0], "Shader plugin ") && cells[1] == "--" && cells[2] == "--");
  }
  case 2: return cells.size() == 1 && (StartsWith(cells[0], "X-") || IsNotFound(cells[0], "Object plugin "));
  case 3: return cells.size() == 1 && (StartsWith(cells[0], "V-") || IsNotFound(cells[0], "VP plugin "));
  }
  return false;
}

double ValueOf(int32_t id) {
  for (const standin::ElementInfo& e : standin::OpenDialogElements())
    if (e.id == id && e.kind != OX_ELEM_STATIC)
      return e.value;
  return -1;
}

std::vector<int32_t> ScopeEntries() {
  for (const standin::ElementInfo& e : standin::OpenDialogElements())
    if (e.id == 5007 && e.kind == OX_ELEM_DROPDOWN) {
      std::vector<int32_t> ids;
      for (const auto& entry : e.entries)
        ids.push_back(entry.first);
      return ids;
    }
  return {};
}

class FuzzTest : public ::testing::TestWithParam<std::tuple<uint32_t, Flavour>> {
protected:
  // One random step as a script line.
  std::string NextStep() {
    auto pick = [&](std::initializer_list<const char*> options) {
      return std::string(options.begin()[rng() % options.size()]);
    };
    // A closed window is mostly reopened soon, as a person would.
    if (!standin::HasOpenDialog() && rng() % 4 != 0)
      return "open";
    const int r = static_cast<int>(rng() % 100);
    if (r < 22)
      return "press 1002";
    if (r < 32)
      return "set 5008 " + std::to_string(rng() % 3);
    if (r < 40)
      return "set 5006 " + std::to_string(rng() % 4);
    if (r < 46) {
      std::vector<int32_t> scopes = ScopeEntries();
      scopes.push_back(3); // no type offers it: refused, nothing sent
      return "set 5007 " + std::to_string(scopes[rng() % scopes.size()]);
    }
    if (r < 52)
      return "set 1005 " + pick({"7001", "7002", "0", "12345", "7001.9", "-7001", "1e18"});
    if (r < 56)
      return pick({"set 5009 0", "set 5009 1", "set 5010 0", "set 5010 1"});
    if (r < 63)
      return pick({"answer yes", "answer no"});
    if (r < 71)
      return "choose " + std::to_string(rng() % 4);
    if (r < 75)
      return pick({"close", "open", "press 1003"});
    if (r < 77)
      return "open";
    if (r < 83)
      return pick({"undo", "redo"});
    if (r < 90)
      return pick({"select object O-Root", "select object O-Root/X-Inst",
                   "select object O-Root/X-Inst/X-Inner", "select object X-Top", "select material M-Stone",
                   "select material M-Wood", "deselect all"});
    if (r < 93)
      return standin::DocumentCount() < 3 && rng() % 2 == 0 ? "document new" : "document activate 0";
    if (r < 96)
      return pick({"menu 5001", "menu 5002"});
    return pick({"show list", "show dialog", "show selection"});
  }

  std::mt19937 rng;
};

TEST_P(FuzzTest, NoBreachAndNoStaleRow) {
  const auto& [seed, flavour] = GetParam();
  rng.seed(seed);
  const bool mac = std::string(flavour.name) == "mac";
  Session session;
  ASSERT_TRUE(session.Start(SceneFile("e2e_fuzz.json"), flavour.module)) << session.error;

  std::string script;
  auto fail = [&](const std::string& what) {
    ADD_FAILURE() << "seed " << seed << " (" << flavour.name << "): " << what << "\nscript so far:\n"
                  << script;
  };

  size_t rowsBefore = 0;
  for (int step = 0; step < kSteps; ++step) {
    const bool wasOpen = standin::HasOpenDialog();
    const int32_t actionAtPress = wasOpen ? static_cast<int32_t>(ValueOf(5008)) : -1;
    const std::string line = NextStep();
    script += line + "\n";

    std::optional<standin::ScriptCommand> command;
    std::string error;
    ASSERT_TRUE(standin::ParseScriptLine(line, command, error)) << line << ": " << error;
    const size_t printedBefore = session.printed.size();
    standin::MarkBlock();
    const bool ok = standin::RunScriptCommand(*command, error);
    standin::CheckUndoBrackets();
    if (standin::BreachCount() != 0)
      return fail("breach after '" + line + "'");
    if (line == "open" && !ok)
      return fail("open failed: " + error);
    if (!standin::HasOpenDialog()) {
      rowsBefore = 0;
      continue;
    }

    const std::optional<standin::ListCells> list = standin::VisibleList();
    if (!list)
      return fail("the open dialog shows no list");
    const int kind = static_cast<int>(ValueOf(5006));
    const bool identifying = ValueOf(5008) == 0;
    if (kind < 0 || kind > 3)
      return fail("type drop-down holds " + std::to_string(kind));
    const size_t rows = list->rows.size();

    // What the list may show.
    if (identifying) {
      if (list->headerDrawn || std::count(list->rowDrawn.begin(), list->rowDrawn.end(), true) != 0)
        return fail("the list draws while identifying, after '" + line + "'");
    } else {
      if (list->header != kHeaders[kind])
        return fail("header of another kind after '" + line + "'");
      for (const auto& cells : list->rows)
        if (!RowFitsKind(kind, cells)) {
          std::string joined;
          for (const std::string& cell : cells)
            joined += cell + " | ";
          return fail("row '" + joined + "' does not fit kind " + std::to_string(kind) + " after '" + line +
                      "'");
        }
    }

    // How many rows this step may leave.
    const bool declined = std::find(session.printed.begin() + static_cast<long>(printedBefore),
                                    session.printed.end(), "answer: no") != session.printed.end();
    std::string expected;
    if (!wasOpen) {
      if (rows != 0)
        expected = "no row in a window just opened";
    } else if (ok && (StartsWith(line, "set 5006") || StartsWith(line, "set 5007"))) {
      if (rows != 0)
        expected = "no row after a type or scope change";
    } else if (line == "press 1002" && ok) {
      if (actionAtPress == 0 && rows != 0)
        expected = "no row after identification";
      if (actionAtPress == 1 && rows == 0)
        expected = "rows or the not-found row after a list run";
      if (actionAtPress == 2 && !declined && rows == 0)
        expected = "the not-found row or kept shaders after a removal";
      if (actionAtPress == 2 && declined && rows != rowsBefore)
        expected = "the rows as they were after a declined removal";
    } else if (rows != rowsBefore) {
      expected = "the rows as they were";
    }
    if (!expected.empty())
      return fail(expected + " after '" + line + "' (" + std::to_string(rowsBefore) + " -> " +
                  std::to_string(rows) + " rows)");
    rowsBefore = rows;

    // Each cell cleared with the flavour's pen.
    for (const standin::DrawCall& call : standin::LastTreeDrawing().calls) {
      if (call.ops.empty())
        continue;
      const size_t resets = std::count_if(call.ops.begin(), call.ops.end(), [](const standin::DrawOp& op) {
        return op.kind == standin::DrawOp::ResetPen;
      });
      const size_t fill = mac ? 1 : 0;
      if (resets != (mac ? 1u : 0u) || (mac && call.ops[0].kind != standin::DrawOp::ResetPen) ||
          call.ops.size() <= fill || call.ops[fill].kind != standin::DrawOp::FillRect)
        return fail(std::string("a cell not cleared the ") + flavour.name + " way after '" + line + "'");
    }
  }

  session.host.Unload();
  EXPECT_EQ(standin::BreachCount(), 0u) << "seed " << seed << "\n" << script;
  EXPECT_EQ(standin::LiveBlocks(), 0u) << "seed " << seed << ": the module left blocks in the host allocator";
}

INSTANTIATE_TEST_SUITE_P(
    Seeds, FuzzTest, ::testing::Combine(::testing::ValuesIn(Seeds()), ::testing::ValuesIn(BothFlavours())),
    [](const ::testing::TestParamInfo<FuzzTest::ParamType>& info) {
      return "seed" + std::to_string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

} // namespace
} // namespace e2e
