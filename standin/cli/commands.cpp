// `standin run`: a script against a scene.
#include "cli/commands.h"

#include "cli/support.h"
#include "runtime/host.h"
#include "script/script.h"

#include <iostream>
#include <iterator>

namespace standin::cli {

int Run(const std::string& scene, const std::string& script, const std::string& module) {
  std::string text, error;
  if (script == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else if (!ReadFileBytes(script, text, error)) {
    std::cerr << "standin run: cannot read script " << script << ": " << error << '\n';
    return kBadArguments;
  }
  Host host;
  if (!LoadScene(scene, error)) {
    std::cerr << "standin run: cannot read scene " << scene << ": " << OneLine(error) << '\n';
    return kBadArguments;
  }
  if (!host.LoadModule(module)) {
    std::cerr << "standin run: " << host.Error() << '\n';
    return kBadArguments;
  }
  const int status = RunScript(text, script == "-" ? "<stdin>" : script, std::cerr);
  host.Unload();
  return WithBreaches(status);
}

} // namespace standin::cli
