#include "core/breach.h"

#include "core/output.h"

namespace standin {
namespace {
size_t g_breaches = 0;
}

void Breach(std::string_view operation, std::string_view what) {
  ++g_breaches;
  std::string line = "breach: ";
  line.append(operation).append(": ").append(what);
  Print(line);
}

size_t BreachCount() {
  return g_breaches;
}

void ResetBreaches() {
  g_breaches = 0;
}

bool CheckNotNull(const void* handle, std::string_view operation, std::string_view what) {
  if (handle != nullptr)
    return true;
  Breach(operation, std::string("null ") + std::string(what));
  return false;
}

} // namespace standin
