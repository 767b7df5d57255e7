// RemoverDialog::Command: "Process" with the identification chain and the
// registry fallback, the menu entries, and keeping the drop-downs, check
// boxes and list consistent when the user changes an option.
#include "remover_dialog/dialog_values.h"
#include "remover_dialog/remover_dialog.h"

#include <cmath>
#include <cstddef>

namespace ox {

namespace {

constexpr int32_t kAboutResource = 10001;
constexpr int32_t kLastNamedTypeCode = 21; // codes above this are stored 10 lower
constexpr int32_t kTypeCodeGap = 10;

bool ReadFlag(OxDialog* dialog, int32_t id, bool current) {
  int32_t value = current ? 1 : 0;
  DialogGetInt(dialog, id, value);
  return value != 0;
}

struct ScopeEntry {
  int32_t id;
  const char* text;
};

struct ScopeTable {
  const ScopeEntry* entries;
  size_t count;
};

constexpr ScopeEntry kTagScopes[] = {{0, "All Objects with Tags"},
                                     {1, "Tags on Selected Objects and Children"},
                                     {2, "Tags on Selected Objects Only"}};
constexpr ScopeEntry kShaderScopes[] = {{0, "All Materials"}, {2, "Selected Materials Only"}};
constexpr ScopeEntry kObjectScopes[] = {
    {0, "All Objects"}, {1, "Selected Objects and Children"}, {2, "Selected Objects Only"}};
constexpr ScopeEntry kVideoPostScopes[] = {{0, "All Videposts"}};

constexpr ScopeTable kScopesByType[] = {
    {kTagScopes, std::size(kTagScopes)},
    {kShaderScopes, std::size(kShaderScopes)},
    {kObjectScopes, std::size(kObjectScopes)},
    {kVideoPostScopes, std::size(kVideoPostScopes)},
};

void FillScopes(OxDialog* dialog, const ScopeTable& table) {
  OxElementDesc clear{};
  clear.size = sizeof(OxElementDesc);
  clear.kind = OX_ELEM_DROPDOWN_CLEAR;
  clear.id = kIdScope;
  DialogAddElement(dialog, clear);
  for (size_t i = 0; i < table.count; ++i) {
    const Text text = TextFromLiteral(table.entries[i].text);
    OxElementDesc entry{};
    entry.size = sizeof(OxElementDesc);
    entry.kind = OX_ELEM_DROPDOWN_ENTRY;
    entry.id = kIdScope;
    entry.extra = table.entries[i].id;
    entry.text = text.get();
    DialogAddElement(dialog, entry);
  }
}

} // namespace

int32_t PluginIdFromNumber(double value) noexcept {
  // The field allows up to 1e18 either way; a plain cast of such a value is
  // undefined, so anything beyond the 32-bit range takes the nearer bound.
  if (std::isnan(value))
    return 0;
  if (value >= static_cast<double>(INT32_MAX))
    return INT32_MAX;
  if (value <= static_cast<double>(INT32_MIN))
    return INT32_MIN;
  return static_cast<int32_t>(value); // truncates toward zero
}

int32_t RemoverDialog::ReadPluginId() {
  double value = 0.0;
  DialogGetNumber(Handle(), kIdPluginId, value);
  return PluginIdFromNumber(value);
}

bool RemoverDialog::Command(int32_t id, void*) {
  OxDocument* doc = HostActiveDocument();
  OxDialog* dialog = Handle();

  switch (id) {
  case kIdProcess: {
    PauseHostActivity(1, 1, 1);
    DialogGetInt(dialog, kIdAction, actionMode);
    DialogGetInt(dialog, kIdPluginType, pluginType);
    DialogGetInt(dialog, kIdScope, scopeMode);
    warnBeforeDeleting = ReadFlag(dialog, kIdWarn, warnBeforeDeleting);
    keepLayerShaders = ReadFlag(dialog, kIdKeepLayerShaders, keepLayerShaders);
    foundKind = -1;

    if (actionMode != kIdentify) {
      switch (pluginType) {
      case kTag: ProcessTags(doc, actionMode); break;
      case kShader: ProcessShaders(doc, actionMode); break;
      case kObject: ProcessObjects(doc, actionMode); break;
      case kVideoPost: ProcessVideoPosts(doc, actionMode); break;
      default: break;
      }
      break;
    }

    // Each probe shows its own message when it identifies the plug-in.
    ProcessTags(doc, kIdentify);
    if (foundKind == -1)
      ProcessShaders(doc, kIdentify);
    if (foundKind == -1)
      ProcessObjects(doc, kIdentify);
    if (foundKind == -1)
      ProcessVideoPosts(doc, kIdentify);
    if (foundKind != -1)
      break;

    const int32_t pluginId = ReadPluginId();
    Text message;
    if (OxNode* record = PluginLookup(pluginId, OX_PLUGINTYPE_ANY)) {
      const int32_t code = NodeTypeId(record);
      const int32_t index = code <= kLastNamedTypeCode ? code : code - kTypeCodeGap;
      const Text typeName = index >= 0 && static_cast<size_t>(index) < pluginTypeNames.size()
                                ? pluginTypeNames[static_cast<size_t>(index)]
                                : TextFromLiteral("Unknown");
      message = TextFromLiteral("Plugin ") + TextFromInteger(pluginId) +
                TextFromLiteral(
                    " was not found in the scene file,\nbut is reported by C4D as a plugin of type\n'") +
                typeName + TextFromLiteral("' with the name '") + NodeName(record) +
                TextFromLiteral("'\n(but see the manual for caveats in this context).");
    } else {
      message = TextFromLiteral("Plugin ") + TextFromInteger(pluginId) +
                TextFromLiteral(
                    " could not be identifed. Try searching the internet for the plugin ID value or name.");
    }
    MessageBox(message, OX_MB_OK);
    break;
  }

  case kIdCancel: DialogClose(dialog); break;

  case kIdAbout: MessageBox(ResourceText(kAboutResource), OX_MB_OK); break;

  case kIdHelp: OpenWithSystem(FileNameJoin(ModuleDirectory(), TextFromLiteral("Orphanex.pdf"))); break;

  case kIdPluginType: {
    int32_t type = 0;
    DialogGetInt(dialog, kIdPluginType, type);
    results.Clear();
    if (type >= 0 && static_cast<size_t>(type) < std::size(kScopesByType))
      FillScopes(dialog, kScopesByType[type]);
    DialogSetValue(dialog, kIdScope, IntValue(0));
    resultsModel.listPluginType = type;
    RefreshColumns();
    break;
  }

  case kIdScope:
    results.Clear();
    RefreshColumns();
    break;

  case kIdAction: {
    int32_t action = 0;
    DialogGetInt(dialog, kIdAction, action);
    const bool notIdentify = action != kIdentify;
    DialogEnable(dialog, kIdPluginType, notIdentify);
    DialogEnable(dialog, kIdScope, notIdentify);
    DialogEnable(dialog, kIdResults, notIdentify);
    resultsModel.identifyMode = action == kIdentify;
    DialogEnable(dialog, kIdWarn, action == kRemove);
    DialogEnable(dialog, kIdKeepLayerShaders, action == kRemove);
    break;
  }

  default: break;
  }
  return true;
}

} // namespace ox
