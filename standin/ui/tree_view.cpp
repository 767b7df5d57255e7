// The tree-view element (library OX_LIBRARY_TREEVIEW), area ELEMENT, the
// drawing areas handed to the model, and the list's script operations.
#include "core/breach.h"
#include "core/texts.h"
#include "ui/ui_state.h"

#include <algorithm>
#include <unordered_set>

namespace standin {

using namespace ui;

namespace {

constexpr int32_t kLineHeight = 14;
constexpr int32_t kCharWidth = 7;
// Draw calls recorded in full per pass; the texts of all cells are kept.
constexpr size_t kRecordedCalls = 20000;

// A model function when the table is long enough to hold it, else null.
#define MODEL_FN(model, name)                                                                                \
  ((model)->size >= offsetof(OxTreeModelCallbacks, name) + sizeof((model)->name) ? (model)->name : nullptr)

Element* GetElement(const OxElement* handle, const char* op) {
  State& s = S();
  Element* e = s.elements.Get(handle);
  if (e == nullptr)
    Breach(op, handle == nullptr           ? "null element handle"
               : s.elements.IsKind(handle) ? "stale element handle (its window was closed)"
                                           : "not an element handle");
  return e;
}

TreeView* GetTree(const OxElement* handle, const char* op) {
  Element* e = GetElement(handle, op);
  if (e == nullptr)
    return nullptr;
  if (!e->tree)
    Breach(op, "element " + std::to_string(e->id) + " is not a tree view");
  return e->tree.get();
}

OxBool SetLayout(OxElement* handle, int32_t columns, const OxContainer* layout) noexcept {
  static constexpr const char* op = "TreeViewSetLayout";
  TreeView* t = GetTree(handle, op);
  if (t == nullptr)
    return 0;
  const Container* c = S().containers.Get(layout);
  if (c == nullptr) {
    Breach(op, layout == nullptr ? "null layout container" : "stale or foreign layout container");
    return 0;
  }
  if (columns < 0 || static_cast<size_t>(columns) > c->entries.size()) {
    Breach(op, std::to_string(columns) + " column(s) asked, the layout holds " +
                   std::to_string(c->entries.size()));
    return 0;
  }
  t->columns.clear();
  for (int32_t i = 0; i < columns; ++i)
    t->columns.push_back(c->entries[static_cast<size_t>(i)].key);
  t->dirty = true;
  return 1;
}

OxBool SetRoot(OxElement* handle, void* root, const OxTreeModelCallbacks* model, void* self,
               void* userData) noexcept {
  static constexpr const char* op = "TreeViewSetRoot";
  TreeView* t = GetTree(handle, op);
  if (t == nullptr)
    return 0;
  if (model == nullptr) {
    Breach(op, "null model callback table");
    return 0;
  }
  if (model->size < offsetof(OxTreeModelCallbacks, firstRow) + sizeof(model->firstRow)) {
    Breach(op, "model callback table too short");
    return 0;
  }
  t->root = root;
  t->model = model;
  t->self = self;
  t->userData = userData;
  t->bound = true;
  t->dirty = true;
  return 1;
}

void Refresh(OxElement* handle) noexcept {
  if (TreeView* t = GetTree(handle, "TreeViewRefresh"))
    t->dirty = true;
}

OxBool Redraw(OxElement* handle, int32_t libraryId) noexcept {
  static constexpr const char* op = "ElementRedraw";
  Element* e = GetElement(handle, op);
  if (e == nullptr)
    return 0;
  if (libraryId != e->customType) {
    Breach(op, "library " + std::to_string(libraryId) + " for an element of type " +
                   std::to_string(e->customType));
    return 0;
  }
  if (e->tree)
    e->tree->dirty = true;
  return 1;
}

const OxTreeViewLibrary kLibrary{sizeof(OxTreeViewLibrary), SetLayout, SetRoot, Refresh};
const OxElementArea kElementArea{sizeof(OxElementArea), Redraw};

// ---- drawing areas ----------------------------------------------------------

Area* GetArea(const OxArea* handle, const char* op) {
  State& s = S();
  Area* a = s.areas.Get(handle);
  if (a == nullptr)
    Breach(op, handle == nullptr        ? "null area handle"
               : s.areas.IsKind(handle) ? "stale area handle (an area lives for one model call)"
                                        : "not an area handle");
  return a;
}

void Record(Area* a, DrawOp::Kind kind, int32_t p = 0, int32_t q = 0, int32_t r = 0, int32_t t = 0,
            const std::string* text = nullptr) {
  if (a->record == nullptr)
    return;
  DrawOp op{kind, p, q, r, t, text != nullptr ? *text : std::string()};
  a->record->ops.push_back(std::move(op));
}

void ResetPen(OxArea* handle) noexcept {
  if (Area* a = GetArea(handle, "AreaResetPen"))
    Record(a, DrawOp::ResetPen);
}

void FillRect(OxArea* handle, int32_t x1, int32_t y1, int32_t x2, int32_t y2) noexcept {
  if (Area* a = GetArea(handle, "AreaFillRect"))
    Record(a, DrawOp::FillRect, x1, y1, x2, y2);
}

void SetFont(OxArea* handle, int32_t font) noexcept {
  if (Area* a = GetArea(handle, "AreaSetFont"))
    Record(a, DrawOp::SetFont, font);
}

void SetTextColors(OxArea* handle, int32_t foreground, int32_t background) noexcept {
  if (Area* a = GetArea(handle, "AreaSetTextColors"))
    Record(a, DrawOp::SetTextColors, foreground, background);
}

void DrawText(OxArea* handle, const OxText* text, int32_t x, int32_t y, int32_t flags) noexcept {
  Area* a = GetArea(handle, "AreaDrawText");
  if (a == nullptr)
    return;
  const std::string* s = TextString(text, "AreaDrawText");
  if (s == nullptr)
    return;
  if (a->cellText != nullptr) {
    if (*a->drewText && !s->empty() && !a->cellText->empty())
      *a->cellText += ' ';
    *a->cellText += *s;
    *a->drewText = true;
  }
  Record(a, DrawOp::DrawText, x, y, flags, 0, s);
}

int32_t TextWidth(OxArea* handle, const OxText* text) noexcept {
  if (GetArea(handle, "AreaTextWidth") == nullptr)
    return 0;
  const std::string* s = TextString(text, "AreaTextWidth");
  if (s == nullptr)
    return 0;
  const auto points = std::count_if(s->begin(), s->end(), [](char c) { return (c & 0xC0) != 0x80; });
  return static_cast<int32_t>(points) * kCharWidth;
}

int32_t LineHeight(OxArea* handle) noexcept {
  return GetArea(handle, "AreaLineHeight") ? kLineHeight : 0;
}

const OxDrawArea kDrawArea{sizeof(OxDrawArea), ResetPen, FillRect,  SetFont,
                           SetTextColors,      DrawText, TextWidth, LineHeight};

// An area for one model call; its handle dies with the object.
class ScopedArea {
public:
  explicit ScopedArea(DrawCall* record = nullptr, std::string* text = nullptr, bool* drew = nullptr) {
    area_.record = record;
    area_.cellText = text;
    area_.drewText = drew;
    area_.handle = S().areas.Add<OxArea>(&area_);
  }
  ~ScopedArea() { S().areas.Remove(area_.handle); }
  ScopedArea(const ScopedArea&) = delete;
  ScopedArea& operator=(const ScopedArea&) = delete;
  OxArea* get() const { return area_.handle; }

private:
  Area area_;
};

std::string Join(const std::vector<std::string>& cells, bool drawn) {
  if (!drawn)
    return {};
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0)
      line += " | ";
    line += cells[i];
  }
  return line;
}

} // namespace

