#include "core/handle_table.h"

namespace standin {

const char* HandleKindName(HandleKind kind) {
  switch (kind) {
  case HandleKind::Document: return "document";
  case HandleKind::Node: return "node";
  case HandleKind::Dialog: return "dialog";
  case HandleKind::Element: return "element";
  case HandleKind::Area: return "area";
  case HandleKind::Container: return "container";
  case HandleKind::Text: return "text";
  case HandleKind::Link: return "link";
  case HandleKind::NodeArray: return "node array";
  case HandleKind::Value: return "value";
  case HandleKind::Layer: return "layer";
  case HandleKind::Channel: return "channel";
  case HandleKind::Bitmap: return "bitmap";
  }
  return "handle";
}

} // namespace standin
