// A minimal host for driving the module's entry glue on its own: every area
// slot is filled (most with do-nothing stubs), and the slots the glue and the
// command touch record what the module asked for. One fake per process, like
// a real host; Reset() starts over.
#pragma once

#include "host/ox_abi.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct Registration {
  int32_t pluginId = 0;
  std::string name;
  std::string help;
  int32_t infoFlags = -1;
  bool hasIcon = false;
  int32_t apiVersion = 0;
  const OxCommandCallbacks* callbacks = nullptr;
  void* self = nullptr;
};

struct Dialog {
  const OxDialogCallbacks* callbacks = nullptr;
  void* self = nullptr;
  bool destroyed = false;
};

struct OpenCall {
  OxDialog* dialog;
  int32_t type, pluginId, subId, x, y, width, height;
  bool operator==(const OpenCall&) const = default;
};

struct RestoreCall {
  OxDialog* dialog;
  int32_t pluginId, subId;
  void* layoutData;
  bool operator==(const RestoreCall&) const = default;
};

struct Bitmap {
  std::string loadedFrom;
  double scale = 0.0;
  bool released = false;
};

struct State {
  // ---- switches
  bool failAllocations = false;
  bool resourceLoadSucceeds = true;
  bool registrationSucceeds = true;
  bool bitmapLoadSucceeds = true;
  bool dialogCreateSucceeds = true;
  bool dialogOpen = false;
  OxBool restoreAnswer = 1;
  std::map<int32_t, const OxLibraryHeader*> libraries;

  // ---- records
  std::set<void*> liveBlocks;
  size_t allocations = 0;
  size_t badFrees = 0;
  std::vector<std::string> console;
  std::vector<std::string> resourceLoads;
  int resourceUnloads = 0;
  std::map<int32_t, std::string> resourceTexts = {
      {10000, "Orphanex"}, {10001, "About"}, {10002, "Removes plug-in instances"}};
  std::vector<Registration> registrations;
  int registerCalls = 0;
  std::deque<Bitmap> bitmaps;
  std::deque<Dialog> dialogs;
  std::vector<OpenCall> opens;
  std::vector<RestoreCall> restores;
  std::map<int32_t, int> libraryFinds;
  int treeLayouts = 0;
};

State& Host();
// Forgets every record and switch and gives back what the module leaked.
void Reset();
// Fresh tables: every area present, complete, with the given API version.
OxHostTables Tables(int32_t apiVersion);
// Texts the module holds references to.
size_t LiveTexts();
std::string TextOf(const OxText* text);
// Sends a dialog message to the module's dialog, as the host's framework does.
int32_t SendDialogMessage(const Dialog& dialog, int32_t id, int32_t a = 0, void* data = nullptr);

// A tree-view library table with every slot set.
const OxTreeViewLibrary& TreeViewLibrary();

} // namespace fake
