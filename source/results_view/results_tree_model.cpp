// ResultsTreeModel: how the host's tree view reads, draws and chooses the
// rows of the dialog's `results`.
#include "results_view/results_tree_model.h"

#include "host/entry.h"
#include "host/host.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace ox {

namespace {

constexpr int32_t kFontId = 1;
constexpr int32_t kTextColour = 1003;
constexpr int32_t kTextBackground = 1000;
constexpr int32_t kTextInset = 4;
constexpr int32_t kWidthPadding = 8;

ResultArray* Rows(void* root) noexcept {
  return static_cast<ResultArray*>(root);
}

// The row when it is one of `root`'s live elements, else null: the host only
// hands back rows it got from us, but a stale one must not be read.
const ResultEntry* RowIn(void* root, void* row) noexcept {
  const ResultArray* rows = Rows(root);
  if (rows == nullptr)
    return nullptr;
  const ptrdiff_t index = rows->IndexOf(row);
  if (index < 0 || &(*rows)[static_cast<size_t>(index)] != row)
    return nullptr;
  return &(*rows)[static_cast<size_t>(index)];
}

int32_t Saturate(int64_t value) noexcept {
  if (value > std::numeric_limits<int32_t>::max())
    return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min())
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int32_t ColumnWidth(int32_t column, OxArea* area) {
  const char* sample = column == kColumnName ? "888888888888888888888888888888" : "888888888888888";
  return Saturate(int64_t{AreaTextWidth(area, TextFromLiteral(sample))} + kWidthPadding);
}

// Clears the cell and sets the font; the steps every drawn cell shares.
void PrepareCell(const OxDrawRequest& request) {
  if constexpr (kResetPenBeforeFill)
    AreaResetPen(request.area);
  AreaFillRect(request.area, request.x, request.y, Saturate(int64_t{request.x} + request.width - 1),
               Saturate(int64_t{request.y} + request.height - 1));
  AreaSetFont(request.area, kFontId);
}

void DrawCellText(const OxDrawRequest& request, const Text& text) {
  AreaSetTextColors(request.area, kTextColour, kTextBackground);
  AreaDrawText(request.area, text, Saturate(int64_t{request.x} + kTextInset), request.y, 0);
}

} // namespace

ResultsTreeModel::ResultsTreeModel()
    : channelNames{
          TextFromLiteral("Color"),          TextFromLiteral("Luminance"),   TextFromLiteral("Transparency"),
          TextFromLiteral("Reflectance"),    TextFromLiteral("Environment"), TextFromLiteral("Fog"),
          TextFromLiteral("Bump"),           TextFromLiteral("Alpha"),       TextFromLiteral("Specular"),
          TextFromLiteral("Specular Color"), TextFromLiteral("Glow"),        TextFromLiteral("Displacement"),
          TextFromLiteral("Diffusion"),      TextFromLiteral("Normal"),      TextFromLiteral("Unnamed")} {}

ResultsTreeModel::~ResultsTreeModel() {
  for (size_t i = channelNames.size(); i > 0; --i)
    channelNames[i - 1] = Text();
}

void* ResultsTreeModel::FirstRow(void* root, void*) {
  ResultArray* rows = Rows(root);
  if (rows == nullptr || rows->Empty())
    return nullptr;
  return &(*rows)[0];
}

void* ResultsTreeModel::FirstChild(void*, void*, void*) {
  return nullptr;
}

void* ResultsTreeModel::NextRow(void* root, void*, void* row) {
  // Rows are appended in running-number order, so the next row is the next
  // element; a dropped row leaves a gap in the numbers but not in the array.
  const ResultEntry* entry = RowIn(root, row);
  if (entry == nullptr)
    return nullptr;
  ResultArray* rows = Rows(root);
  const size_t next = static_cast<size_t>(entry - rows->begin()) + 1;
  if (next >= rows->Count())
    return nullptr;
  return &(*rows)[next];
}

void* ResultsTreeModel::PreviousRow(void*, void*, void*) {
  return nullptr;
}

