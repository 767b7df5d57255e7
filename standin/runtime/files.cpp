// Console and file names. Opening a file with the system is recorded and
// printed, never done: the stand-in host launches nothing.
#include "core/output.h"
#include "core/texts.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

#include <libgen.h>
#include <vector>

namespace standin {
namespace {

std::vector<std::string>& Opened() {
  static std::vector<std::string> opened;
  return opened;
}

// One printed line per item: line breaks inside a text are written as \n.
std::string OneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    if (c == '\n')
      line += "\\n";
    else if (c != '\r')
      line.push_back(c);
  }
  return line;
}

// CONSOLE area.
void Write(const OxText* text) noexcept {
  const std::string* line = TextString(text, "ConsoleWrite");
  if (line == nullptr)
    return;
  try {
    Print("console: " + OneLine(*line));
  } catch (...) {
  }
}

// FILE area.
OxText* Directory(const OxText* path) noexcept {
  const std::string* p = TextString(path, "ModuleDirectory");
  if (p == nullptr)
    return nullptr;
  try {
    return NewText(DirectoryOf(*p));
  } catch (...) {
    return nullptr;
  }
}

OxText* Join(const OxText* folder, const OxText* name) noexcept {
  const std::string* f = TextString(folder, "FileNameJoin");
  const std::string* n = TextString(name, "FileNameJoin");
  if (f == nullptr || n == nullptr)
    return nullptr;
  try {
    return NewText(JoinPath(*f, *n));
  } catch (...) {
    return nullptr;
  }
}

OxBool OpenWithSystem(const OxText* path) noexcept {
  const std::string* p = TextString(path, "OpenWithSystem");
  if (p == nullptr)
    return 0;
  try {
    Opened().push_back(*p);
    Print("open-file: " + OneLine(*p));
  } catch (...) {
    return 0;
  }
  return 1;
}

} // namespace

std::string DirectoryOf(std::string_view path) {
  std::string copy(path);
  return dirname(copy.data()); // dirname may write into its argument
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty() || (!name.empty() && name.front() == '/'))
    return std::string(name);
  std::string joined(folder);
  if (joined.back() != '/' && !name.empty())
    joined.push_back('/');
  joined.append(name);
  return joined;
}

const std::vector<std::string>& OpenedFiles() {
  return Opened();
}

namespace runtime_detail {

void ResetFiles() {
  Opened().clear();
}

const OxConsoleArea* ConsoleArea() {
  static const OxConsoleArea area{sizeof(OxConsoleArea), Write};
  return &area;
}

const OxFileArea* FileArea() {
  static const OxFileArea area{sizeof(OxFileArea), Directory, Join, OpenWithSystem};
  return &area;
}

} // namespace runtime_detail
} // namespace standin