namespace ui {

const OxDrawArea* DrawArea() {
  return &kDrawArea;
}
const OxElementArea* ElementArea() {
  return &kElementArea;
}

Visible WalkRows(Element& element, size_t limit) {
  Visible v;
  TreeView* t = element.tree.get();
  if (t == nullptr || !t->bound)
    return v;
  const OxTreeModelCallbacks* m = t->model;
  auto firstRow = MODEL_FN(m, firstRow);
  auto nextRow = MODEL_FN(m, nextRow);
  auto firstChild = MODEL_FN(m, firstChild);
  auto isOpened = MODEL_FN(m, isOpened);
  if (firstRow == nullptr)
    return v;
  auto gone = [&] {
    if (element.dead)
      v.alive = false;
    return element.dead;
  };
  void* row;
  {
    ModuleCall call;
    row = firstRow(t->self, t->root, t->userData);
  }
  if (gone())
    return v;
  std::unordered_set<void*> seen;
  std::vector<void*> parents; // rows whose children are being listed
  while (row != nullptr && v.rows.size() < limit) {
    if (!seen.insert(row).second) {
      Breach("NextRow", "the model answered a row it already listed (a loop); the list ends there");
      break;
    }
    v.rows.push_back(row);
    if (v.rows.size() == limit)
      break;
    void* next = nullptr;
    if (isOpened != nullptr && firstChild != nullptr) {
      ModuleCall call;
      if (isOpened(t->self, t->root, t->userData, row) != 0 && !element.dead) {
        next = firstChild(t->self, t->root, t->userData, row);
        if (next != nullptr)
          parents.push_back(row);
      }
    }
    if (gone())
      return v;
    if (next == nullptr && nextRow != nullptr) {
      ModuleCall call;
      next = nextRow(t->self, t->root, t->userData, row);
      while (next == nullptr && !parents.empty() && !element.dead) {
        void* parent = parents.back();
        parents.pop_back();
        next = nextRow(t->self, t->root, t->userData, parent);
      }
    }
    if (gone())
      return v;
    row = next;
  }
  return v;
}

std::optional<ListCells> DrawList(Element& element) {
  TreeView* t = element.tree.get();
  if (t == nullptr)
    return std::nullopt;
  Visible visible = WalkRows(element, SIZE_MAX);
  if (!visible.alive)
    return std::nullopt;
  TreeDrawing drawing;
  drawing.columns = t->columns;
  drawing.headerHeight = kLineHeight;
  ListCells cells;
  const size_t columns = t->columns.size();
  cells.header.assign(columns, std::string());
  const std::vector<void*>& rows = visible.rows;
  if (!t->bound) {
    drawing.widths.assign(columns, 0); // nothing bound: nothing drawn
    S().lastDrawing = std::move(drawing);
    t->dirty = false;
    return cells;
  }
  const OxTreeModelCallbacks* m = t->model;
  auto headerWidth = MODEL_FN(m, headerWidth);
  auto cellWidth = MODEL_FN(m, cellWidth);
  auto lineHeight = MODEL_FN(m, lineHeight);
  auto drawHeader = MODEL_FN(m, drawHeader);
  auto drawCell = MODEL_FN(m, drawCell);

  // Measure: the widest of header and cells per column, the tallest cell per row.
  for (int32_t column : t->columns) {
    int32_t width = 0;
    if (headerWidth != nullptr) {
      ScopedArea area;
      ModuleCall call;
      width = std::max(width, headerWidth(t->self, t->root, t->userData, column, area.get()));
    }
    if (cellWidth != nullptr)
      for (void* row : rows) {
        if (element.dead)
          return std::nullopt;
        ScopedArea area;
        ModuleCall call;
        width = std::max(width, cellWidth(t->self, t->root, t->userData, row, column, area.get()));
      }
    drawing.widths.push_back(width);
  }
  for (void* row : rows) {
    int32_t height = 0;
    if (lineHeight != nullptr)
      for (int32_t column : t->columns) {
        if (element.dead)
          return std::nullopt;
        ScopedArea area;
        ModuleCall call;
        height = std::max(height, lineHeight(t->self, t->root, t->userData, row, column, area.get()));
      }
    drawing.rowHeights.push_back(height > 0 ? height : kLineHeight);
  }

  auto draw = [&](bool header, int32_t rowIndex, void* row, size_t column, int32_t x, int32_t y,
                  int32_t height, std::string* text, bool* drew) {
    DrawCall call;
    call.header = header;
    call.row = rowIndex;
    call.column = t->columns[column];
    call.x = x;
    call.y = y;
    call.width = drawing.widths[column];
    call.height = height;
    const bool keep = drawing.calls.size() < kRecordedCalls;
    {
      ScopedArea area(keep ? &call : nullptr, text, drew);
      OxDrawRequest request{sizeof(OxDrawRequest), area.get(), x, y, call.width, height};
      ModuleCall guard;
      if (header && drawHeader != nullptr)
        drawHeader(t->self, t->root, t->userData, call.column, &request);
      else if (!header && drawCell != nullptr)
        drawCell(t->self, t->root, t->userData, row, call.column, &request, 0);
    }
    if (keep)
      drawing.calls.push_back(std::move(call));
  };

  int32_t x = 0;
  for (size_t c = 0; c < columns && !element.dead; ++c) {
    draw(true, -1, nullptr, c, x, 0, kLineHeight, &cells.header[c], &cells.headerDrawn);
    x += drawing.widths[c];
  }
  int32_t y = kLineHeight;
  cells.rows.reserve(rows.size());
  for (size_t r = 0; r < rows.size() && !element.dead; ++r) {
    cells.rows.emplace_back(columns);
    bool drew = false;
    x = 0;
    for (size_t c = 0; c < columns && !element.dead; ++c) {
      draw(false, static_cast<int32_t>(r), rows[r], c, x, y, drawing.rowHeights[r], &cells.rows.back()[c],
           &drew);
      x += drawing.widths[c];
    }
    cells.rowDrawn.push_back(drew);
    y += drawing.rowHeights[r];
  }
  if (element.dead)
    return std::nullopt;
  S().lastDrawing = std::move(drawing);
  t->dirty = false;
  return cells;
}

} // namespace ui

