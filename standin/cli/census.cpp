// `standin census`: per scene, every plug-in type it carries with its kind,
// count and whether the scene's registry knows it; unknown types (missing
// plug-ins) first. Formats (text, json, csv) are described in main.cpp's
// help and in the README; json and csv are stable for other tools.
#include "cli/commands.h"
#include "cli/support.h"
#include "runtime/host.h"
#include "scene/world.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

namespace standin::cli {
namespace {

struct TypeRow {
  CensusKind kind = CensusKind::Tag;
  int32_t id = 0;
  size_t count = 0;
  bool known = false;
  std::string name;     // the registry's default name when known
  size_t files = 1;     // totals: files that carry it
  size_t unknownIn = 0; // totals: files whose registry does not know it
};

struct FileResult {
  std::string file;
  bool loaded = false;
  std::string error;
  std::vector<TypeRow> types;
};

// Unknown first, then the dialog's kind order, then the id.
bool Before(const TypeRow& a, const TypeRow& b) {
  if (a.known != b.known)
    return !a.known;
  if (a.kind != b.kind)
    return PluginKindOf(a.kind) < PluginKindOf(b.kind);
  return a.id < b.id;
}

std::vector<TypeRow> Survey() {
  OxHostTables tables{};
  FillSceneAreas(tables);
  const auto* registry = static_cast<const OxRegistryArea*>(tables.areas[OX_AREA_REGISTRY]);
  static constexpr int32_t kTypeCodes[] = {OX_PLUGINTYPE_TAG, OX_PLUGINTYPE_SHADER, OX_PLUGINTYPE_OBJECT,
                                           OX_PLUGINTYPE_VIDEOPOST};
  std::vector<TypeRow> rows;
  for (const CensusEntry& entry : standin::Census()) {
    TypeRow row;
    row.kind = entry.kind;
    row.id = entry.typeId;
    row.count = entry.count;
    row.known = entry.known;
    if (entry.known && registry != nullptr)
      if (OxNode* record = registry->lookup(entry.typeId, kTypeCodes[PluginKindOf(entry.kind)]))
        row.name = NodeNameOf(record);
    rows.push_back(std::move(row));
  }
  std::sort(rows.begin(), rows.end(), Before);
  return rows;
}

// Totals per (kind, id) over the files that loaded: known only when every
// file that carries it knows it.
std::vector<TypeRow> Totals(const std::vector<FileResult>& files) {
  std::map<std::pair<int32_t, int32_t>, TypeRow> totals;
  for (const FileResult& file : files)
    for (const TypeRow& row : file.types) {
      auto [it, fresh] = totals.try_emplace({PluginKindOf(row.kind), row.id}, row);
      TypeRow& total = it->second;
      if (fresh) {
        total.unknownIn = row.known ? 0 : 1;
        continue;
      }
      total.unknownIn += row.known ? 0 : 1;
      total.count += row.count;
      total.files += 1;
      total.known = total.known && row.known;
      if (total.name.empty())
        total.name = row.name;
    }
  std::vector<TypeRow> rows;
  for (auto& [key, row] : totals)
    rows.push_back(std::move(row));
  std::sort(rows.begin(), rows.end(), Before);
  return rows;
}

// ---- text ---------------------------------------------------------------------

void PrintTable(const std::vector<TypeRow>& rows, bool withFiles) {
  if (rows.empty()) {
    std::cout << "  (no plug-in types)\n";
    return;
  }
  std::cout << "  registry  kind       " << std::setw(10) << "type id" << std::setw(9) << "count";
  if (withFiles)
    std::cout << std::setw(7) << "files";
  std::cout << "  name\n";
  for (const TypeRow& row : rows) {
    std::cout << "  " << std::left << std::setw(8) << (row.known ? "known" : "UNKNOWN") << "  "
              << std::setw(9) << CensusKindName(row.kind) << std::right << "  " << std::setw(10) << row.id
              << std::setw(9) << row.count;
    if (withFiles)
      std::cout << std::setw(7) << row.files;
    std::cout << (row.name.empty() ? "" : "  ") << OneLine(row.name) << '\n';
  }
  std::string missing;
  size_t unknown = 0;
  for (const TypeRow& row : rows)
    if (!row.known) {
      ++unknown;
      missing += (missing.empty() ? "" : ", ") + std::to_string(row.id) + " (" + CensusKindName(row.kind);
      if (withFiles && row.unknownIn < row.files)
        missing += ", in " + std::to_string(row.unknownIn) + " of " + std::to_string(row.files) + " files";
      missing += ")";
    }
  std::cout << "  missing plug-ins: " << (unknown == 0 ? "none" : missing) << '\n';
}

void PrintText(const std::vector<FileResult>& files, const std::vector<TypeRow>& totals) {
  bool first = true;
  size_t loaded = 0;
  for (const FileResult& file : files) {
    if (!file.loaded)
      continue;
    ++loaded;
    std::cout << (first ? "" : "\n") << OneLine(file.file) << '\n';
    first = false;
    PrintTable(file.types, false);
  }
  if (files.size() > 1 && loaded > 0) {
    std::cout << "\nall " << loaded << (loaded == 1 ? " file" : " files");
    if (loaded != files.size())
      std::cout << " that loaded (of " << files.size() << ")";
    std::cout << '\n';
    PrintTable(totals, true);
  }
}

// ---- json -----------------------------------------------------------------------

nlohmann::ordered_json TypeJson(const TypeRow& row, bool withFiles) {
  nlohmann::ordered_json out;
  out["kind"] = CensusKindName(row.kind);
  out["id"] = row.id;
  out["count"] = row.count;
  if (withFiles)
    out["files"] = row.files;
  out["known"] = row.known;
  if (withFiles)
    out["unknownIn"] = row.unknownIn;
  // The registry's name; a total has one when any scene's registry knows it.
  out["name"] = row.name.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(row.name);
  return out;
}

// One type a line, so that the output reads and diffs well; valid JSON all
// the same. Invalid UTF-8 in a name is replaced rather than failing the dump.
std::string Compact(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

void PrintTypes(const std::vector<TypeRow>& rows, bool withFiles, const char* indent) {
  for (size_t i = 0; i < rows.size(); ++i)
    std::cout << indent << Compact(TypeJson(rows[i], withFiles)) << (i + 1 < rows.size() ? "," : "") << '\n';
}

void PrintJson(const std::vector<FileResult>& files, const std::vector<TypeRow>& totals) {
  std::cout << "{\n  \"format\": \"standin-census/1\",\n  \"files\": [";
  for (size_t i = 0; i < files.size(); ++i) {
    const FileResult& file = files[i];
    std::cout << (i == 0 ? "\n" : ",\n") << "    {\"file\": " << Compact(file.file)
              << ", \"loaded\": " << (file.loaded ? "true" : "false");
    if (!file.loaded) {
      std::cout << ", \"error\": " << Compact(file.error) << "}";
      continue;
    }
    std::cout << ", \"types\": [" << (file.types.empty() ? "" : "\n");
    PrintTypes(file.types, false, "      ");
    std::cout << (file.types.empty() ? "" : "    ") << "]}";
  }
  std::cout << (files.empty() ? "" : "\n  ") << "],\n  \"totals\": [" << (totals.empty() ? "" : "\n");
  PrintTypes(totals, true, "    ");
  std::cout << (totals.empty() ? "" : "  ") << "]\n}\n";
}

// ---- csv ------------------------------------------------------------------------

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos)
    return text;
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"')
      out += '"';
    out += c;
  }
  return out + "\"";
}

