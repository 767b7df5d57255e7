#include "core/texts.h"

#include "core/breach.h"
#include "core/handle_table.h"
#include "core/recycler.h"

#include <cstdint>
#include <memory>

namespace standin {
namespace {

struct TextBody {
  std::string utf8;
  int64_t references = 1;
};

// A body that held a longer text than this gives its storage back when it is
// recycled; shorter ones keep it for the next text.
constexpr size_t kKeptCapacity = 64;

struct TextState {
  HandleTable<TextBody> table{HandleKind::Text};
  Recycler<TextBody> bodies;
};

TextState& State() {
  static TextState state;
  return state;
}

HandleTable<TextBody>& Table() {
  return State().table;
}

const std::string& Empty() {
  static const std::string empty;
  return empty;
}

TextBody* Resolve(const OxText* text, std::string_view operation) {
  TextBody* body = Table().Get(text);
  if (body == nullptr)
    Breach(operation, Table().IsKind(text) ? "stale text handle (released more often than retained)"
                                           : "not a text handle");
  return body;
}

} // namespace

OxText* NewText(std::string_view utf8) {
  if (utf8.empty())
    return nullptr;
  TextState& state = State();
  TextBody* body = state.bodies.Take();
  body->utf8.assign(utf8);
  body->references = 1;
  return state.table.Add<OxText>(body);
}

const std::string* TextString(const OxText* text, std::string_view operation) {
  if (text == nullptr)
    return &Empty();
  TextBody* body = Resolve(text, operation);
  return body == nullptr ? nullptr : &body->utf8;
}

std::string TextValue(const OxText* text, std::string_view operation) {
  const std::string* s = TextString(text, operation);
  return s == nullptr ? std::string() : *s;
}

OxText* RetainText(OxText* text, std::string_view operation) {
  if (text == nullptr)
    return nullptr;
  TextBody* body = Resolve(text, operation);
  if (body == nullptr)
    return nullptr;
  ++body->references;
  return text;
}

void ReleaseText(OxText* text, std::string_view operation) {
  if (text == nullptr)
    return;
  TextBody* body = Resolve(text, operation);
  if (body == nullptr)
    return;
  if (--body->references == 0) {
    TextState& state = State();
    state.table.Remove(text);
    if (body->utf8.capacity() > kKeptCapacity)
      std::string().swap(body->utf8);
    state.bodies.Give(body);
  }
}

size_t LiveTexts() {
  return Table().live();
}

namespace {

OxText* FromLiteral(const char* utf8) noexcept {
  return NewText(utf8 == nullptr ? "" : utf8);
}
OxText* FromInteger(int64_t value) noexcept {
  return NewText(std::to_string(value));
}
OxText* Join(const OxText* a, const OxText* b) noexcept {
  const std::string* x = TextString(a, "TextJoin");
  const std::string* y = TextString(b, "TextJoin");
  if (x == nullptr || y == nullptr)
    return nullptr;
  return NewText(*x + *y);
}
OxText* Retain(OxText* text) noexcept {
  return RetainText(text, "TextRetain");
}
void Release(OxText* text) noexcept {
  ReleaseText(text, "TextRelease");
}
const char* Utf8(const OxText* text) noexcept {
  const std::string* s = TextString(text, "TextUtf8");
  return s == nullptr ? "" : s->c_str();
}
size_t Length(const OxText* text) noexcept {
  const std::string* s = TextString(text, "TextLength");
  return s == nullptr ? 0 : s->size();
}

} // namespace

const OxTextArea* TextArea() {
  static const OxTextArea area{
      sizeof(OxTextArea), FromLiteral, FromInteger, Join, Retain, Release, Utf8, Length};
  return &area;
}

} // namespace standin
