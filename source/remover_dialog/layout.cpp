// RemoverDialog::CreateLayout: the window's title, menu, options grid,
// buttons and results list, built in code each time the window opens.
#include "remover_dialog/remover_dialog.h"

namespace ox {

namespace {

constexpr int32_t kLayoutTitleResource = 10000;
constexpr int32_t kTreeViewType = OX_LIBRARY_TREEVIEW;

OxElementDesc Desc(int32_t kind, int32_t id, int32_t flags, int32_t width, int32_t height, const Text& text,
                   int32_t extra) {
  OxElementDesc d{};
  d.size = sizeof(OxElementDesc);
  d.kind = kind;
  d.id = id;
  d.flags = flags;
  d.width = width;
  d.height = height;
  d.text = text.get();
  d.extra = extra;
  return d;
}

void AddElement(OxDialog* dialog, int32_t kind, int32_t id, int32_t flags, int32_t width, int32_t height,
                const char* text, int32_t extra) {
  const Text t = TextFromLiteral(text);
  DialogAddElement(dialog, Desc(kind, id, flags, width, height, t, extra));
}

void AddMenu(OxDialog* dialog, int32_t kind, int32_t id, const char* text) {
  AddElement(dialog, kind, id, 0, 0, 0, text, 0);
}

void AddStatic(OxDialog* dialog, int32_t width, const char* text) {
  AddElement(dialog, OX_ELEM_STATIC, kIdStatic, 9, width, 0, text, 0);
}

struct Entry {
  int32_t id;
  const char* text;
};

template <size_t N> void AddDropDown(OxDialog* dialog, int32_t id, const Entry (&entries)[N]) {
  AddElement(dialog, OX_ELEM_DROPDOWN, id, 57, 0, 0, "", 0);
  for (const Entry& e : entries)
    AddElement(dialog, OX_ELEM_DROPDOWN_ENTRY, id, 0, 0, 0, e.text, e.id);
}

constexpr Entry kActionEntries[] = {{0, "Identify Plugin"}, {1, "Generate List"}, {2, "Remove Plugin"}};
constexpr Entry kTypeEntries[] = {{0, "Tag"}, {1, "Shader"}, {2, "Object"}, {3, "Post Effect"}};
constexpr Entry kTagScopeEntries[] = {{0, "All Objects with Tags"},
                                      {1, "Tags on Selected Objects and Children"},
                                      {2, "Tags on Selected Objects Only"}};

} // namespace

bool RemoverDialog::CreateLayout() {
  OxDialog* dialog = Handle();

  const Text title = ResourceText(kLayoutTitleResource);
  DialogAddElement(dialog, Desc(OX_ELEM_TITLE, 0, 0, 0, 0, title, 0));

  AddMenu(dialog, OX_ELEM_MENU_CLEAR, 0, "");
  AddMenu(dialog, OX_ELEM_SUBMENU_BEGIN, 0, "Help");
  AddMenu(dialog, OX_ELEM_MENU_ENTRY, kIdAbout, "About...");
  AddMenu(dialog, OX_ELEM_MENU_ENTRY, kIdHelp, "Show Help File (.PDF)...");
  AddMenu(dialog, OX_ELEM_SUBMENU_END, 0, "");
  AddMenu(dialog, OX_ELEM_MENU_DONE, 0, "");

  DialogGroupBegin(dialog, kIdStatic, 57, 2, 0, TextFromLiteral("Options"), 0, 0, 0);
  DialogGroupSpacing(dialog, 4, 4, 4, 4);
  DialogGroupBorder(dialog, 5u | 0x80000000u);
  AddStatic(dialog, 200, "Action to Take");
  AddDropDown(dialog, kIdAction, kActionEntries);
  AddStatic(dialog, 200, "Plugin Type");
  AddDropDown(dialog, kIdPluginType, kTypeEntries);
  AddStatic(dialog, 300, "Scope of Process");
  AddDropDown(dialog, kIdScope, kTagScopeEntries);
  AddElement(dialog, OX_ELEM_CHECKBOX, kIdWarn, 57, 0, 0, "Warn Before Deleting", 0);
  AddElement(dialog, OX_ELEM_CHECKBOX, kIdKeepLayerShaders, 57, 0, 0,
             "Do Not Remove Shaders in a Layer Shader", 0);
  AddStatic(dialog, 200, "Plugin ID");
  AddElement(dialog, OX_ELEM_NUMBER, kIdPluginId, 57, 500, 0, "", 0);
  DialogGroupEnd(dialog);

  DialogGroupBegin(dialog, kIdStatic, 8, 4, 0, Text(), 0, 0, 0);
  AddElement(dialog, OX_ELEM_BUTTON, kIdProcess, 8, 100, 0, "Process", 0);
  AddElement(dialog, OX_ELEM_BUTTON, kIdCancel, 8, 100, 0, "Cancel", 0);
  DialogGroupEnd(dialog);

  DialogGroupBegin(dialog, kIdStatic, 63, 1, 0, Text(), 0, 0, 0);
  DialogGroupSpacing(dialog, 4, 4, 4, 4);
  Container settings = ContainerInit(-1);
  ContainerSetBool(settings.get(), FourCC("tvhh"), true);
  ContainerSetBool(settings.get(), FourCC("brdr"), true);
  ContainerSetBool(settings.get(), FourCC("tvfl"), true);
  OxElementDesc list = Desc(OX_ELEM_CUSTOM, kIdResults, 63, 0, 0x10064, Text(), 0);
  list.customType = kTreeViewType;
  list.settings = settings.get();
  OxElement* tree = nullptr;
  DialogAddElement(dialog, list, &tree);
  resultsTree = tree;
  DialogGroupEnd(dialog);
  settings.reset();
  return true;
}

} // namespace ox
