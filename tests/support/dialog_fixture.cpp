#include "support/dialog_fixture.h"

#include "core/breach.h"
#include "core/output.h"
#include "runtime/runtime.h"
#include "scene/world.h"

#include <gtest/gtest.h>
#include <optional>

namespace test_support {

void DialogFixture::Start(const std::string& module) {
  host_ = std::make_unique<standin::Host>();
  standin::SetPrintSink([this](std::string_view line) { printed_.emplace_back(line); });
  ASSERT_TRUE(host_->LoadModule(module)) << host_->Error();
  standin::ResetBreaches();
}

void DialogFixture::Stop() {
  if (host_ == nullptr)
    return;
  EXPECT_EQ(standin::BreachCount(), 0u) << "the module broke the host's contract";
  host_->Unload();
  host_.reset();
  standin::SetPrintSink({});
}

void DialogFixture::Load(std::string_view json) {
  std::string error;
  ASSERT_TRUE(standin::LoadSceneString(json, error)) << error;
}

void DialogFixture::Open() {
  ASSERT_EQ(standin::ExecuteCommand(kCommandId), std::optional<bool>(true));
  ASSERT_TRUE(standin::HasOpenDialog());
}

void DialogFixture::Close() {
  const standin::UiOutcome outcome = standin::Close();
  ASSERT_TRUE(outcome.ok) << outcome.reason;
}

void DialogFixture::Set(int32_t id, double value) {
  const standin::UiOutcome outcome = standin::SetElement(id, value);
  ASSERT_TRUE(outcome.ok) << "set " << id << " " << value << ": " << outcome.reason;
}

void DialogFixture::SetIfChanged(int32_t id, double value) {
  if (Element(id).value != value)
    Set(id, value);
}

void DialogFixture::Press(int32_t id) {
  printed_.clear();
  const standin::UiOutcome outcome = standin::Press(id);
  ASSERT_TRUE(outcome.ok) << "press " << id << ": " << outcome.reason;
}

void DialogFixture::Choose(int32_t row) {
  const standin::UiOutcome outcome = standin::Choose(row);
  ASSERT_TRUE(outcome.ok) << "choose " << row << ": " << outcome.reason;
}

const standin::ElementInfo& DialogFixture::Element(int32_t id) {
  elements_ = standin::OpenDialogElements();
  for (const standin::ElementInfo& element : elements_)
    if (element.id == id && element.kind != OX_ELEM_STATIC)
      return element;
  ADD_FAILURE() << "no element " << id;
  static const standin::ElementInfo none;
  return none;
}

std::vector<std::string> DialogFixture::Header() {
  const std::optional<standin::ListCells> list = standin::VisibleList();
  return list ? list->header : std::vector<std::string>{};
}

std::vector<std::string> DialogFixture::Rows() {
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

std::vector<std::string> DialogFixture::Messages() const {
  std::vector<std::string> messages;
  for (const std::string& line : printed_)
    if (line.rfind("message(", 0) == 0)
      messages.push_back(line);
  return messages;
}

} // namespace test_support
