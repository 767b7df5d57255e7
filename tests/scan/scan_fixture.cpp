#include "scan/scan_fixture.h"

#include "core/breach.h"
#include "core/output.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "ui/gui.h"

#include <optional>

namespace scantest {

void ScanTest::Process(const Options& run, std::vector<bool> answers) {
  if (!standin::HasOpenDialog()) {
    ASSERT_NO_FATAL_FAILURE(Open());
  }
  // Only what differs is set, as a person would: a change of type or scope
  // empties the list. Type and scope first, while the action lets them be
  // changed.
  if ((Element(5006).value != run.type || Element(5007).value != run.scope) && Element(5008).value == 0) {
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
  ASSERT_NO_FATAL_FAILURE(Press(1002)); // empties printed_ first
  EXPECT_EQ(standin::QueuedAnswers(), 0u) << "a queued answer was not asked for";
  EXPECT_EQ(standin::UnbalancedUndoBrackets(), 0);
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