int32_t ResultsTreeModel::CellWidth(void*, void*, void*, int32_t column, OxArea* area) {
  return ColumnWidth(column, area);
}

int32_t ResultsTreeModel::HeaderWidth(void*, void*, int32_t column, OxArea* area) {
  return ColumnWidth(column, area);
}

int32_t ResultsTreeModel::LineHeight(void*, void*, void*, int32_t, OxArea* area) {
  return area != nullptr ? AreaLineHeight(area) : 0;
}

void ResultsTreeModel::DrawCell(void* root, void*, void* row, int32_t column, const OxDrawRequest& request,
                                int32_t) {
  if (identifyMode)
    return;
  PrepareCell(request);
  const ResultEntry* entry = RowIn(root, row);
  if (entry == nullptr)
    return;

  Text text;
  switch (listPluginType) {
  case kTag:
    if (column == kColumnName)
      text = entry->name;
    else if (column == kColumnTag)
      text = entry->tagName;
    break;
  case kShader:
    if (column == kColumnName) {
      text = entry->name;
    } else if (column == kColumnChannel) {
      const auto channel = static_cast<uint32_t>(entry->channel);
      if (channel < channelNames.size())
        text = channelNames[channel];
      else
        text = TextFromLiteral(entry->channel == -1 ? "--" : "Custom");
    } else if (column == kColumnLayerShader) {
      text = TextFromLiteral(entry->channel == -1 ? "--" : entry->inLayerShader ? "Yes" : "No");
    }
    break;
  default:
    if (column == kColumnName)
      text = entry->name;
    break;
  }
  DrawCellText(request, text);
}

bool ResultsTreeModel::DrawHeader(void*, void*, int32_t column, const OxDrawRequest& request) {
  if (identifyMode)
    return true;
  PrepareCell(request);

  const char* title = "";
  switch (listPluginType) {
  case kTag:
    if (column == kColumnName)
      title = "Object With Tag";
    else if (column == kColumnTag)
      title = "Tag Name";
    break;
  case kShader:
    if (column == kColumnName)
      title = "Material";
    else if (column == kColumnChannel)
      title = "Channel";
    else if (column == kColumnLayerShader)
      title = "In Layer Shader?";
    break;
  case kObject:
    if (column == kColumnName)
      title = "Object Name";
    break;
  case kVideoPost:
    if (column == kColumnName)
      title = "Post Effect";
    break;
  default: break;
  }
  DrawCellText(request, TextFromLiteral(title));
  return true;
}

bool ResultsTreeModel::IsSelected(void*, void*, void*) {
  return false;
}

bool ResultsTreeModel::IsOpened(void*, void*, void*) {
  return false;
}

Text ResultsTreeModel::RowName(void*, void*, void*) {
  return Text();
}

int64_t ResultsTreeModel::RowId(void*, void*, void*) {
  return 0;
}

int32_t ResultsTreeModel::RowDragType(void*, void*, void*) {
  return -1;
}

void ResultsTreeModel::RowContainer(void*, void*, void*, int32_t, OxContainer* out) {
  // The container is the host's: empty it, never free it.
  ContainerClear(out);
}

int32_t ResultsTreeModel::RowChosen(void* root, void*, void* row, int32_t, int32_t) {
  OxDocument* doc = HostActiveDocument();
  if (doc == nullptr)
    return 1;
  // Rows hold weak links: a node deleted, undone away or in another
  // document since the run resolves to null and is not selected.
  if (const ResultEntry* entry = RowIn(root, row)) {
    switch (listPluginType) {
    case kTag:
    case kObject:
      if (entry->object)
        if (OxNode* object = LinkTarget(entry->object.get(), doc, 0))
          DocumentSelectObject(doc, object, 0);
      break;
    case kShader:
      if (entry->material)
        if (OxNode* material = LinkTarget(entry->material.get(), doc, 0))
          DocumentSelectMaterial(doc, material, 0);
      break;
    default: break;
    }
  }
  SceneChanged(0);
  return 1;
}

} // namespace ox
