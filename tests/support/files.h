// Files for tests: a scratch folder removed with its object, and whole-file
// reads. Built once as the `test_support` library every test program links.
#pragma once

#include <filesystem>
#include <string>

namespace test_support {

// A fresh folder under the system's temporary folder, removed (with all it
// holds) with the object.
class TempDir {
public:
  explicit TempDir(const std::string& prefix = "orphanex-test-");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Writes `content` to `name` below the folder (creating folders on the
  // way); answers the file's path.
  std::string Write(const std::string& name, const std::string& content) const;

private:
  std::filesystem::path path_;
};

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);

} // namespace test_support
