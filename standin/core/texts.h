// Host texts: reference-counted UTF-8 strings behind OxText handles. The
// empty text is the null handle. Releasing a text more often than it was
// retained is a breach, and the stale handle is then refused.
#pragma once

#include "host/ox_abi.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace standin {

OxText* NewText(std::string_view utf8); // a new reference; "" gives null
// The text's string: "" for null; nullptr (after a breach naming
// `operation`) for a stale or foreign handle.
const std::string* TextString(const OxText* text, std::string_view operation);
// Copy of the string, "" for null or bad handles (bad ones are reported).
std::string TextValue(const OxText* text, std::string_view operation);
OxText* RetainText(OxText* text, std::string_view operation);
void ReleaseText(OxText* text, std::string_view operation);
size_t LiveTexts();

const OxTextArea* TextArea();

} // namespace standin
