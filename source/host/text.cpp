#include "host/text.h"

#include "host/tables.h"

#include <utility>

namespace ox {
namespace {

using tables::Call;

OxText* Retain(OxText* text) noexcept {
  return text != nullptr ? Call(&OxTextArea::retain, text) : nullptr;
}

void Release(OxText* text) noexcept {
  if (text != nullptr)
    Call(&OxTextArea::release, text);
}

} // namespace

Text::~Text() {
  Release(text_);
}

Text::Text(const Text& other) : text_(Retain(other.text_)) {}

Text::Text(Text&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}

Text& Text::operator=(const Text& other) {
  if (this != &other) {
    OxText* shared = Retain(other.text_);
    Release(std::exchange(text_, shared));
  }
  return *this;
}

Text& Text::operator=(Text&& other) noexcept {
  if (this != &other)
    Release(std::exchange(text_, std::exchange(other.text_, nullptr)));
  return *this;
}

Text Text::Adopt(OxText* owned) noexcept {
  Text text;
  text.text_ = owned;
  return text;
}

OxText* Text::release() noexcept {
  return std::exchange(text_, nullptr);
}

std::string_view Text::view() const {
  if (text_ == nullptr)
    return {};
  const char* utf8 = Call(&OxTextArea::utf8, text_);
  if (utf8 == nullptr)
    return {};
  return {utf8, Call(&OxTextArea::length, text_)};
}

Text operator+(const Text& a, const Text& b) {
  return TextJoin(a, b);
}

Text TextFromLiteral(const char* utf8) {
  if (utf8 == nullptr || *utf8 == '\0')
    return {};
  return Text::Adopt(Call(&OxTextArea::fromLiteral, utf8));
}

Text TextFromInteger(int64_t value) {
  return Text::Adopt(Call(&OxTextArea::fromInteger, value));
}

Text TextJoin(const Text& a, const Text& b) {
  // Joining with the empty text is a copy: no host call needed.
  if (a.empty())
    return b;
  if (b.empty())
    return a;
  return Text::Adopt(Call(&OxTextArea::join, a.get(), b.get()));
}

} // namespace ox
