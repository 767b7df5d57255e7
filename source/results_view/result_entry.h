// One row of the results list.
#pragma once

#include "host/owners.h"
#include "host/text.h"

#include <cstdint>

namespace ox {

// The four kinds of instance; also the dialog's plug-in type codes and the
// list's column sets.
enum PluginKind : int32_t { kTag = 0, kShader = 1, kObject = 2, kVideoPost = 3 };

struct ResultEntry {
  int32_t number = 0;  // running number of the row; not-found rows have 0
  Text name;           // object, material or videopost name, or the not-found message
  Text tagName;        // tag rows: the tag's name
  Link material;       // shader rows: weak link to the material
  Link object;         // tag and object rows: weak link to the object
  int32_t channel = 0; // shader rows: channel 0 to 14, -1 in the not-found row
  bool inLayerShader = false;
};

} // namespace ox
