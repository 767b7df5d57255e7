// A tiny stand-in for the module's side of dialogs and tree models, driving
// the ui areas through the host tables exactly as a module would.
#pragma once

#include "core/breach.h"
#include "core/output.h"
#include "core/texts.h"
#include "ui/gui.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace uitest {

struct Areas {
  const OxDialogArea* dialog;
  const OxGuiArea* gui;
  const OxElementArea* element;
  const OxDrawArea* draw;
  const OxContainerArea* container;
  const OxTreeViewLibrary* tree;
};

inline Areas GetAreas() {
  OxHostTables tables{};
  standin::FillUiAreas(tables);
  return {static_cast<const OxDialogArea*>(tables.areas[OX_AREA_DIALOG]),
          static_cast<const OxGuiArea*>(tables.areas[OX_AREA_GUI]),
          static_cast<const OxElementArea*>(tables.areas[OX_AREA_ELEMENT]),
          static_cast<const OxDrawArea*>(tables.areas[OX_AREA_DRAW]),
          static_cast<const OxContainerArea*>(tables.areas[OX_AREA_CONTAINER]),
          standin::TreeViewLibrary()};
}

// A host text that lives as long as the object.
class Txt {
public:
  explicit Txt(std::string_view s) : text_(standin::NewText(s)) {}
  ~Txt() { standin::ReleaseText(text_, "test"); }
  Txt(const Txt&) = delete;
  Txt& operator=(const Txt&) = delete;
  operator const OxText*() const { return text_; }

private:
  OxText* text_;
};

inline int32_t FourCC(const char* s) {
  uint32_t v = 0;
  for (; *s != 0; ++s)
    v = (v << 8) | static_cast<uint8_t>(*s);
  return static_cast<int32_t>(v);
}

// ---- the tree model ------------------------------------------------------------

struct Row {
  int32_t number;
  std::string name;
  std::string tag;
};

struct FakeModel {
  Areas areas = GetAreas();
  std::vector<Row> rows;
  bool drawNothing = false; // like the plug-in's identify mode
  bool resetPen = false;    // like the mac flavour
  bool loopAfterSecond = false;
  int32_t nameWidth = 0; // extra width of the name column's cells
  // Rows handed out in the current enumeration; every row the host hands
  // back must be one of them.
  std::set<const void*> handedOut;
  std::vector<std::string> foreignRows; // calls that received a row not handed out
  std::vector<const Row*> chosen;
  int32_t chosenColumn = -1;
  bool releaseLentContainer = false;

  void Check(const void* row, const char* what) {
    if (handedOut.count(row) == 0)
      foreignRows.push_back(what);
  }
  const Row* Next(const Row* row) const {
    if (loopAfterSecond && row->number == 1)
      return &rows[0];
    for (const Row& r : rows)
      if (r.number == row->number + 1)
        return &r;
    return nullptr;
  }
  std::string Text(const Row* row, int32_t column) const {
    if (column == FourCC("name"))
      return row->name;
    if (column == FourCC("tag"))
      return row->tag;
    return "";
  }
  std::string Header(int32_t column) const {
    if (column == FourCC("name"))
      return "Object";
    if (column == FourCC("tag"))
      return "Tag";
    return "";
  }
  void Draw(const OxDrawRequest* r, const std::string& text) {
    if (drawNothing)
      return;
    if (resetPen)
      areas.draw->resetPen(r->area);
    areas.draw->fillRect(r->area, r->x, r->y, r->x + r->width - 1, r->y + r->height - 1);
    areas.draw->setFont(r->area, 1);
    areas.draw->setTextColors(r->area, 1003, 1000);
    Txt t(text);
    areas.draw->drawText(r->area, t, r->x + 4, r->y, 0);
  }
  int32_t Width(OxArea* area, int32_t column) {
    Txt eights(column == FourCC("name") ? "8888888888" : "88888");
    return areas.draw->textWidth(area, eights) + 8;
  }

