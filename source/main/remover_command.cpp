#include "main/remover_command.h"

#include "host/entry.h"
#include "host/host.h"

#include <cstring>
#include <new>

namespace ox {
namespace {

constexpr int32_t kResourceName = 10000;
constexpr int32_t kResourceHelp = 10002;

// Ends a command the host never took over, the way the host's destroy would.
void DiscardCommand(RemoverCommand* command) {
  command->~RemoverCommand();
  MemoryFree(command);
}

RemoverCommand* NewCommand() {
  void* storage = MemoryAllocate(sizeof(RemoverCommand));
  if (storage == nullptr)
    return nullptr;
  // Dialog members the constructor leaves alone start as zero bytes.
  std::memset(storage, 0, sizeof(RemoverCommand));
  RemoverCommand* command = nullptr;
  try {
    command = ::new (storage) RemoverCommand();
  } catch (...) {
    MemoryFree(storage);
    return nullptr;
  }
  // Without the host side of its dialog the command could never open it.
  if (command->dialog.Handle() == nullptr) {
    DiscardCommand(command);
    return nullptr;
  }
  return command;
}

} // namespace

bool RemoverCommand::Execute(OxDocument*) {
  // An open dialog is left as it is, not brought to the front.
  if (!dialog.IsOpen())
    DialogOpen(dialog.Handle(), OX_DIALOG_NONMODAL, kCommandPluginId, 0, -1, -1, 0, 0);
  return true;
}

bool RemoverCommand::RestoreLayout(void* layoutData) {
  return DialogRestore(dialog.Handle(), kCommandPluginId, 0, layoutData);
}

bool RegisterRemoverCommand() {
  RemoverCommand* command = NewCommand();
  const Text help = ResourceText(kResourceHelp);
  const Text iconPath = FileNameJoin(FileNameJoin(ModuleDirectory(), TextFromLiteral("res")),
                                     TextFromLiteral("Orphanex32x32.png"));
  const Bitmap icon = IconLoad(iconPath, 1.0);
  const Text name = ResourceText(kResourceName);
  if (command == nullptr)
    return false;

  OxCommandRegistration registration{};
  registration.size = sizeof(registration);
  registration.pluginId = kCommandPluginId;
  registration.name = name.get();
  registration.infoFlags = 0;
  registration.icon = icon.get();
  registration.help = help.get();
  registration.apiVersion = BuildApiVersion();
  registration.callbacks = CommandBase::Callbacks();
  registration.self = static_cast<CommandBase*>(command);
  if (RegisterCommand(registration))
    return true;
  // Refused: the host did not take the command, so it is still ours to end.
  DiscardCommand(command);
  return false;
}

} // namespace ox
