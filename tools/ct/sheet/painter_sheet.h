// The part of the control library's sheet that shows the painters: frame
// styles, composite borders, control frames, gradients, arrows, check
// glyphs and edges, each labelled.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// Paints the painters' sections onto its canvas, top to bottom.
class TPainterSheet : public vcl::TCustomControl {
 public:
  explicit TPainterSheet(vcl::TComponent* owner);
  // The size the sections take.
  static int SectionsWidth();
  static int SectionsHeight();

 protected:
  void Paint() override;
};

}  // namespace qelo::ct::sheet
