// The entry glue: the three exported symbols and the entry actions.
#include "host/entry.h"

#include "host/host.h"
#include "host/ox_abi.h"
#include "host/tables.h"

#include <cstdint>
#include <string>

#if defined(_WIN32)
#define OX_EXPORT __declspec(dllexport)
#else
#define OX_EXPORT __attribute__((visibility("default")))
#endif

namespace ox {
namespace {

#if defined(ORPHANEX_FLAVOUR_MAC)
constexpr int32_t kBuildApiVersion = OX_API_VERSION_MAC;
#else
constexpr int32_t kBuildApiVersion = OX_API_VERSION_WIN;
#endif

// Counts the action 1 calls the host has not yet matched with an action 3; a
// refused action 1 does not count, so the host may try again.
int32_t g_useCount = 0;
std::string g_modulePath;
bool g_resourcesLoaded = false;

int32_t Initialise(const void* hostTables, const void* modulePath) noexcept {
  if (g_useCount > 0) {
    ++g_useCount;
    return 1;
  }
  const auto* host = static_cast<const OxHostTables*>(hostTables);
  const auto* path = static_cast<const char*>(modulePath);
  if (host == nullptr || host->apiVersion < kBuildApiVersion || path == nullptr || *path == '\0')
    return OX_ENTRY_REFUSED;
  try {
    g_modulePath = path;
  } catch (...) {
    return OX_ENTRY_REFUSED;
  }
  if (!tables::Keep(*host)) {
    g_modulePath = std::string();
    return OX_ENTRY_REFUSED;
  }
  g_useCount = 1;
  return 1;
}

int32_t End() noexcept {
  // An end without a matching start is ignored rather than counted below 0.
  if (g_useCount == 0)
    return 1;
  if (--g_useCount > 0)
    return 1;
  PluginEnd();
  ResourceUnload();
  g_resourcesLoaded = false;
  g_modulePath = std::string(); // gives the storage back, unlike clear()
  tables::Forget();
  return 1;
}

int32_t Dispatch(int32_t action, void* p1, void* p2) noexcept {
  switch (action) {
  case OX_ACTION_INIT: return Initialise(p1, p2);
  case OX_ACTION_START:
    // Without the host's tables the module has nothing to start with.
    return g_useCount > 0 && PluginStart() ? 1 : 0;
  case OX_ACTION_END: return End();
  case OX_ACTION_QUERY: return 5;
  case OX_ACTION_MESSAGE:
    return PluginMessage(static_cast<int32_t>(reinterpret_cast<intptr_t>(p1)), p2) ? 1 : -1;
  default: return -1;
  }
}

void YieldNothing() noexcept {}

} // namespace

const char* ModulePath() {
  return g_modulePath.c_str();
}
int32_t BuildApiVersion() {
  return kBuildApiVersion;
}
bool ResourcesLoaded() {
  return g_resourcesLoaded;
}
void NoteResourcesLoaded() {
  g_resourcesLoaded = true;
}

} // namespace ox

extern "C" {

OX_EXPORT int32_t c4d_main(int32_t action, void* p1, void* p2, void* /*p3*/) noexcept {
  try {
    return ox::Dispatch(action, p1, p2);
  } catch (...) {
    return -1;
  }
}

OX_EXPORT extern const OxModuleInfo g_maxon;
const OxModuleInfo g_maxon = {sizeof(OxModuleInfo), "com.tarnwicksoftware.orphanex", ox::kBuildApiVersion};

OX_EXPORT extern OxCpuYieldDelegate g_CpuYieldDelegate;
OxCpuYieldDelegate g_CpuYieldDelegate = {sizeof(OxCpuYieldDelegate), &ox::YieldNothing};

} // extern "C"
