// Internal state of the ui subsystem, shared by its source files.
#pragma once

#include "core/handle_table.h"
#include "host/ox_abi.h"
#include "ui/gui.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace standin::ui {

struct Container {
  OxContainer* handle = nullptr;
  int32_t id = 0;
  bool hostOwned = false; // lent to the module for one call; it must not release it
  std::vector<ContainerEntry> entries;
};

struct TreeView {
  std::vector<int32_t> columns;
  void* root = nullptr;
  const OxTreeModelCallbacks* model = nullptr;
  void* self = nullptr;
  void* userData = nullptr;
  bool bound = false;
  bool dirty = false;
};

struct Element {
  OxElement* handle = nullptr; // custom elements only
  int32_t kind = 0;
  int32_t id = 0;
  int32_t flags = 0, width = 0, height = 0, extra = 0, customType = 0;
  std::string text;
  bool enabled = true;
  bool dead = false; // its window is gone
  double value = 0;
  bool hasLimits = false;
  double min = 0, max = 0, step = 0;
  int32_t format = 0;
  std::vector<std::pair<int32_t, std::string>> entries;
  std::vector<ContainerEntry> settings;
  std::unique_ptr<TreeView> tree; // custom type OX_LIBRARY_TREEVIEW
};

struct Group;
struct LayoutItem {
  Element* element = nullptr;
  Group* group = nullptr;
};

struct Group {
  int32_t id = 0, flags = 0, columns = 1, rows = 0, groupFlags = 0, width = 0, height = 0;
  std::string title;
  bool hasBorder = false;
  uint32_t border = 0;
  bool hasSpacing = false;
  int32_t spacing[4] = {0, 0, 0, 0};
  std::vector<LayoutItem> items;
};

struct MenuItem {
  bool submenu = false;
  int32_t id = 0;
  std::string text;
  std::vector<MenuItem> children;
};

struct Window {
  std::string title;
  std::vector<MenuItem> menu;
  std::vector<size_t> menuPath;               // open sub-menus, as child indices from the top
  std::vector<std::unique_ptr<Group>> groups; // groups[0] is the window itself
  std::vector<Group*> groupStack;
  std::vector<std::unique_ptr<Element>> elements;
  Window();
  Group* Current() { return groupStack.empty() ? groups[0].get() : groupStack.back(); }
};

enum class WindowState { Closed, Building, Open, Closing };

struct Dialog {
  OxDialog* handle = nullptr;
  const OxDialogCallbacks* callbacks = nullptr;
  void* self = nullptr;
  WindowState state = WindowState::Closed;
  std::unique_ptr<Window> window;
  uint64_t openedAt = 0; // serial of the last open or re-open
  int32_t pluginId = 0;
  bool dead = false;
};

struct Area {
  OxArea* handle = nullptr;
  DrawCall* record = nullptr; // null: measuring call, nothing recorded
  std::string* cellText = nullptr;
  bool* drewText = nullptr;
};

struct State {
  HandleTable<Dialog> dialogs{HandleKind::Dialog};
  HandleTable<Element> elements{HandleKind::Element};
  HandleTable<Container> containers{HandleKind::Container};
  HandleTable<Area> areas{HandleKind::Area};
  std::vector<std::unique_ptr<Dialog>> dialogList;
  std::vector<std::unique_ptr<Container>> containerList;
  // Objects that died while the module was being called; freed once no call
  // into the module is on the stack.
  std::vector<std::unique_ptr<Dialog>> deadDialogs;
  std::vector<std::unique_ptr<Window>> deadWindows;
  int depth = 0;
  uint64_t serial = 0;
  std::deque<bool> answers;
  AnswerProvider provider;
  int32_t pauseCalls = 0;
  TreeDrawing lastDrawing;
};

State& S();

// Counts a call into the module so that nothing it may still touch is freed.
struct ModuleCall {
  ModuleCall() { ++S().depth; }
  ~ModuleCall() { --S().depth; }
  ModuleCall(const ModuleCall&) = delete;
  ModuleCall& operator=(const ModuleCall&) = delete;
};
void Collect(); // frees the dead objects when no module call is on the stack

Dialog* OpenDialog(); // the open dialog for script operations
Element* FindElement(Window& window, int32_t id, bool (*accept)(const Element&));
Element* FindTree(Window& window);
int32_t Send(Dialog& dialog, int32_t message, int32_t a, void* data);
void KillWindow(Dialog& dialog); // retires the window and its element handles
void FreeContainer(Container* container);
Container* NewContainer(int32_t id, bool hostOwned);

// Tree view.
struct Visible {
  std::vector<void*> rows;
  bool alive = true; // the element survived the walk
};
// Walks the rows (stops after `limit` rows); reports a NextRow loop.
Visible WalkRows(Element& element, size_t limit);
std::optional<ListCells> DrawList(Element& element);
std::vector<std::string> ListLinesOf(Element& element); // `show list` lines

// Rendering of values.
std::string FormatNumber(double value, int32_t format);

const OxDrawArea* DrawArea();
const OxDialogArea* DialogArea();
const OxGuiArea* GuiArea();
const OxElementArea* ElementArea();
const OxContainerArea* ContainerArea();

} // namespace standin::ui
