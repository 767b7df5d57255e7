// Values the dialog writes into its integer elements (drop-downs, check boxes).
#pragma once

#include "host/ox_abi.h"

#include <cstdint>

namespace ox {

// A 32-bit integer value over the whole 32-bit range, step 1.
inline OxDialogValue IntValue(int32_t value) {
  OxDialogValue v{};
  v.size = sizeof(OxDialogValue);
  v.kind = OX_DLGVALUE_INT;
  v.value = value;
  v.min = INT32_MIN;
  v.max = INT32_MAX;
  v.step = 1.0;
  return v;
}

} // namespace ox
