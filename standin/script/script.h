// The script runner: one command a line against the host's current state
// (scene loaded, module started). A line whose first non-blank character is
// `#` is a comment (a `#` later in a line is text: `expect  #Tag [1012345]`),
// blank lines are skipped.
//
// The whole script is parsed before anything runs, so a typo on the last
// line cannot leave a half-run script behind (a `save` done, say). Running
// stops at the first line that fails, and at the first line during which the
// validator reported a breach; either prints `FILE:LINE: message` on the
// error stream.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class ScriptOp {
  Open,
  Set,
  Press,
  Menu,
  Answer,
  Choose,
  Close,
  Undo,
  Redo,
  SelectObject,
  SelectMaterial,
  DeselectAll,
  DocumentNew,
  DocumentActivate,
  ShowDialog,
  ShowList,
  ShowScene,
  ShowSelection,
  Save,
  Expect,
};

struct ScriptCommand {
  ScriptOp op = ScriptOp::Open;
  int32_t id = 0;   // set, press, menu; choose / document activate: N
  double value = 0; // set
  bool yes = false; // answer
  std::string text; // select (path or name), save (file), expect (text)
  size_t line = 0;  // 1-based line in the script
};

// One line: nullopt for a blank or comment line; otherwise the command, or
// false with `error` set (no file/line prefix).
bool ParseScriptLine(std::string_view line, std::optional<ScriptCommand>& out, std::string& error);

// Runs one command. False with `error` set when it failed.
bool RunScriptCommand(const ScriptCommand& command, std::string& error);

// The command that `open` executes.
inline constexpr int32_t kOrphanexCommandId = 1066888;

// Parses and runs a whole script; `name` labels error lines. Answers the
// exit status: 0 ran to its end, 1 a line failed or a breach was reported.
int RunScript(std::string_view text, const std::string& name, std::ostream& errors);

} // namespace standin
