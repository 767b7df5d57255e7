#include "script/script.h"

#include "core/breach.h"
#include "core/output.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "ui/gui.h"

#include <charconv>
#include <cmath>
#include <ostream>

namespace standin {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r'))
    s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Splits off the first word; `rest` is what follows it, trimmed.
std::string_view NextWord(std::string_view s, std::string_view& rest) {
  s = Trim(s);
  size_t end = 0;
  while (end < s.size() && !IsBlank(s[end]))
    ++end;
  rest = Trim(s.substr(end));
  return s.substr(0, end);
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  std::string_view rest = s;
  while (true) {
    const std::string_view word = NextWord(rest, rest);
    if (word.empty())
      return words;
    words.push_back(word);
  }
}

bool ParseInt(std::string_view s, int32_t& out) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool ParseNumber(std::string_view s, double& out) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

std::string Quoted(std::string_view s) {
  return "'" + std::string(s) + "'";
}

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    Print(line);
}

bool FromOutcome(const UiOutcome& outcome, std::string& error) {
  if (outcome.ok)
    return true;
  return Fail(error, outcome.reason.empty() ? "refused" : outcome.reason);
}

} // namespace

bool ParseScriptLine(std::string_view line, std::optional<ScriptCommand>& out, std::string& error) {
  out.reset();
  line = Trim(line);
  if (line.empty() || line.front() == '#')
    return true;
  std::string_view rest;
  const std::string_view word = NextWord(line, rest);
  const std::vector<std::string_view> args = Words(rest);
  ScriptCommand c;
  auto noArguments = [&](ScriptOp op) {
    if (!args.empty())
      return Fail(error, Quoted(word) + " takes no arguments");
    c.op = op;
    return true;
  };
  auto oneId = [&](ScriptOp op, std::string_view what) {
    if (args.size() != 1)
      return Fail(error, Quoted(word) + " needs " + (what.front() == 'e' ? "an " : "a ") + std::string(what));
    if (!ParseInt(args[0], c.id))
      return Fail(error, Quoted(word) + ": bad " + std::string(what) + " " + Quoted(args[0]));
    c.op = op;
    return true;
  };
  auto restText = [&](ScriptOp op, std::string_view text, const char* what) {
    if (text.empty())
      return Fail(error, Quoted(word) + " needs " + what);
    c.op = op;
    c.text = std::string(text);
    return true;
  };

  bool ok;
  if (word == "open")
    ok = noArguments(ScriptOp::Open);
  else if (word == "close")
    ok = noArguments(ScriptOp::Close);
  else if (word == "undo")
    ok = noArguments(ScriptOp::Undo);
  else if (word == "redo")
    ok = noArguments(ScriptOp::Redo);
  else if (word == "press")
    ok = oneId(ScriptOp::Press, "element id");
  else if (word == "menu")
    ok = oneId(ScriptOp::Menu, "menu entry id");
  else if (word == "set") {
    if (args.size() != 2)
      ok = Fail(error, "'set' needs an element id and a value");
    else if (!ParseInt(args[0], c.id))
      ok = Fail(error, "'set': bad element id " + Quoted(args[0]));
    else if (!ParseNumber(args[1], c.value))
      ok = Fail(error, "'set': bad value " + Quoted(args[1]));
    else {
      c.op = ScriptOp::Set;
      ok = true;
    }
  } else if (word == "answer") {
    if (args.size() != 1 || (args[0] != "yes" && args[0] != "no"))
      ok = Fail(error, "'answer' takes yes or no");
    else {
      c.op = ScriptOp::Answer;
      c.yes = args[0] == "yes";
      ok = true;
    }
  } else if (word == "choose") {
    ok = oneId(ScriptOp::Choose, "row number");
    if (ok && c.id < 0)
      ok = Fail(error, "'choose': bad row number " + Quoted(args[0]));
  } else if (word == "select") {
    std::string_view target;
    const std::string_view kind = NextWord(rest, target);
    if (kind == "object")
      ok = restText(ScriptOp::SelectObject, target, "an object path");
    else if (kind == "material")
      ok = restText(ScriptOp::SelectMaterial, target, "a material name");
    else
      ok = Fail(error, "'select' takes object PATH or material NAME");
  } else if (word == "deselect") {
    ok = args.size() == 1 && args[0] == "all" ? (c.op = ScriptOp::DeselectAll, true)
                                              : Fail(error, "'deselect' takes all");
  } else if (word == "document") {
    if (args.size() == 1 && args[0] == "new") {
      c.op = ScriptOp::DocumentNew;
      ok = true;
    } else if (args.size() == 2 && args[0] == "activate") {
      ok = ParseInt(args[1], c.id) && c.id >= 0
               ? (c.op = ScriptOp::DocumentActivate, true)
               : Fail(error, "'document activate': bad document number " + Quoted(args[1]));
    } else {
      ok = Fail(error, "'document' takes new or activate N");
    }
  } else if (word == "show") {
    static constexpr std::pair<std::string_view, ScriptOp> kWhat[] = {{"dialog", ScriptOp::ShowDialog},
                                                                      {"list", ScriptOp::ShowList},
                                                                      {"scene", ScriptOp::ShowScene},
                                                                      {"selection", ScriptOp::ShowSelection}};
    ok = false;
    if (args.size() == 1)
      for (const auto& [name, op] : kWhat)
        if (args[0] == name) {
          c.op = op;
          ok = true;
        }
    if (!ok)
      Fail(error, "'show' takes dialog, list, scene or selection");
  } else if (word == "save")
    ok = restText(ScriptOp::Save, rest, "a file name");
  else if (word == "expect")
    ok = restText(ScriptOp::Expect, rest, "a text");
  else
    ok = Fail(error, "unknown command " + Quoted(word));
  if (ok)
    out = std::move(c);
  return ok;
}

