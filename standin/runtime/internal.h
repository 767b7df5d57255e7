// Pieces of the runtime that only its own files share: each file's reset
// and area table.
#pragma once

#include "host/ox_abi.h"

namespace standin::runtime_detail {

void ResetMemory();
void ResetResources();
void ResetBitmaps();
void ResetFiles();
void ResetCommands();
void ResetLibraries();

const OxMemoryArea* MemoryArea();
const OxConsoleArea* ConsoleArea();
const OxResourceArea* ResourceArea();
const OxBitmapArea* BitmapArea();
const OxFileArea* FileArea();
const OxCommandArea* CommandArea();
const OxLibraryArea* LibraryArea();

// The bitmap's image size when the handle is live and the bitmap loaded;
// false after reporting a breach for a bad handle.
bool BitmapSize(const OxBitmap* bitmap, bool& loaded, uint32_t& width, uint32_t& height,
                const char* operation);

} // namespace standin::runtime_detail
