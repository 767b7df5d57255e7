// The two faces of `standin ui`. Each takes a host whose scene is loaded,
// loads the module itself (so that its start-up lines land where the front
// end shows host output), opens the dialog and talks to the person until they
// quit. Both answer the exit status.
#pragma once

#include <string>

namespace standin {
class Host;
}

namespace standin::cli::ui {

// Typed commands (the script language plus help, ids, quit); works on any
// stdin, a pipe included.
int RunLineMode(Host& host, const std::string& scene, const std::string& module);

// Full screen (ncurses). Answers -1 without doing anything when the terminal
// cannot be driven (the caller then uses the line mode).
int RunScreenMode(Host& host, const std::string& scene, const std::string& module);

// Saves the active document to `path` atomically. Empty, or why not.
std::string SaveScene(const std::string& path);

// The help text both front ends show for typed commands.
const char* CommandHelp();

} // namespace standin::cli::ui
