// What both interactive front ends (`standin ui` full screen and line mode)
// share: a snapshot of the open dialog as text with the place of every
// control in it, and running one command the way the script runner does.
#pragma once

#include "script/script.h"
#include "ui/gui.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace standin::cli::ui {

enum class ControlKind { Menu, Dropdown, Checkbox, Number, Button, List };

struct Control {
  ControlKind kind = ControlKind::Button;
  int32_t id = 0;
  std::string label; // what a person reads for it
  bool enabled = true;
  double value = 0;
  std::vector<std::pair<int32_t, std::string>> entries; // drop-downs
  size_t line = 0;                                      // in Snapshot::lines
  size_t begin = 0, end = 0;                            // its text in that line (bytes)
};

struct Snapshot {
  bool open = false;
  std::string title;
  // The dialog as `show dialog` draws it, without the title and without the
  // list's rows (which are in `list`); `idLines` the same with " #ID" after
  // every control, as `ids` and the line mode show them.
  std::vector<std::string> lines;
  std::vector<std::string> idLines;
  std::vector<Control> controls; // in reading order; the list last
  bool hasList = false;
  size_t listLine = 0; // the line that labels the list; its rows follow it
  ListCells list;
};

// Draws the open dialog afresh (this calls the module: never from inside a
// module callback).
Snapshot TakeSnapshot();

// "set 5008 1": the script command that does what a control does.
std::string ScriptFor(const Control& control, double value);

// Runs one command as the script runner does: undo brackets checked, breaches
// during it counted, host errors caught. Empty when it succeeded, else why.
std::string Perform(const ScriptCommand& command);

// The drop-down entry text for `value`, or "?".
std::string EntryText(const Control& control);

// Number fields and values as a person types them: 1057311, 2.5.
std::string FormatValue(double value);

} // namespace standin::cli::ui
