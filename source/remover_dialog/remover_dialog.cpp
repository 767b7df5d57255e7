// RemoverDialog: its state, construction, destruction and the window's
// set-up and tear-down.
#include "remover_dialog/remover_dialog.h"

#include "remover_dialog/dialog_values.h"

#include <cstddef>

namespace ox {

RemoverDialog::RemoverDialog()
    : pluginType(0), scopeMode(0), actionMode(1), warnBeforeDeleting(true), keepLayerShaders(false),
      resultsModel(), resultCount(0), foundKind(0),
      foundName(), pluginTypeNames{TextFromLiteral("Any"),
                                   TextFromLiteral("Shader"),
                                   TextFromLiteral("Material"),
                                   TextFromLiteral("Dummy"),
                                   TextFromLiteral("Command"),
                                   TextFromLiteral("Object"),
                                   TextFromLiteral("Tag"),
                                   TextFromLiteral("Bitmap Filter"),
                                   TextFromLiteral("VideoPost"),
                                   TextFromLiteral("Tool"),
                                   TextFromLiteral("Scene Hook"),
                                   TextFromLiteral("Node"),
                                   TextFromLiteral("Library"),
                                   TextFromLiteral("Bitmap Loader"),
                                   TextFromLiteral("Bitmap Saver"),
                                   TextFromLiteral("Scene Loader"),
                                   TextFromLiteral("Scene Saver"),
                                   TextFromLiteral("Core Message"),
                                   TextFromLiteral("Custom GUI"),
                                   TextFromLiteral("Custom Datatype"),
                                   TextFromLiteral("Resource Datatype"),
                                   TextFromLiteral("Manager Info"),
                                   TextFromLiteral("CTrack"),
                                   TextFromLiteral("Falloff"),
                                   TextFromLiteral("Vmap Transfer"),
                                   TextFromLiteral("Preferences"),
                                   TextFromLiteral("Snap"),
                                   TextFromLiteral("Field Layer"),
                                   TextFromLiteral("Description")},
      resultsTree(nullptr), results() {}

RemoverDialog::~RemoverDialog() {
  // Rows first (their texts and links), then the names, last to first; the
  // model and the host side of the dialog follow as members and base.
  results.Release();
  for (size_t i = pluginTypeNames.size(); i > 0; --i)
    pluginTypeNames[i - 1] = Text();
  foundName = Text();
}

bool RemoverDialog::InitValues() {
  if (!DialogBase::InitValues())
    return false;
  OxDialog* dialog = Handle();

  OxDialogValue id{};
  id.size = sizeof(OxDialogValue);
  id.kind = OX_DLGVALUE_FLOAT;
  id.value = 0.0;
  id.min = -1e18;
  id.max = 1e18;
  id.step = 1.0;
  id.format = FourCC("frea");
  id.min2 = 0.0;
  id.max2 = 0.0;
  id.quadScale = 0;
  id.tristate = 0;
  DialogSetValue(dialog, kIdPluginId, id);

  DialogSetValue(dialog, kIdAction, IntValue(kList));
  DialogSetValue(dialog, kIdPluginType, IntValue(kTag));
  DialogSetValue(dialog, kIdScope, IntValue(0));
  resultsModel.identifyMode = false;

  // The boxes show the options of the last "Process"; they are live only
  // while the action is "Remove Plugin", which is not what opens.
  DialogSetValue(dialog, kIdWarn, IntValue(warnBeforeDeleting ? 1 : 0));
  DialogEnable(dialog, kIdWarn, false);
  DialogSetValue(dialog, kIdKeepLayerShaders, IntValue(keepLayerShaders ? 1 : 0));
  DialogEnable(dialog, kIdKeepLayerShaders, false);

  RefreshColumns();
  return true;
}

bool RemoverDialog::CoreMessage(int32_t, void*) {
  return true;
}

bool RemoverDialog::AskClose() {
  results.Clear();
  return false;
}

void RemoverDialog::Notify(void*) {}

void RemoverDialog::Destroyed() {
  // The element died with the window; the next layout hands out a new one.
  resultsTree = nullptr;
}

int32_t RemoverDialog::Message(int32_t id, int32_t a, void* data) {
  return DialogBase::Message(id, a, data);
}

} // namespace ox
