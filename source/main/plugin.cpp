// The module's start, message and end functions, called by the entry glue.
#include "host/entry.h"
#include "host/host.h"
#include "main/remover_command.h"

namespace ox {

bool PluginStart() {
  const bool registered = RegisterRemoverCommand();
  ConsoleWrite(TextFromLiteral(registered ? "Tarnwick Software: Orphanex successfully loaded."
                                          : "Tarnwick Software: Failed to load Orphanex"));
  return registered;
}

bool PluginMessage(int32_t code, void*) {
  switch (code) {
  case 0: return true;
  case 1:
    if (ResourcesLoaded())
      return true;
    if (ResourceLoad(FileNameJoin(ModuleDirectory(), TextFromLiteral("res")))) {
      NoteResourcesLoaded();
      return true;
    }
    ConsoleWrite(TextFromLiteral("Orphanex: failed to load resource file."));
    return false;
  default: return false;
  }
}

void PluginEnd() {}

} // namespace ox