const OxTreeViewLibrary* TreeViewLibrary() {
  return &kLibrary;
}

std::optional<ListCells> VisibleList() {
  Collect();
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return std::nullopt;
  Element* e = FindTree(*d->window);
  if (e == nullptr)
    return std::nullopt;
  return DrawList(*e);
}

std::vector<std::string> ui::ListLinesOf(Element& element) {
  std::vector<std::string> lines;
  const auto cells = DrawList(element);
  if (!cells)
    return lines;
  lines.push_back(Join(cells->header, cells->headerDrawn));
  for (size_t r = 0; r < cells->rows.size(); ++r)
    lines.push_back(Join(cells->rows[r], cells->rowDrawn[r]));
  return lines;
}

std::vector<std::string> ListLines() {
  Collect();
  Dialog* d = OpenDialog();
  Element* e = d == nullptr ? nullptr : FindTree(*d->window);
  return e == nullptr ? std::vector<std::string>() : ListLinesOf(*e);
}

UiOutcome Choose(int32_t n) {
  Collect();
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return UiOutcome::Fail("no dialog is open");
  Element* e = FindTree(*d->window);
  if (e == nullptr)
    return UiOutcome::Fail("the dialog has no list");
  if (!e->enabled)
    return UiOutcome::Fail("the list (element " + std::to_string(e->id) + ") is disabled");
  if (n < 0)
    return UiOutcome::Fail("row numbers start at 0");
  TreeView* t = e->tree.get();
  if (!t->bound)
    return UiOutcome::Fail("the list shows no rows");
  const Visible visible = WalkRows(*e, static_cast<size_t>(n) + 1);
  if (!visible.alive)
    return UiOutcome::Fail("the list was closed while it was read");
  if (visible.rows.size() <= static_cast<size_t>(n))
    return UiOutcome::Fail("the list has " + std::to_string(visible.rows.size()) + " row(s)");
  void* row = visible.rows[static_cast<size_t>(n)];
  const OxTreeModelCallbacks* m = t->model;
  if (auto rowContainer = MODEL_FN(m, rowContainer)) {
    Container* lent = NewContainer(0, true);
    OxContainer* handle = lent->handle;
    {
      ModuleCall call;
      rowContainer(t->self, t->root, t->userData, row, 0, handle);
    }
    if (Container* c = S().containers.Get(handle))
      FreeContainer(c);
    if (e->dead)
      return UiOutcome::Fail("the list was closed while it was read");
  }
  if (auto rowChosen = MODEL_FN(m, rowChosen)) {
    ModuleCall call;
    rowChosen(t->self, t->root, t->userData, row, 0, 0);
  }
  return {};
}

} // namespace standin