  static FakeModel* M(void* self) { return static_cast<FakeModel*>(self); }
  static void* FirstRow(void* self, void*, void*) noexcept {
    FakeModel* m = M(self);
    m->handedOut.clear();
    if (m->rows.empty())
      return nullptr;
    m->handedOut.insert(&m->rows[0]);
    return &m->rows[0];
  }
  static void* FirstChild(void* self, void*, void*, void* row) noexcept {
    M(self)->Check(row, "firstChild");
    return nullptr;
  }
  static void* NextRow(void* self, void*, void*, void* row) noexcept {
    FakeModel* m = M(self);
    m->Check(row, "nextRow");
    const Row* next = m->Next(static_cast<const Row*>(row));
    if (next != nullptr)
      m->handedOut.insert(next);
    return const_cast<Row*>(next);
  }
  static void* PreviousRow(void*, void*, void*, void*) noexcept { return nullptr; }
  static int32_t CellWidth(void* self, void*, void*, void* row, int32_t column, OxArea* area) noexcept {
    FakeModel* m = M(self);
    m->Check(row, "cellWidth");
    return m->Width(area, column) + (column == FourCC("name") ? m->nameWidth : 0);
  }
  static int32_t HeaderWidth(void* self, void*, void*, int32_t column, OxArea* area) noexcept {
    return M(self)->Width(area, column);
  }
  static int32_t LineHeight(void* self, void*, void*, void* row, int32_t, OxArea* area) noexcept {
    FakeModel* m = M(self);
    m->Check(row, "lineHeight");
    return m->areas.draw->lineHeight(area);
  }
  static void DrawCell(void* self, void*, void*, void* row, int32_t column, const OxDrawRequest* r,
                       int32_t) noexcept {
    FakeModel* m = M(self);
    m->Check(row, "drawCell");
    m->Draw(r, m->Text(static_cast<const Row*>(row), column));
  }
  static OxBool DrawHeader(void* self, void*, void*, int32_t column, const OxDrawRequest* r) noexcept {
    FakeModel* m = M(self);
    m->Draw(r, m->Header(column));
    return 1;
  }
  static OxBool IsSelected(void*, void*, void*, void*) noexcept { return 0; }
  static OxBool IsOpened(void* self, void*, void*, void* row) noexcept {
    M(self)->Check(row, "isOpened");
    return 0;
  }
  static OxText* RowName(void*, void*, void*, void*) noexcept { return nullptr; }
  static int64_t RowId(void*, void*, void*, void*) noexcept { return 0; }
  static int32_t RowDragType(void*, void*, void*, void*) noexcept { return -1; }
  static void RowContainer(void* self, void*, void*, void* row, int32_t, OxContainer* out) noexcept {
    FakeModel* m = M(self);
    m->Check(row, "rowContainer");
    if (m->releaseLentContainer)
      m->areas.container->release(out);
    else
      m->areas.container->clear(out);
  }
  static int32_t RowChosen(void* self, void*, void*, void* row, int32_t column, int32_t) noexcept {
    FakeModel* m = M(self);
    m->Check(row, "rowChosen");
    m->chosen.push_back(static_cast<const Row*>(row));
    m->chosenColumn = column;
    return 1;
  }
};

inline const OxTreeModelCallbacks kModel{
    sizeof(OxTreeModelCallbacks), FakeModel::FirstRow,   FakeModel::FirstChild,  FakeModel::NextRow,
    FakeModel::PreviousRow,       FakeModel::CellWidth,  FakeModel::HeaderWidth, FakeModel::LineHeight,
    FakeModel::DrawCell,          FakeModel::DrawHeader, FakeModel::IsSelected,  FakeModel::IsOpened,
    FakeModel::RowName,           FakeModel::RowId,      FakeModel::RowDragType, FakeModel::RowContainer,
    FakeModel::RowChosen};

// ---- the dialog ------------------------------------------------------------------

constexpr int32_t kList = 10000, kAction = 5008, kWarn = 5009, kNumber = 1005, kProcess = 1002,
                  kCancel = 1003, kAbout = 5001;

struct FakeDialog {
  Areas areas = GetAreas();
  OxDialog* handle = nullptr;
  std::vector<std::pair<int32_t, int32_t>> messages; // (message id, a)
  int32_t refuseClose = 0;
  bool withTree = true;
  OxElement* tree = nullptr;
  FakeModel* model = nullptr; // bound at init values when set
  std::function<void(FakeDialog&)> extraLayout;
  std::function<void(FakeDialog&, int32_t)> onCommand;
  std::function<void(FakeDialog&)> onAskClose;

  FakeDialog() { handle = areas.dialog->create(&kCallbacks, this); }
  ~FakeDialog() {
    if (handle != nullptr)
      areas.dialog->destroy(handle);
  }
  FakeDialog(const FakeDialog&) = delete;
  FakeDialog& operator=(const FakeDialog&) = delete;

  bool Open() { return areas.dialog->open(handle, OX_DIALOG_NONMODAL, 1066888, 0, 0, 0, 0, 0) != 0; }
  bool Close() { return areas.dialog->close(handle) != 0; }

  void Add(int32_t kind, int32_t id, const char* text, int32_t extra = 0) {
    Txt t(text);
    OxElementDesc d{};
    d.size = sizeof d;
    d.kind = kind;
    d.id = id;
    d.text = t;
    d.extra = extra;
    EXPECT_TRUE(areas.dialog->addElement(handle, &d, nullptr)) << kind << " " << id;
  }
  void Group(int32_t columns, const char* title) {
    Txt t(title);
    EXPECT_TRUE(areas.dialog->groupBegin(handle, 10004, 57, columns, 0, t, 0, 0, 0));
  }
  void SetInt(int32_t id, int32_t value) {
    OxDialogValue v{};
    v.size = sizeof v;
    v.kind = OX_DLGVALUE_INT;
    v.value = value;
    v.min = INT32_MIN;
    v.max = INT32_MAX;
    v.step = 1;
    areas.dialog->setValue(handle, id, &v);
  }

