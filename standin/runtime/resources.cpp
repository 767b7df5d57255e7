// String resources: `<res folder>/strings.str`, one resource a line.
//
//   # comment
//   10000 "Orphanex"
//   10001 "Line one\nLine \"two\""
//
// The file must be valid UTF-8 (a leading byte-order mark is skipped, CR
// before LF is allowed). Any malformed line rejects the whole file, so a
// half-read file never replaces good texts.
#include "core/breach.h"
#include "core/texts.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace standin {
namespace {

struct ResourceState {
  bool loaded = false;
  size_t loads = 0;
  std::map<int32_t, std::string> strings;
};

ResourceState& State() {
  static ResourceState state;
  return state;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t extra;
    uint32_t cp;
    if (c < 0x80) {
      if (c == 0)
        return false; // texts cross the boundary as C strings
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= s.size())
      return false;
    for (size_t k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    static constexpr uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

// One `ID "text"` line (already known not to be blank or a comment).
bool ParseLine(std::string_view line, int32_t& id, std::string& text, std::string& why) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  const char* begin = line.data() + i;
  const char* end = line.data() + line.size();
  auto [next, ec] = std::from_chars(begin, end, id);
  if (ec != std::errc() || next == begin) {
    why = ec == std::errc::result_out_of_range ? "resource id out of range" : "expected a resource id";
    return false;
  }
  i = static_cast<size_t>(next - line.data());
  if (i >= line.size() || !IsBlank(line[i])) {
    why = "expected a blank after the resource id";
    return false;
  }
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  if (i >= line.size() || line[i] != '"') {
    why = "expected a quoted text";
    return false;
  }
  ++i;
  text.clear();
  bool closed = false;
  while (i < line.size()) {
    const char c = line[i++];
    if (c == '"') {
      closed = true;
      break;
    }
    if (c != '\\') {
      text.push_back(c);
      continue;
    }
    if (i >= line.size()) {
      why = "unfinished escape";
      return false;
    }
    const char e = line[i++];
    if (e == 'n')
      text.push_back('\n');
    else if (e == '"' || e == '\\')
      text.push_back(e);
    else {
      why = std::string("unknown escape \\") + e;
      return false;
    }
  }
  if (!closed) {
    why = "missing closing quote";
    return false;
  }
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  if (i != line.size()) {
    why = "unexpected text after the closing quote";
    return false;
  }
  return true;
}

bool ReadFile(const std::string& path, std::string& content) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    return false;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad())
    return false;
  content = std::move(buffer).str();
  return true;
}

// RESOURCE area.
OxBool Load(const OxText* folder) noexcept {
  const std::string* path = TextString(folder, "ResourceLoad");
  if (path == nullptr)
    return 0;
  std::string error;
  try {
    return LoadResources(*path, error) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

OxText* Text(int32_t id) noexcept {
  const ResourceState& s = State();
  const auto it = s.strings.find(id);
  return it == s.strings.end() ? nullptr : NewText(it->second);
}

void Unload() noexcept {
  State().strings.clear();
  State().loaded = false;
}

} // namespace

bool ParseStringResources(std::string_view content, std::map<int32_t, std::string>& out, std::string& error) {
  if (content.substr(0, 3) == "\xEF\xBB\xBF")
    content.remove_prefix(3);
  if (!ValidUtf8(content)) {
    error = "not valid UTF-8 text";
    return false;
  }
  std::map<int32_t, std::string> strings;
  size_t number = 0;
  while (!content.empty()) {
    ++number;
    const size_t eol = content.find('\n');
    std::string_view line = content.substr(0, eol);
    content.remove_prefix(eol == std::string_view::npos ? content.size() : eol + 1);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#')
      continue;
    int32_t id = 0;
    std::string text, why;
    if (!ParseLine(line, id, text, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    if (!strings.emplace(id, std::move(text)).second) {
      error = "line " + std::to_string(number) + ": resource " + std::to_string(id) + " given twice";
      return false;
    }
  }
  out = std::move(strings);
  return true;
}

bool LoadResources(const std::string& folder, std::string& error) {
  const std::string path = JoinPath(folder, "strings.str");
  std::string content;
  if (!ReadFile(path, content)) {
    error = path + ": cannot read";
    return false;
  }
  std::map<int32_t, std::string> strings;
  if (!ParseStringResources(content, strings, error)) {
    error = path + ": " + error;
    return false;
  }
  ResourceState& s = State();
  s.strings = std::move(strings);
  s.loaded = true;
  ++s.loads;
  return true;
}

bool ResourcesLoaded() {
  return State().loaded;
}

size_t ResourceLoadCount() {
  return State().loads;
}

std::optional<std::string> ResourceString(int32_t id) {
  const auto it = State().strings.find(id);
  if (it == State().strings.end())
    return std::nullopt;
  return it->second;
}

namespace runtime_detail {

void ResetResources() {
  State() = ResourceState{};
}

const OxResourceArea* ResourceArea() {
  static const OxResourceArea area{sizeof(OxResourceArea), Load, Text, Unload};
  return &area;
}

} // namespace runtime_detail
} // namespace standin
