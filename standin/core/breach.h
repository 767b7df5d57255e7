// The validator's voice: every contract breach by the module prints
// `breach: ...` and is counted; any breach fails a run.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standin {

void Breach(std::string_view operation, std::string_view what);
size_t BreachCount();
void ResetBreaches();

// Common checks: report and answer false.
bool CheckNotNull(const void* handle, std::string_view operation, std::string_view what);

} // namespace standin
