// `standin ui` in plain line mode: the dialog printed with the id of every
// control, one typed command a line, questions asked on the spot.
#include "cli/commands.h"
#include "cli/support.h"
#include "cli/ui_frontends.h"
#include "cli/ui_session.h"
#include "runtime/host.h"
#include "scene/world.h"

#include <iomanip>
#include <iostream>
#include <unistd.h>

namespace standin::cli::ui {
namespace {

constexpr size_t kListRowsShown = 50;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::string Joined(const std::vector<std::string>& cells) {
  std::string out;
  for (size_t i = 0; i < cells.size(); ++i)
    out += (i == 0 ? "" : " | ") + cells[i];
  return out;
}

void Draw(const Snapshot& s) {
  if (!s.open) {
    std::cout << "(the dialog is closed: 'open' opens it again, 'quit' ends)\n";
    return;
  }
  std::cout << s.title << '\n';
  for (size_t i = 0; i < s.idLines.size(); ++i) {
    std::cout << s.idLines[i] << '\n';
    if (!s.hasList || i != s.listLine)
      continue;
    std::cout << "  row  " << Joined(s.list.header) << '\n';
    const size_t shown = std::min(s.list.rows.size(), kListRowsShown);
    for (size_t r = 0; r < shown; ++r)
      std::cout << std::setw(5) << r << "  " << Joined(s.list.rows[r]) << '\n';
    if (shown < s.list.rows.size())
      std::cout << "  ... " << s.list.rows.size() - shown << " more rows ('show list' prints them all)\n";
  }
}

const char* KindName(ControlKind kind) {
  switch (kind) {
  case ControlKind::Menu: return "menu";
  case ControlKind::Dropdown: return "drop-down";
  case ControlKind::Checkbox: return "check box";
  case ControlKind::Number: return "number";
  case ControlKind::Button: return "button";
  case ControlKind::List: return "list";
  }
  return "";
}

void Ids(const Snapshot& s) {
  if (!s.open) {
    std::cout << "(the dialog is closed)\n";
    return;
  }
  for (const Control& c : s.controls) {
    std::cout << std::setw(7) << c.id << "  " << std::left << std::setw(11) << KindName(c.kind) << std::right
              << (c.kind == ControlKind::List ? "" : c.label);
    switch (c.kind) {
    case ControlKind::Dropdown: {
      std::cout << " = " << FormatValue(c.value) << " (" << EntryText(c) << "); entries:";
      const char* separator = " ";
      for (const auto& [id, text] : c.entries) {
        std::cout << separator << id << " " << text;
        separator = ", ";
      }
      break;
    }
    case ControlKind::Checkbox:
    case ControlKind::Number: std::cout << " = " << FormatValue(c.value); break;
    case ControlKind::List: std::cout << s.list.rows.size() << " rows (choose N)"; break;
    default: break;
    }
    std::cout << (c.enabled ? "" : " (disabled)") << '\n';
  }
}

// Typed input is echoed when it does not come from a terminal, so that the
// output reads as a transcript.
bool g_echo = false;

bool ReadLine(std::string& line) {
  if (!std::getline(std::cin, line))
    return false;
  if (g_echo)
    std::cout << line << '\n';
  return true;
}

// Yes or no from the person; an empty line or the end of input is No.
bool Ask() {
  while (true) {
    std::cout << "  answer yes or no [y/N]: " << std::flush;
    std::string reply;
    if (!ReadLine(reply)) {
      std::cout << "\n  (end of input: no)\n";
      return false;
    }
    const std::string_view r = Trim(reply);
    if (r.empty() || r == "n" || r == "N" || r == "no" || r == "No")
      return false;
    if (r == "y" || r == "Y" || r == "yes" || r == "Yes")
      return true;
    std::cout << "  please type y or n\n";
  }
}

bool ChangesThings(ScriptOp op) {
  switch (op) {
  case ScriptOp::ShowDialog:
  case ScriptOp::ShowList:
  case ScriptOp::ShowScene:
  case ScriptOp::ShowSelection:
  case ScriptOp::Expect:
  case ScriptOp::Answer:
  case ScriptOp::Save: return false;
  default: return true;
  }
}

} // namespace

int RunLineMode(Host& host, const std::string& scene, const std::string& module) {
  if (!host.LoadModule(module)) {
    std::cerr << "standin ui: " << host.Error() << '\n';
    return kBadArguments;
  }
  const bool askBeforeQuit = isatty(STDIN_FILENO);
  g_echo = !askBeforeQuit;
  std::string saved = SaveSceneString();
  SetAnswerProvider([](std::string_view) { return Ask(); });
  ScriptCommand open;
  open.op = ScriptOp::Open;
  if (const std::string why = Perform(open); !why.empty())
    std::cout << "error: the dialog does not open: " << why << '\n';
  Draw(TakeSnapshot());
  std::cout << "Scene " << OneLine(scene)
            << ". Type a command ('help' lists them, 'ids' the controls, 'quit' ends); #N after a control "
               "is its id.\n";
  bool warnedUnsaved = false;
  std::string line;
  while (true) {
    std::cout << "> " << std::flush;
    if (!ReadLine(line)) {
      std::cout << '\n';
      break;
    }
    const std::string_view word = Trim(line);
    if (word == "quit" || word == "exit" || word == "q") {
      if (askBeforeQuit && !warnedUnsaved && SaveSceneString() != saved) {
        std::cout << "The scene has changes that are not saved ('save FILE' saves them). Type quit again to "
                     "leave without saving.\n";
        warnedUnsaved = true;
        continue;
      }
      break;
    }
    warnedUnsaved = false;
    if (word == "help" || word == "?") {
      std::cout << CommandHelp();
      continue;
    }
    if (word == "ids") {
      Ids(TakeSnapshot());
      continue;
    }
    std::optional<ScriptCommand> command;
    std::string error;
    if (!ParseScriptLine(line, command, error)) {
      std::cout << "error: " << error << " ('help' lists the commands)\n";
      continue;
    }
    if (!command)
      continue;
    if (command->op == ScriptOp::Save) {
      if (const std::string why = SaveScene(command->text); !why.empty()) {
        std::cout << "error: cannot save " << OneLine(command->text) << ": " << why << '\n';
      } else {
        saved = SaveSceneString();
        std::cout << "saved " << OneLine(command->text) << '\n';
      }
      continue;
    }
    if (const std::string why = Perform(*command); !why.empty()) {
      std::cout << "error: " << OneLine(why) << '\n';
      continue;
    }
    if (ChangesThings(command->op))
      Draw(TakeSnapshot());
  }
  SetAnswerProvider({});
  host.Unload();
  return kDone;
}

} // namespace standin::cli::ui
