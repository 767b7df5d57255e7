// Drives the plug-in's dialog through the stand-in host as a person would:
// open it, change its elements, press its buttons, choose rows, and read
// back what the host shows and prints.
#pragma once

#include "host/ox_abi.h"
#include "runtime/host.h"
#include "ui/gui.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace dialogtest {

inline constexpr int32_t kCommandId = 1066888;

// Element and menu ids of the dialog.
enum : int32_t {
  kProcess = 1002,
  kCancel = 1003,
  kPluginId = 1005,
  kAbout = 5001,
  kHelp = 5002,
  kType = 5006,
  kScope = 5007,
  kAction = 5008,
  kWarn = 5009,
  kKeep = 5010,
  kList = 10000,
};

class DialogFixture {
protected:
  // Loads `module` into a fresh host; every breach from then on fails the test.
  void Start(const std::string& module);
  void Stop();

  void Load(std::string_view json); // a new active document
  void Open();                      // runs the command; the window must open
  void Close();
  void Set(int32_t id, double value);
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

class DialogTest : public DialogFixture, public ::testing::Test {
protected:
  void SetUp() override { Start(ORPHANEX_MODULE_PATH); }
  void TearDown() override { Stop(); }
};

// The module of either flavour.
struct Flavour {
  const char* name;
  const char* path;
};
std::vector<Flavour> BothFlavours();
inline void PrintTo(const Flavour& flavour, std::ostream* os) {
  *os << flavour.name;
}

inline std::string FourCCText(int32_t code) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8)
    if (const char c = static_cast<char>((static_cast<uint32_t>(code) >> shift) & 0xFF); c != 0)
      s += c;
  return s;
}

} // namespace dialogtest
