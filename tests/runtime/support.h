// Shared pieces of the runtime tests: a fixture that empties the runtime and
// captures what the host prints, typed access to the area tables, temporary
// folders, and PNG files written with libpng.
#pragma once

#include "core/breach.h"
#include "core/output.h"
#include "host/ox_abi.h"
#include "runtime/runtime.h"
#include "support/files.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace standin::test {

template <class Area> const Area* AreaOf(const OxHostTables& tables, int index) {
  return static_cast<const Area*>(tables.areas[index]);
}

// Scratch folders are named standin-test-N.
class TempDir : public test_support::TempDir {
public:
  TempDir() : test_support::TempDir("standin-test-") {}
};

inline std::string ReadBytes(const std::string& path) {
  return test_support::ReadFile(path);
}

enum class PngKind { Rgba8, Rgb8, Gray8, Palette, Rgba16, GrayAlphaInterlaced };
// Writes a width x height PNG whose pixel (x, y) has red x*8, green y*8.
void WritePng(const std::string& path, uint32_t width, uint32_t height, PngKind kind = PngKind::Rgba8);

// Empties the runtime and the breach count; collects printed lines.
class RuntimeTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  const OxHostTables& tables() const { return tables_; }
  std::vector<std::string> printed;

private:
  OxHostTables tables_{};
};

} // namespace standin::test
