// The dialog tests' fixture (the shared DialogFixture on a fresh host with
// the configured module), the dialog's ids and both module flavours.
#pragma once

#include "host/ox_abi.h"
#include "runtime/host.h"
#include "support/dialog_fixture.h"
#include "ui/gui.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace dialogtest {

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

using test_support::DialogFixture;
using test_support::kCommandId;

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
inline std::vector<Flavour> BothFlavours() {
  return {{ORPHANEX_MODULE_FLAVOUR, ORPHANEX_MODULE_PATH},
          {ORPHANEX_OTHER_MODULE_FLAVOUR, ORPHANEX_OTHER_MODULE_PATH}};
}
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
