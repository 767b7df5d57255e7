// The stand-in host's runtime services: the host allocator, console, string
// resources, bitmaps, file names, the command registry and library look-up.
// Areas MEMORY, TEXT (from core), CONSOLE, RESOURCE, COMMAND, BITMAP, FILE and
// LIBRARY. One host per process, so the state is process-wide; ResetRuntime()
// brings it back to empty.
#pragma once

#include "host/ox_abi.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// ---- lifetime and areas ---------------------------------------------------

// Frees what the module left in the allocator, forgets resources, bitmaps,
// opened files and registered commands (without calling their destroy: the
// module may be gone), and clears every test switch.
void ResetRuntime();

// Sets the MEMORY, TEXT, CONSOLE, RESOURCE, COMMAND, BITMAP, FILE and LIBRARY
// area pointers.
void FillRuntimeAreas(OxHostTables& tables);

// ---- memory -----------------------------------------------------------------

// The n-th allocation from now (1-based) answers null, once; 0 disarms.
void FailAllocationAfter(size_t n);
size_t LiveBlocks();
size_t AllocationCount(); // allocations answered (successful or failed) since reset

// ---- resources ----------------------------------------------------------------

// Parses the text of a `strings.str` file: one resource a line `ID "text"`
// (escapes \n, \" and \\), `#` comment lines and blank lines. False with a
// one-line reason (naming the line) when malformed.
bool ParseStringResources(std::string_view content, std::map<int32_t, std::string>& out, std::string& error);
// What RESOURCE.load does, for the host side: reads `<folder>/strings.str`;
// false (and the loaded texts unchanged) when it is missing or malformed.
bool LoadResources(const std::string& folder, std::string& error);
bool ResourcesLoaded();
size_t ResourceLoadCount(); // successful loads since reset
std::optional<std::string> ResourceString(int32_t id);

// ---- bitmaps ------------------------------------------------------------------

struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba; // width * height * 4 bytes
};
// Decodes a PNG file to 8-bit RGBA; false with a reason when it is missing,
// truncated, corrupt or too large.
bool DecodePngFile(const std::string& path, Image& out, std::string& error);
size_t LiveBitmaps();

// ---- files --------------------------------------------------------------------

std::string DirectoryOf(std::string_view path); // POSIX dirname
std::string JoinPath(std::string_view folder, std::string_view name);
// Every path the module asked to open with the system, in order.
const std::vector<std::string>& OpenedFiles();

// ---- commands -----------------------------------------------------------------

struct RegisteredCommand {
  int32_t pluginId = 0;
  std::string name;
  std::string help;
  int32_t infoFlags = 0;
  bool hasIcon = false;
  uint32_t iconWidth = 0; // 0 x 0 when the icon given was never loaded
  uint32_t iconHeight = 0;
  int32_t apiVersion = 0;
  OxCommandCallbacks callbacks{};
  void* self = nullptr;
};

// The registered commands, in registration order.
const std::vector<RegisteredCommand>& Commands();
const RegisteredCommand* FindCommand(int32_t pluginId);
// Test switch: while on, registerCommand refuses (false) every registration.
void RefuseRegistrations(bool refuse);

// Host-side calls into a registered command; nullopt when no command has
// that id. Execute runs with the active document.
std::optional<bool> ExecuteCommand(int32_t pluginId);
std::optional<bool> RestoreCommand(int32_t pluginId, void* layoutData);
std::optional<int32_t> CommandState(int32_t pluginId);
// Destroys every registered command through its destroy callback, once
// each, and empties the registry.
void DestroyCommands();

// ---- libraries ----------------------------------------------------------------

enum class LibraryMode {
  Present,  // the table as the subsystem gives it
  Missing,  // find answers null
  Short,    // a copy whose size leaves out the last function
  NullSlot, // a copy whose last function is null
};
void SetLibraryMode(int32_t libraryId, LibraryMode mode);
const OxLibraryHeader* FindLibrary(int32_t libraryId);

} // namespace standin
