#include "runtime/host.h"

#include "core/breach.h"
#include "core/output.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "ui/gui.h"

#include <cstddef>
#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>

namespace standin {
namespace {

Host* g_current = nullptr;

std::string DlError(const char* fallback) {
  const char* message = dlerror();
  return message != nullptr ? message : fallback;
}

} // namespace

Host::Host() {
  if (g_current != nullptr)
    throw std::logic_error("only one stand-in host may exist at a time");
  g_current = this;
  ResetUi();
  ResetScene();
  ResetRuntime();
  ResetBreaches();
  MarkBlock();
  BuildTables(LoadOptions{});
}

Host* Host::Current() {
  return g_current;
}

Host::~Host() {
  Unload();
  // Nothing of the host outlives it: the next one, or the process's end,
  // finds every subsystem empty.
  ResetUi();
  ResetScene();
  ResetRuntime();
  g_current = nullptr;
}

void Host::BuildTables(const LoadOptions& options) {
  tables_ = OxHostTables{};
  tables_.apiVersion = options.apiVersion;
  FillRuntimeAreas(tables_);
  FillSceneAreas(tables_);
  FillUiAreas(tables_);
  if (options.adjustTables)
    options.adjustTables(tables_);
}

bool Host::LoadModule(const std::string& path, const LoadOptions& options) {
  if (library_ != nullptr) {
    error_ = "a module is already loaded";
    return false;
  }
  error_.clear();
  answers_.clear();
  accepted_ = false;
  std::error_code ec;
  modulePath_ = std::filesystem::absolute(path, ec).lexically_normal().string();
  if (ec)
    modulePath_ = path;

  dlerror();
  void* library = dlopen(modulePath_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    error_ = "cannot load module: " + DlError(path.c_str());
    return false;
  }
  auto fail = [&](std::string why) {
    error_ = path + ": " + std::move(why);
    dlclose(library);
    return false;
  };
  void* entry = dlsym(library, OX_ENTRY_SYMBOL);
  void* info = dlsym(library, OX_MODULE_INFO_SYMBOL);
  void* yield = dlsym(library, OX_YIELD_SYMBOL);
  if (entry == nullptr)
    return fail("no entry point '" OX_ENTRY_SYMBOL "'");
  if (info == nullptr)
    return fail("no module info '" OX_MODULE_INFO_SYMBOL "'");
  if (yield == nullptr)
    return fail("no yield delegate '" OX_YIELD_SYMBOL "'");

  const auto* moduleInfo = static_cast<const OxModuleInfo*>(info);
  if (moduleInfo->size < offsetof(OxModuleInfo, apiVersion) + sizeof(moduleInfo->apiVersion))
    return fail("module info of " + std::to_string(moduleInfo->size) + " bytes is too short");
  if (moduleInfo->moduleId == nullptr || moduleInfo->moduleId[0] == '\0')
    return fail("module info without a module id");
  const auto* delegate = static_cast<const OxCpuYieldDelegate*>(yield);
  if (delegate->size < sizeof(OxCpuYieldDelegate) || delegate->yield == nullptr)
    return fail("unusable yield delegate");

  library_ = library;
  entry_ = reinterpret_cast<OxEntryPoint>(entry);
  yield_ = delegate;
  moduleId_ = moduleInfo->moduleId;
  moduleApiVersion_ = moduleInfo->apiVersion;
  endSteps_ = options.endSteps;
  Print("module: " + moduleId_ + " (API " + std::to_string(moduleApiVersion_) + ")");

  BuildTables(options);
  accepted_ = true;
  for (const EntryStep& step : options.startSteps) {
    const int32_t answer = RunStep(step, options);
    if (step.action == OX_ACTION_INIT && answer == OX_ENTRY_REFUSED) {
      // The module is not used: no further actions, not even the end.
      accepted_ = false;
      error_ =
          path + ": the module refused the host (API version " + std::to_string(options.apiVersion) + ")";
      return false;
    }
  }
  return true;
}

int32_t Host::RunStep(const EntryStep& step, const LoadOptions& options) {
  switch (step.action) {
  case OX_ACTION_INIT:
    return CallEntry(step.action, &tables_,
                     options.nullModulePath ? nullptr : const_cast<char*>(modulePath_.c_str()));
  case OX_ACTION_MESSAGE: return CallEntry(step.action, reinterpret_cast<void*>(step.code), nullptr);
  default: return CallEntry(step.action);
  }
}

int32_t Host::CallEntry(int32_t action, void* p1, void* p2, void* p3) {
  if (entry_ == nullptr)
    return INT32_MIN;
  const int32_t answer = entry_(action, p1, p2, p3);
  answers_.push_back({{action, action == OX_ACTION_MESSAGE ? reinterpret_cast<intptr_t>(p1) : 0}, answer});
  return answer;
}

int32_t Host::AnswerOf(int32_t action, int32_t fallback) const {
  for (auto it = answers_.rbegin(); it != answers_.rend(); ++it)
    if (it->step.action == action)
      return it->answer;
  return fallback;
}

void Host::Unload() {
  if (library_ == nullptr)
    return;
  if (accepted_) {
    DestroyCommands();
    for (const EntryStep& step : endSteps_)
      CallEntry(step.action, reinterpret_cast<void*>(step.code));
    if (const size_t left = LiveBlocks(); left > 0)
      Breach("unload", std::to_string(left) + " block(s) of the host allocator not released");
  }
  CloseLibrary();
}

void Host::CloseLibrary() {
  dlclose(library_);
  library_ = nullptr;
  entry_ = nullptr;
  yield_ = nullptr;
  accepted_ = false;
}

} // namespace standin
