// The plug-in's one command: it owns the dialog and opens it.
#pragma once

#include "host/bases.h"
#include "remover_dialog/remover_dialog.h"

#include <cstdint>

namespace ox {

class RemoverCommand final : public CommandBase {
public:
  RemoverCommand() = default;
  ~RemoverCommand() override = default;

  bool Execute(OxDocument* doc) override;
  bool RestoreLayout(void* layoutData) override;

  RemoverDialog dialog;
};

// Makes the command in the host's storage and registers it. On success the
// host owns it; otherwise nothing is left behind. Answers the registration's
// result.
bool RegisterRemoverCommand();

} // namespace ox