  void Layout() {
    Add(OX_ELEM_TITLE, 0, "Remover");
    Add(OX_ELEM_MENU_CLEAR, 0, "");
    Add(OX_ELEM_SUBMENU_BEGIN, 0, "Help");
    Add(OX_ELEM_MENU_ENTRY, kAbout, "About...");
    Add(OX_ELEM_SUBMENU_END, 0, "");
    Add(OX_ELEM_MENU_DONE, 0, "");
    Group(2, "Options");
    Add(OX_ELEM_STATIC, 10004, "Action to Take");
    Add(OX_ELEM_DROPDOWN, kAction, "");
    Add(OX_ELEM_DROPDOWN_ENTRY, kAction, "Identify Plugin", 0);
    Add(OX_ELEM_DROPDOWN_ENTRY, kAction, "Generate List", 1);
    Add(OX_ELEM_DROPDOWN_ENTRY, kAction, "Remove Plugin", 2);
    Add(OX_ELEM_CHECKBOX, kWarn, "Warn Before Deleting");
    Add(OX_ELEM_CHECKBOX, 5010, "Keep");
    Add(OX_ELEM_STATIC, 10004, "Plugin ID");
    Add(OX_ELEM_NUMBER, kNumber, "");
    EXPECT_TRUE(areas.dialog->groupEnd(handle));
    Group(4, "");
    Add(OX_ELEM_BUTTON, kProcess, "Process");
    Add(OX_ELEM_BUTTON, kCancel, "Cancel");
    EXPECT_TRUE(areas.dialog->groupEnd(handle));
    if (withTree) {
      OxElementDesc d{};
      d.size = sizeof d;
      d.kind = OX_ELEM_CUSTOM;
      d.id = kList;
      d.customType = OX_LIBRARY_TREEVIEW;
      EXPECT_TRUE(areas.dialog->addElement(handle, &d, &tree));
    }
    if (extraLayout)
      extraLayout(*this);
  }

  void Init() {
    OxDialogValue v{};
    v.size = sizeof v;
    v.kind = OX_DLGVALUE_FLOAT;
    v.min = -1e18;
    v.max = 1e18;
    v.step = 1;
    v.format = FourCC("frea");
    areas.dialog->setValue(handle, kNumber, &v);
    SetInt(kAction, 1);
    SetInt(kWarn, 1);
    areas.dialog->enable(handle, kWarn, 0);
    if (model != nullptr && tree != nullptr) {
      OxContainer* layout = areas.container->create(-1);
      areas.container->setInt(layout, FourCC("name"), FourCC("user"));
      areas.container->setInt(layout, FourCC("tag"), FourCC("user"));
      areas.tree->setLayout(tree, 2, layout);
      areas.tree->setRoot(tree, &model->rows, &kModel, model, nullptr);
      areas.tree->refresh(tree);
      areas.element->redraw(tree, OX_LIBRARY_TREEVIEW);
      areas.container->release(layout);
    }
  }

  static int32_t Message(void* self, int32_t id, int32_t a, void*) noexcept {
    FakeDialog* d = static_cast<FakeDialog*>(self);
    d->messages.emplace_back(id, a);
    switch (id) {
    case OX_DLGMSG_CREATE_LAYOUT: d->Layout(); return 1;
    case OX_DLGMSG_INIT_VALUES: d->Init(); return 1;
    case OX_DLGMSG_ASK_CLOSE:
      if (d->onAskClose)
        d->onAskClose(*d);
      return d->refuseClose;
    case OX_DLGMSG_COMMAND:
      if (a == kCancel)
        d->Close();
      if (d->onCommand)
        d->onCommand(*d, a);
      return 1;
    default: return 1;
    }
  }
  static constexpr OxDialogCallbacks kCallbacks{sizeof(OxDialogCallbacks), Message};

  int32_t Int(int32_t id, int32_t fallback = -99) {
    int32_t out = fallback;
    areas.dialog->getInt(handle, id, &out);
    return out;
  }
  std::vector<int32_t> MessageIds() const {
    std::vector<int32_t> ids;
    for (const auto& m : messages)
      ids.push_back(m.first);
    return ids;
  }
};

// Resets the host's ui and captures what it prints. Construction and
// destruction (not SetUp/TearDown) so that a derived fixture's own dialogs
// are made after the reset and destroyed before the final one.
class UiTest : public ::testing::Test {
protected:
  UiTest() {
    standin::ResetUi();
    standin::ResetBreaches();
    standin::SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
  }
  ~UiTest() override {
    standin::SetPrintSink(nullptr);
    standin::ResetUi();
    standin::ResetBreaches();
  }
  std::vector<std::string> printed;
  Areas areas = GetAreas();
};

} // namespace uitest
