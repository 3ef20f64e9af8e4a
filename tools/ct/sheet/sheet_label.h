// The plain captions that name the sheet's sections and rows.
#pragma once

#include <string>

#include "vcl/controls/stdctrls.h"

namespace qelo::ct::sheet {

// A framework label with `text` at `bounds`; a label that does not size
// itself keeps the bounds whatever its text.
inline vcl::TLabel* AddSheetLabel(vcl::TWinControl* parent, const std::string& text, const vcl::TRect& bounds,
                                  bool autoSize = true) {
  auto* label = new vcl::TLabel(parent);
  label->SetParent(parent);
  label->SetAutoSize(autoSize);
  label->SetBounds(bounds.left, bounds.top, vcl::RectWidth(bounds), vcl::RectHeight(bounds));
  label->SetCaption(text);
  return label;
}

}  // namespace qelo::ct::sheet
