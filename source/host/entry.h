// The entry glue's view of the module: the three functions the module
// defines (in source/main) and what the glue keeps for it.
#pragma once

#include <cstdint>

namespace ox {

// Defined by the module (source/main).
bool PluginStart();
bool PluginMessage(int32_t code, void* data);
void PluginEnd();

// Kept by the glue between the first action 1 and the last action 3.
const char* ModulePath();  // "" when not initialised
int32_t BuildApiVersion(); // 2025300 (win flavour) or 2025200 (mac flavour)

// Whether the module's resource texts are loaded; the glue releases them at
// the last action 3 and then forgets this.
bool ResourcesLoaded();
void NoteResourcesLoaded();

// The flavour: mac resets the pen from the area before filling a cell.
#if defined(ORPHANEX_FLAVOUR_MAC)
inline constexpr bool kResetPenBeforeFill = true;
#else
inline constexpr bool kResetPenBeforeFill = false;
#endif

} // namespace ox
