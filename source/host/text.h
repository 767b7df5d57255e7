// A host text held by the module: one reference, released on destruction.
#pragma once

#include "host/ox_abi.h"

#include <cstdint>
#include <string_view>

namespace ox {

class Text {
public:
  Text() noexcept = default; // the empty text (no storage)
  ~Text();
  Text(const Text& other);            // adds a reference
  Text(Text&& other) noexcept;        // steals it
  Text& operator=(const Text& other); // shares other's storage
  Text& operator=(Text&& other) noexcept;

  // Takes over a reference the host handed out (e.g. NodeName's answer).
  static Text Adopt(OxText* owned) noexcept;

  // Hands the reference over to the caller (e.g. a callback that answers a
  // new reference); this text is then empty.
  [[nodiscard]] OxText* release() noexcept;

  const OxText* get() const noexcept { return text_; }
  bool empty() const noexcept { return text_ == nullptr; }
  std::string_view view() const; // UTF-8, valid while this holds its reference

  friend Text operator+(const Text& a, const Text& b); // joined by the host

private:
  OxText* text_ = nullptr;
};

Text TextFromLiteral(const char* utf8);
Text TextFromInteger(int64_t value);
Text TextJoin(const Text& a, const Text& b);

} // namespace ox
