#include "ui/gui.h"

namespace standin {

namespace {
OxTreeViewLibrary g_treeView{sizeof(OxTreeViewLibrary), nullptr, nullptr, nullptr};
} // namespace

void FillUiAreas(OxHostTables&) {}
const OxTreeViewLibrary* TreeViewLibrary() {
  return &g_treeView;
}
void ResetUi() {}
bool HasOpenDialog() {
  return false;
}
UiOutcome SetElement(int32_t, double) {
  return UiOutcome::Fail("no dialog is open");
}
UiOutcome Press(int32_t) {
  return UiOutcome::Fail("no dialog is open");
}
UiOutcome Menu(int32_t) {
  return UiOutcome::Fail("no dialog is open");
}
UiOutcome Close() {
  return UiOutcome::Fail("no dialog is open");
}
UiOutcome Choose(int32_t) {
  return UiOutcome::Fail("no dialog is open");
}
void BroadcastCoreMessage(int32_t) {}
std::vector<std::string> DialogLines() {
  return {};
}
std::vector<std::string> ListLines() {
  return {};
}
ListCells VisibleList() {
  return {};
}
void QueueAnswer(bool) {}
size_t QueuedAnswers() {
  return 0;
}
void ClearAnswers() {}
void SetAnswerProvider(AnswerProvider) {}

} // namespace standin
