#include "cli/support.h"

#include "cli/commands.h"
#include "core/breach.h"
#include "core/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace standin::cli {

namespace fs = std::filesystem;

std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += "\\n";
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    error = "is a directory";
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  bytes.clear();
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int readErrno = errno;
  std::fclose(file);
  if (failed) {
    error = std::strerror(readErrno);
    return false;
  }
  return true;
}

bool LoadScene(const std::string& path, std::string& error) {
  std::string bytes;
  return ReadFileBytes(path, bytes, error) && LoadSceneString(bytes, error);
}

namespace {

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  const fs::path target(path);
  if (target.filename().empty()) {
    error = "not a file name";
    return false;
  }
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    error = "is a directory";
    return false;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temp = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  int failure = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    error = std::strerror(failure);
  }
  return ok;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec))
    return fs::equivalent(a, b, ec);
  const fs::path left = fs::weakly_canonical(fs::absolute(a, ec), ec);
  const fs::path right = fs::weakly_canonical(fs::absolute(b, ec), ec);
  return left == right;
}

CensusKind CensusKindOf(int32_t pluginKind) {
  static constexpr CensusKind kKinds[] = {CensusKind::Tag, CensusKind::Shader, CensusKind::Object,
                                          CensusKind::Videopost};
  return kKinds[pluginKind];
}

int32_t PluginKindOf(CensusKind kind) {
  switch (kind) {
  case CensusKind::Tag: return 0;
  case CensusKind::Shader: return 1;
  case CensusKind::Object: return 2;
  case CensusKind::Videopost: return 3;
  }
  return 0;
}

std::string CountOf(size_t count, CensusKind kind) {
  return std::to_string(count) + " " + CensusKindName(kind) + (count == 1 ? "" : "s");
}

int WithBreaches(int status) {
  const size_t breaches = BreachCount();
  if (breaches == 0 || status != kDone)
    return status;
  std::cerr << "standin: " << breaches << (breaches == 1 ? " contract breach" : " contract breaches")
            << " reported\n";
  return kFailed;
}

HostPrintsToStderr::HostPrintsToStderr(bool quiet) {
  SetPrintSink([quiet](std::string_view line) {
    if (!quiet || line.rfind("breach: ", 0) == 0 || line.rfind("message(", 0) == 0)
      std::cerr << line << '\n';
  });
}

HostPrintsToStderr::~HostPrintsToStderr() {
  SetPrintSink({});
}

} // namespace standin::cli