bool RunScriptCommand(const ScriptCommand& c, std::string& error) {
  switch (c.op) {
  case ScriptOp::Open: {
    const std::optional<bool> answer = ExecuteCommand(kOrphanexCommandId);
    if (!answer)
      return Fail(error, "command " + std::to_string(kOrphanexCommandId) + " is not registered");
    if (!*answer)
      return Fail(error, "command " + std::to_string(kOrphanexCommandId) + " answered false");
    return true;
  }
  case ScriptOp::Set: return FromOutcome(SetElement(c.id, c.value), error);
  case ScriptOp::Press: return FromOutcome(Press(c.id), error);
  case ScriptOp::Menu: return FromOutcome(Menu(c.id), error);
  case ScriptOp::Answer: QueueAnswer(c.yes); return true;
  case ScriptOp::Choose: return FromOutcome(Choose(c.id), error);
  case ScriptOp::Close: return FromOutcome(Close(), error);
  case ScriptOp::Undo: return Undo() || Fail(error, "nothing to undo");
  case ScriptOp::Redo: return Redo() || Fail(error, "nothing to redo");
  case ScriptOp::SelectObject: return SelectObjectPath(c.text, error);
  case ScriptOp::SelectMaterial: return SelectMaterial(c.text, error);
  case ScriptOp::DeselectAll: DeselectAll(); return true;
  case ScriptOp::DocumentNew: return NewDocument() >= 0 || Fail(error, "cannot make a new document");
  case ScriptOp::DocumentActivate:
    return ActivateDocument(c.id) || Fail(error, "no document " + std::to_string(c.id) + " (there are " +
                                                     std::to_string(DocumentCount()) + ")");
  case ScriptOp::ShowDialog:
  case ScriptOp::ShowList:
    if (!HasOpenDialog()) {
      Print("no dialog is open");
      return true;
    }
    PrintLines(c.op == ScriptOp::ShowDialog ? DialogLines() : ListLines());
    return true;
  case ScriptOp::ShowScene: PrintLines(SceneLines()); return true;
  case ScriptOp::ShowSelection: PrintLines(SelectionLines()); return true;
  case ScriptOp::Save: {
    std::string why;
    return SaveSceneFile(c.text, why) || Fail(error, "cannot save " + c.text + ": " + why);
  }
  case ScriptOp::Expect:
    return LastBlock().find(c.text) != std::string::npos ||
           Fail(error, "expected " + Quoted(c.text) + " in the last printed block");
  }
  return Fail(error, "unknown command");
}

int RunScript(std::string_view text, const std::string& name, std::ostream& errors) {
  std::vector<ScriptCommand> commands;
  size_t number = 0;
  while (!text.empty()) {
    ++number;
    const size_t eol = text.find('\n');
    const std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    std::optional<ScriptCommand> command;
    std::string error;
    if (!ParseScriptLine(line, command, error)) {
      errors << name << ':' << number << ": " << error << '\n';
      return 1;
    }
    if (command) {
      command->line = number;
      commands.push_back(std::move(*command));
    }
  }

  for (const ScriptCommand& command : commands) {
    if (command.op != ScriptOp::Expect)
      MarkBlock();
    const size_t breachesBefore = BreachCount();
    std::string error;
    bool ok;
    try {
      ok = RunScriptCommand(command, error);
    } catch (const std::exception& e) {
      ok = Fail(error, std::string("host error: ") + e.what());
    }
    // Every command must leave the scene's undo brackets closed.
    CheckUndoBrackets();
    if (ok && BreachCount() != breachesBefore) {
      const size_t n = BreachCount() - breachesBefore;
      ok = Fail(error, std::to_string(n) + (n == 1 ? " contract breach" : " contract breaches"));
    }
    if (!ok) {
      errors << name << ':' << command.line << ": " << error << '\n';
      return 1;
    }
  }
  return 0;
}

} // namespace standin
