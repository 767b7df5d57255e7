// What the sub-commands share: reading scenes, writing files so that no
// half-written file is ever seen, one-line messages, plug-in kinds.
#pragma once

#include "scene/world.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin::cli {

// `text` made safe for one line of a terminal: line breaks as \n, other
// control bytes as \xNN.
std::string OneLine(std::string_view text);

// The whole file. False with `error` ("is a directory", the system's reason)
// otherwise.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error);

// Reads the scene into a new active document. False with a one-line error
// (the key/path inside the file for scene errors; the file is not named).
bool LoadScene(const std::string& path, std::string& error);

// Writes `bytes` to a temporary file in the target's folder and renames it
// over `path`: readers see the old file or the new one, never a part. The new
// file keeps the mode of the file it replaces (new files: 0666 less the
// umask). The temporary file is removed on every failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// True when both name the same existing file, or the same path once made
// absolute and normal (for a file not yet there).
bool SameFile(const std::string& a, const std::string& b);

// The plug-in kinds in the dialog's order and their names on the command line.
inline constexpr const char* kKindNames[] = {"tag", "shader", "object", "videopost"};
CensusKind CensusKindOf(int32_t pluginKind); // 0 tag, 1 shader, 2 object, 3 videopost
int32_t PluginKindOf(CensusKind kind);
// "1 tag", "3 shaders"
std::string CountOf(size_t count, CensusKind kind);

// Exit status `status`, or 1 when it is 0 and the validator reported breaches
// (then one line on stderr says so).
int WithBreaches(int status);

// While alive, what the host prints goes to stderr (stdout carries results);
// with `quiet`, only the module's message boxes and `breach:` lines.
class HostPrintsToStderr {
public:
  explicit HostPrintsToStderr(bool quiet);
  ~HostPrintsToStderr();
  HostPrintsToStderr(const HostPrintsToStderr&) = delete;
  HostPrintsToStderr& operator=(const HostPrintsToStderr&) = delete;
};

} // namespace standin::cli
