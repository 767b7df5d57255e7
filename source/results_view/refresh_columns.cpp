// The dialog's side of the results list: the columns of the chosen kind and
// the binding of the tree view to `results`.
#include "remover_dialog/remover_dialog.h"

namespace ox {

bool RemoverDialog::RefreshColumns() {
  if (resultsTree == nullptr)
    return true; // no window, no list to set up

  Container layout = ContainerInit(-1);
  // The element, not `pluginType`: the list follows what the drop-down shows.
  int32_t type = 0;
  DialogGetInt(Handle(), kIdPluginType, type);

  int32_t count = 0;
  switch (type) {
  case kTag:
    ContainerSetInt(layout.get(), kColumnName, kColumnKindUser);
    ContainerSetInt(layout.get(), kColumnTag, kColumnKindUser);
    count = 2;
    break;
  case kShader:
    ContainerSetInt(layout.get(), kColumnName, kColumnKindUser);
    ContainerSetInt(layout.get(), kColumnChannel, kColumnKindUser);
    ContainerSetInt(layout.get(), kColumnLayerShader, kColumnKindUser);
    count = 3;
    break;
  default:
    ContainerSetInt(layout.get(), kColumnName, kColumnKindUser);
    count = 1;
    break;
  }
  TreeViewSetLayout(resultsTree, count, layout.get());
  resultsModel.listPluginType = type;
  RefreshResults();
  layout.reset();
  return true;
}

void RemoverDialog::RefreshResults() {
  if (resultsTree == nullptr)
    return;
  TreeModelBase* model = &resultsModel;
  TreeViewSetRoot(resultsTree, &results, TreeModelBase::Callbacks(), model, nullptr);
  TreeViewRefresh(resultsTree);
  ElementRedraw(resultsTree, OX_LIBRARY_TREEVIEW);
}

} // namespace ox
