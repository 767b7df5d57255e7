#include "host/bases.h"

#include "host/host.h"

namespace ox {

// ---- CommandBase -----------------------------------------------------------------

bool CommandBase::Execute(OxDocument*) {
  return false;
}
int32_t CommandBase::GetState(OxDocument*) {
  return 0x40000000;
}
bool CommandBase::RestoreLayout(void*) {
  return false;
}
Text CommandBase::GetText() {
  return {};
}
bool CommandBase::Message(int32_t, void*) {
  return true;
}

namespace {

// The trampolines: the host's calls into a CommandBase. Nothing escapes them;
// a failure is answered with false / 0 / the empty text.
CommandBase* AsCommand(void* self) noexcept {
  return static_cast<CommandBase*>(self);
}

void CommandDestroy(void* self) noexcept {
  CommandBase* command = AsCommand(self);
  if (command == nullptr)
    return;
  // The storage starts at the most-derived object, not necessarily at this base.
  void* storage = dynamic_cast<void*>(command);
  command->~CommandBase();
  MemoryFree(storage);
}

OxBool CommandExecute(void* self, OxDocument* doc) noexcept {
  try {
    return self != nullptr && AsCommand(self)->Execute(doc);
  } catch (...) {
    return 0;
  }
}

OxBool CommandUnused(void*) noexcept {
  return 0;
}

int32_t CommandState(void* self, OxDocument* doc) noexcept {
  try {
    return self != nullptr ? AsCommand(self)->GetState(doc) : 0;
  } catch (...) {
    return 0;
  }
}

OxBool CommandRestoreLayout(void* self, void* layoutData) noexcept {
  try {
    return self != nullptr && AsCommand(self)->RestoreLayout(layoutData);
  } catch (...) {
    return 0;
  }
}

OxText* CommandText(void* self) noexcept {
  try {
    return self != nullptr ? AsCommand(self)->GetText().release() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

OxBool CommandMessage(void* self, int32_t id, void* data) noexcept {
  try {
    return self != nullptr && AsCommand(self)->Message(id, data);
  } catch (...) {
    return 0;
  }
}

constexpr OxCommandCallbacks kCommandCallbacks = {
    sizeof(OxCommandCallbacks),
    &CommandDestroy,
    &CommandExecute,
    &CommandUnused,
    &CommandUnused,
    &CommandState,
    &CommandUnused,
    &CommandRestoreLayout,
    &CommandText,
    &CommandMessage,
};

} // namespace

const OxCommandCallbacks* CommandBase::Callbacks() {
  return &kCommandCallbacks;
}

// ---- DialogBase ------------------------------------------------------------------

namespace {

int32_t DialogMessage(void* self, int32_t id, int32_t a, void* data) noexcept {
  try {
    return self != nullptr ? static_cast<DialogBase*>(self)->Message(id, a, data) : 0;
  } catch (...) {
    return 0;
  }
}

constexpr OxDialogCallbacks kDialogCallbacks = {sizeof(OxDialogCallbacks), &DialogMessage};

} // namespace

DialogBase::DialogBase() : dialog_(DialogCreate(&kDialogCallbacks, this)) {}

// The host may still send messages while it closes the window here; they
// reach this base's operations, since the derived part is already gone.
DialogBase::~DialogBase() {
  DialogDestroy(dialog_);
}

bool DialogBase::CreateLayout() {
  return true;
}
bool DialogBase::InitValues() {
  return true;
}
bool DialogBase::CoreMessage(int32_t, void*) {
  return true;
}
bool DialogBase::Command(int32_t, void*) {
  return true;
}
bool DialogBase::AskClose() {
  return false;
}
void DialogBase::Notify(void*) {}
void DialogBase::Destroyed() {}

int32_t DialogBase::Message(int32_t id, int32_t a, void* data) {
  switch (id) {
  case OX_DLGMSG_CREATE_LAYOUT: return CreateLayout() ? 1 : 0;
  case OX_DLGMSG_INIT_VALUES: return InitValues() ? 1 : 0;
  case OX_DLGMSG_CORE_MESSAGE: return CoreMessage(a, data) ? 1 : 0;
  case OX_DLGMSG_COMMAND: return Command(a, data) ? 1 : 0;
  case OX_DLGMSG_ASK_CLOSE: return AskClose() ? 1 : 0; // nonzero refuses
  case OX_DLGMSG_NOTIFY: Notify(data); return 1;
  case OX_DLGMSG_DESTROYED: Destroyed(); return 1;
  default: return 0;
  }
}

bool DialogBase::IsOpen() const {
  OxElementDesc query{};
  query.size = sizeof(query);
  query.kind = OX_ELEM_IS_OPEN;
  return DialogAddElement(dialog_, query);
}

// ---- TreeModelBase ---------------------------------------------------------------

void* TreeModelBase::FirstRow(void*, void*) {
  return nullptr;
}
void* TreeModelBase::FirstChild(void*, void*, void*) {
  return nullptr;
}
void* TreeModelBase::NextRow(void*, void*, void*) {
  return nullptr;
}
void* TreeModelBase::PreviousRow(void*, void*, void*) {
  return nullptr;
}
int32_t TreeModelBase::CellWidth(void*, void*, void*, int32_t, OxArea*) {
  return 0;
}
int32_t TreeModelBase::HeaderWidth(void*, void*, int32_t, OxArea*) {
  return 0;
}
int32_t TreeModelBase::LineHeight(void*, void*, void*, int32_t, OxArea*) {
  return 0;
}
void TreeModelBase::DrawCell(void*, void*, void*, int32_t, const OxDrawRequest&, int32_t) {}
bool TreeModelBase::DrawHeader(void*, void*, int32_t, const OxDrawRequest&) {
  return false;
}
bool TreeModelBase::IsSelected(void*, void*, void*) {
  return false;
}
bool TreeModelBase::IsOpened(void*, void*, void*) {
  return false;
}
Text TreeModelBase::RowName(void*, void*, void*) {
  return {};
}
int64_t TreeModelBase::RowId(void*, void*, void*) {
  return 0;
}
int32_t TreeModelBase::RowDragType(void*, void*, void*) {
  return 0;
}
void TreeModelBase::RowContainer(void*, void*, void*, int32_t, OxContainer*) {}
int32_t TreeModelBase::RowChosen(void*, void*, void*, int32_t, int32_t) {
  return 0;
}

namespace {

TreeModelBase* AsModel(void* self) noexcept {
  return static_cast<TreeModelBase*>(self);
}

// Runs `call` on the model; null `self` or anything thrown gives `fallback`.
template <class R, class F> R Guard(void* self, R fallback, F&& call) noexcept {
  if (self == nullptr)
    return fallback;
  try {
    return call(AsModel(self));
  } catch (...) {
    return fallback;
  }
}

void* ModelFirstRow(void* self, void* root, void* userData) noexcept {
  return Guard<void*>(self, nullptr, [&](TreeModelBase* m) { return m->FirstRow(root, userData); });
}
void* ModelFirstChild(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<void*>(self, nullptr, [&](TreeModelBase* m) { return m->FirstChild(root, userData, row); });
}
void* ModelNextRow(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<void*>(self, nullptr, [&](TreeModelBase* m) { return m->NextRow(root, userData, row); });
}
void* ModelPreviousRow(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<void*>(self, nullptr, [&](TreeModelBase* m) { return m->PreviousRow(root, userData, row); });
}
int32_t ModelCellWidth(void* self, void* root, void* userData, void* row, int32_t column,
                       OxArea* area) noexcept {
  return Guard<int32_t>(self, 0,
                        [&](TreeModelBase* m) { return m->CellWidth(root, userData, row, column, area); });
}
int32_t ModelHeaderWidth(void* self, void* root, void* userData, int32_t column, OxArea* area) noexcept {
  return Guard<int32_t>(self, 0,
                        [&](TreeModelBase* m) { return m->HeaderWidth(root, userData, column, area); });
}
int32_t ModelLineHeight(void* self, void* root, void* userData, void* row, int32_t column,
                        OxArea* area) noexcept {
  return Guard<int32_t>(self, 0,
                        [&](TreeModelBase* m) { return m->LineHeight(root, userData, row, column, area); });
}
void ModelDrawCell(void* self, void* root, void* userData, void* row, int32_t column,
                   const OxDrawRequest* request, int32_t background) noexcept {
  if (request == nullptr)
    return;
  Guard<int>(self, 0, [&](TreeModelBase* m) {
    m->DrawCell(root, userData, row, column, *request, background);
    return 0;
  });
}
OxBool ModelDrawHeader(void* self, void* root, void* userData, int32_t column,
                       const OxDrawRequest* request) noexcept {
  if (request == nullptr)
    return 0;
  return Guard<OxBool>(
      self, 0, [&](TreeModelBase* m) { return OxBool{m->DrawHeader(root, userData, column, *request)}; });
}
OxBool ModelIsSelected(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<OxBool>(self, 0, [&](TreeModelBase* m) { return OxBool{m->IsSelected(root, userData, row)}; });
}
OxBool ModelIsOpened(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<OxBool>(self, 0, [&](TreeModelBase* m) { return OxBool{m->IsOpened(root, userData, row)}; });
}
OxText* ModelRowName(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<OxText*>(self, nullptr,
                        [&](TreeModelBase* m) { return m->RowName(root, userData, row).release(); });
}
int64_t ModelRowId(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<int64_t>(self, 0, [&](TreeModelBase* m) { return m->RowId(root, userData, row); });
}
int32_t ModelRowDragType(void* self, void* root, void* userData, void* row) noexcept {
  return Guard<int32_t>(self, 0, [&](TreeModelBase* m) { return m->RowDragType(root, userData, row); });
}
void ModelRowContainer(void* self, void* root, void* userData, void* row, int32_t what,
                       OxContainer* out) noexcept {
  Guard<int>(self, 0, [&](TreeModelBase* m) {
    m->RowContainer(root, userData, row, what, out);
    return 0;
  });
}
int32_t ModelRowChosen(void* self, void* root, void* userData, void* row, int32_t column,
                       int32_t flags) noexcept {
  return Guard<int32_t>(self, 0,
                        [&](TreeModelBase* m) { return m->RowChosen(root, userData, row, column, flags); });
}

constexpr OxTreeModelCallbacks kTreeModelCallbacks = {
    sizeof(OxTreeModelCallbacks),
    &ModelFirstRow,
    &ModelFirstChild,
    &ModelNextRow,
    &ModelPreviousRow,
    &ModelCellWidth,
    &ModelHeaderWidth,
    &ModelLineHeight,
    &ModelDrawCell,
    &ModelDrawHeader,
    &ModelIsSelected,
    &ModelIsOpened,
    &ModelRowName,
    &ModelRowId,
    &ModelRowDragType,
    &ModelRowContainer,
    &ModelRowChosen,
};

} // namespace

const OxTreeModelCallbacks* TreeModelBase::Callbacks() {
  return &kTreeModelCallbacks;
}

} // namespace ox
