// Drives the plug-in's dialog through the stand-in host as a person would:
// open it, change its elements, press its buttons, choose rows, and read
// back what the host shows and prints. Shared by the dialog and scan tests.
#pragma once

#include "host/ox_abi.h"
#include "runtime/host.h"
#include "ui/gui.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

inline constexpr int32_t kCommandId = 1066888;

class DialogFixture {
protected:
  // Loads `module` into a fresh host; every breach from then on fails the test.
  void Start(const std::string& module);
  void Stop();

  void Load(std::string_view json); // a new active document
  void Open();                      // runs the command; the window must open
  void Close();
  void Set(int32_t id, double value);
  void SetIfChanged(int32_t id, double value); // only when it differs
  void Press(int32_t id);
  void Choose(int32_t row);

  const standin::ElementInfo& Element(int32_t id);
  std::vector<std::string> Header();
  std::vector<std::string> Rows(); // cells joined by " | "
  std::vector<std::string> Messages() const;

  std::unique_ptr<standin::Host> host_;
  std::vector<std::string> printed_;
  std::vector<standin::ElementInfo> elements_;
};

} // namespace test_support
