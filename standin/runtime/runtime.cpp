#include "runtime/runtime.h"

#include "core/texts.h"
#include "runtime/internal.h"

namespace standin {

using namespace runtime_detail;

void ResetRuntime() {
  // Commands first: nothing of the module is called, the records just go.
  ResetCommands();
  ResetBitmaps();
  ResetResources();
  ResetFiles();
  ResetLibraries();
  ResetMemory();
}

void FillRuntimeAreas(OxHostTables& tables) {
  tables.areas[OX_AREA_MEMORY] = MemoryArea();
  tables.areas[OX_AREA_TEXT] = TextArea();
  tables.areas[OX_AREA_CONSOLE] = ConsoleArea();
  tables.areas[OX_AREA_RESOURCE] = ResourceArea();
  tables.areas[OX_AREA_COMMAND] = CommandArea();
  tables.areas[OX_AREA_BITMAP] = BitmapArea();
  tables.areas[OX_AREA_FILE] = FileArea();
  tables.areas[OX_AREA_LIBRARY] = LibraryArea();
}

} // namespace standin
