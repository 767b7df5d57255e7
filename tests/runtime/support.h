// Shared pieces of the runtime tests: a fixture that empties the runtime and
// captures what the host prints, typed access to the area tables, temporary
// folders, and PNG files written with libpng.
#pragma once

#include "core/breach.h"
#include "core/output.h"
#include "host/ox_abi.h"
#include "runtime/runtime.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace standin::test {

template <class Area> const Area* AreaOf(const OxHostTables& tables, int index) {
  return static_cast<const Area*>(tables.areas[index]);
}

// A folder under the system's temporary folder, removed with the object.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const;

private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::string& path);

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
