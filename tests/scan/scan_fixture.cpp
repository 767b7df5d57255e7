#include "scan/scan_fixture.h"

#include "core/breach.h"
#include "core/output.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "ui/gui.h"

#include <optional>

namespace scantest {

namespace {

constexpr int32_t kCommandId = 1066888;

void Set(int32_t id, double value) {
  const standin::UiOutcome outcome = standin::SetElement(id, value);
  ASSERT_TRUE(outcome.ok) << "set " << id << " " << value << ": " << outcome.reason;
}

double Value(int32_t id) {
  for (const standin::ElementInfo& element : standin::OpenDialogElements())
    if (element.id == id && element.kind != OX_ELEM_STATIC)
      return element.value;
  ADD_FAILURE() << "no element " << id;
  return 0;
}

void SetIfChanged(int32_t id, double value) {
  if (Value(id) != value)
    Set(id, value);
}

} // namespace

void ScanTest::SetUp() {
  host_ = std::make_unique<standin::Host>();
  standin::SetPrintSink([this](std::string_view line) { printed_.emplace_back(line); });
  ASSERT_TRUE(host_->LoadModule(ORPHANEX_MODULE_PATH)) << host_->Error();
  standin::ResetBreaches();
}

void ScanTest::TearDown() {
  EXPECT_EQ(standin::BreachCount(), 0u) << "the module broke the host's contract";
  host_->Unload();
  host_.reset();
  standin::SetPrintSink({});
}

void ScanTest::Load(std::string_view json) {
  std::string error;
  ASSERT_TRUE(standin::LoadSceneString(json, error)) << error;
}

void ScanTest::Process(const Options& run, std::vector<bool> answers) {
  if (!standin::HasOpenDialog()) {
    ASSERT_EQ(standin::ExecuteCommand(kCommandId), std::optional<bool>(true));
  }
  // Only what differs is set, as a person would: a change of type or scope
  // empties the list. Type and scope first, while the action lets them be
  // changed.
  if ((Value(5006) != run.type || Value(5007) != run.scope) && Value(5008) == 0) {
    ASSERT_NO_FATAL_FAILURE(Set(5008, kList));
  }
  ASSERT_NO_FATAL_FAILURE(SetIfChanged(5006, run.type));
  ASSERT_NO_FATAL_FAILURE(SetIfChanged(5007, run.scope));
  ASSERT_NO_FATAL_FAILURE(SetIfChanged(5008, run.action));
  ASSERT_NO_FATAL_FAILURE(SetIfChanged(1005, run.id));
  if (run.action == kRemove) {
    ASSERT_NO_FATAL_FAILURE(SetIfChanged(5009, run.warn ? 1 : 0));
    ASSERT_NO_FATAL_FAILURE(SetIfChanged(5010, run.keep ? 1 : 0));
  }
  standin::ClearAnswers();
  for (bool yes : answers)
    standin::QueueAnswer(yes);
  printed_.clear();
  const standin::UiOutcome pressed = standin::Press(1002);
  ASSERT_TRUE(pressed.ok) << pressed.reason;
  EXPECT_EQ(standin::QueuedAnswers(), 0u) << "a queued answer was not asked for";
  EXPECT_EQ(standin::UnbalancedUndoBrackets(), 0);
}

std::vector<std::string> ScanTest::Rows() {
  std::vector<std::string> rows;
  const std::optional<standin::ListCells> list = standin::VisibleList();
  if (!list)
    return rows;
  for (const auto& cells : list->rows) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i)
      line += (i == 0 ? "" : " | ") + cells[i];
    rows.push_back(std::move(line));
  }
  return rows;
}

std::vector<std::string> ScanTest::Messages() const {
  std::vector<std::string> messages;
  for (const std::string& line : printed_)
    if (line.rfind("message(", 0) == 0)
      messages.push_back(line);
  return messages;
}

std::string ScanTest::Saved() const {
  return standin::SaveSceneString();
}

std::string ScanTest::Scene() const {
  std::string text;
  for (const std::string& line : standin::SceneLines())
    text += line + "\n";
  return text;
}

OxNode* ScanTest::Object(std::string_view path) const {
  OxNode* found = nullptr;
  standin::ForEachObject(standin::ActiveDocument(), [&](OxNode* object, int) {
    if (found == nullptr && standin::ObjectPathOf(object) == path)
      found = object;
  });
  return found;
}

size_t ScanTest::ObjectCount() const {
  size_t count = 0;
  standin::ForEachObject(standin::ActiveDocument(), [&](OxNode*, int) { ++count; });
  return count;
}

void BuildChain(OxDocument* doc, size_t depth, int32_t objectType, int32_t tagType) {
  OxNode* parent = nullptr;
  for (size_t i = 0; i < depth; ++i) {
    OxNode* object = standin::AddObject(doc, parent, "O" + std::to_string(i), objectType);
    ASSERT_NE(object, nullptr);
    if (tagType != 0) {
      ASSERT_NE(standin::AddTag(object, "T" + std::to_string(i), tagType), nullptr);
    }
    parent = object;
  }
}

} // namespace scantest