void PrintCsvRow(const char* record, const std::string& file, const TypeRow& row) {
  std::cout << record << ',' << CsvField(file) << ',' << CensusKindName(row.kind) << ',' << row.id << ','
            << row.count << ',' << (row.known ? "true" : "false") << ',' << row.files << ','
            << CsvField(row.name) << "\r\n";
}

void PrintCsv(const std::vector<FileResult>& files, const std::vector<TypeRow>& totals) {
  std::cout << "record,file,kind,id,count,known,files,name\r\n";
  for (const FileResult& file : files)
    for (const TypeRow& row : file.types)
      PrintCsvRow("type", file.file, row);
  for (const TypeRow& row : totals)
    PrintCsvRow("total", "", row);
}

} // namespace

int Census(const std::vector<std::string>& scenes, CensusFormat format) {
  std::vector<FileResult> files;
  files.reserve(scenes.size());
  for (size_t i = 0; i < scenes.size(); ++i) {
    FileResult result;
    result.file = scenes[i];
    if (scenes.size() > 1)
      std::cerr << "census: [" << i + 1 << "/" << scenes.size() << "] " << OneLine(scenes[i]) << '\n';
    Host host; // an empty host per file: each scene brings its own registry
    if (LoadScene(scenes[i], result.error)) {
      result.loaded = true;
      result.types = Survey();
    } else {
      std::cerr << "standin census: cannot read scene " << OneLine(scenes[i]) << ": " << OneLine(result.error)
                << '\n';
    }
    files.push_back(std::move(result));
  }
  const std::vector<TypeRow> totals = Totals(files);
  switch (format) {
  case CensusFormat::Text: PrintText(files, totals); break;
  case CensusFormat::Json: PrintJson(files, totals); break;
  case CensusFormat::Csv: PrintCsv(files, totals); break;
  }
  std::cout.flush();
  const bool allLoaded =
      std::all_of(files.begin(), files.end(), [](const FileResult& f) { return f.loaded; });
  return allLoaded ? kDone : kBadArguments;
}

} // namespace standin::cli
