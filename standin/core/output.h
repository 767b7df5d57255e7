// Everything the host prints: one item a line, to stdout (or a capture), and
// remembered since the last MarkBlock() so that a script's `expect` can read
// the last printed block.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace standin {

void Print(std::string_view line);
void MarkBlock();               // a new block starts (next script command)
const std::string& LastBlock(); // lines printed since MarkBlock, '\n'-terminated
// Replaces the sink (default: stdout); an empty function restores stdout.
void SetPrintSink(std::function<void(std::string_view)> sink);

} // namespace standin
