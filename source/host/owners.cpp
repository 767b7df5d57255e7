#include "host/owners.h"

#include "host/tables.h"

namespace ox {

using tables::Call;

void NodeArrayFree(OxNodeArray* array) {
  Call(&OxNodeArrayArea::release, array);
}
void ContainerFree(OxContainer* container) {
  Call(&OxContainerArea::release, container);
}
void ValueFree(OxValue* value) {
  Call(&OxValueArea::release, value);
}
void LinkFree(OxLink* link) {
  Call(&OxLinkArea::release, link);
}
void BitmapFree(OxBitmap* bitmap) {
  Call(&OxBitmapArea::release, bitmap);
}

} // namespace ox
