// The callback object through which the host's tree view reads `results`.
#pragma once

#include "host/bases.h"
#include "host/host_array.h"
#include "host/text.h"
#include "results_view/result_entry.h"

#include <array>
#include <cstdint>

namespace ox {

using ResultArray = HostArray<ResultEntry>;

// Column codes and their kind.
inline constexpr int32_t kColumnName = FourCC("name");
inline constexpr int32_t kColumnTag = FourCC("tag");
inline constexpr int32_t kColumnChannel = FourCC("chan");
inline constexpr int32_t kColumnLayerShader = FourCC("ls");
inline constexpr int32_t kColumnKindUser = FourCC("user");

class ResultsTreeModel final : public TreeModelBase {
public:
  ResultsTreeModel();
  ~ResultsTreeModel() override;

  void* FirstRow(void* root, void* userData) override;
  void* FirstChild(void* root, void* userData, void* row) override;
  void* NextRow(void* root, void* userData, void* row) override;
  void* PreviousRow(void* root, void* userData, void* row) override;
  int32_t CellWidth(void* root, void* userData, void* row, int32_t column, OxArea* area) override;
  int32_t HeaderWidth(void* root, void* userData, int32_t column, OxArea* area) override;
  int32_t LineHeight(void* root, void* userData, void* row, int32_t column, OxArea* area) override;
  void DrawCell(void* root, void* userData, void* row, int32_t column, const OxDrawRequest& request,
                int32_t background) override;
  bool DrawHeader(void* root, void* userData, int32_t column, const OxDrawRequest& request) override;
  bool IsSelected(void* root, void* userData, void* row) override;
  bool IsOpened(void* root, void* userData, void* row) override;
  Text RowName(void* root, void* userData, void* row) override;
  int64_t RowId(void* root, void* userData, void* row) override;
  int32_t RowDragType(void* root, void* userData, void* row) override;
  void RowContainer(void* root, void* userData, void* row, int32_t what, OxContainer* out) override;
  int32_t RowChosen(void* root, void* userData, void* row, int32_t column, int32_t flags) override;

  std::array<Text, 15> channelNames;
  int32_t listPluginType = 0;
  bool identifyMode = false;
};

} // namespace ox
