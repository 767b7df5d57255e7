// `standin ui`: full screen in a terminal, plain lines otherwise.
#include "cli/commands.h"
#include "cli/support.h"
#include "cli/ui_frontends.h"
#include "runtime/host.h"
#include "scene/world.h"

#include <iostream>
#include <unistd.h>

namespace standin::cli {

namespace ui {

std::string SaveScene(const std::string& path) {
  if (ActiveDocument() == nullptr)
    return "there is no document";
  std::string error;
  return WriteFileAtomically(path, SaveSceneString(), error) ? std::string() : error;
}

const char* CommandHelp() {
  return "Commands (the script language of 'standin run'):\n"
         "  set ID VALUE        set control ID: a drop-down's entry id, a check box 0/1,\n"
         "                      a number\n"
         "  press ID            press button ID (Process, Cancel)\n"
         "  menu ID             choose menu entry ID\n"
         "  choose N            choose row N of the list (0 is the first): selects its\n"
         "                      object or material\n"
         "  undo / redo         the host's undo and redo, one step\n"
         "  open / close        open the dialog again / close it\n"
         "  select object PATH  select an object (names joined by /)\n"
         "  select material NAME, deselect all\n"
         "  document new        a new empty document; document activate N\n"
         "  show dialog|list|scene|selection\n"
         "  save FILE           save the scene (never half-written)\n"
         "  ids                 every control with its id, value and entries\n"
         "  help                this text\n"
         "  quit                end (also: exit, q, the end of input)\n";
}

} // namespace ui

int Ui(const UiOptions& o) {
  Host host;
  std::string error;
  if (!LoadScene(o.scene, error)) {
    std::cerr << "standin ui: cannot read scene " << OneLine(o.scene) << ": " << OneLine(error) << '\n';
    return kBadArguments;
  }
  int status = -1;
  if (!o.lineMode && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO))
    status = ui::RunScreenMode(host, o.scene, o.module);
  if (status < 0)
    status = ui::RunLineMode(host, o.scene, o.module);
  return WithBreaches(status);
}

} // namespace standin::cli
