#include "core/output.h"

#include <cstdio>

namespace standin {
namespace {

std::string& Block() {
  static std::string block;
  return block;
}

std::function<void(std::string_view)>& Sink() {
  static std::function<void(std::string_view)> sink;
  return sink;
}

} // namespace

void Print(std::string_view line) {
  Block().append(line).push_back('\n');
  if (Sink()) {
    Sink()(line);
    return;
  }
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void MarkBlock() {
  Block().clear();
}

const std::string& LastBlock() {
  return Block();
}

void SetPrintSink(std::function<void(std::string_view)> sink) {
  Sink() = std::move(sink);
}

} // namespace standin
