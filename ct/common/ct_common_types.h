// Enumerations that several controls of the library publish (buttons,
// check boxes, labels, panels), with their value names for form files, and
// the setter rule they share.
#pragma once

#include "vcl/typeinfo.h"

namespace qelo::ct {

// Where a caption sits between the top and the bottom of its rectangle.
enum TAlignmentVertical { avTop, avCenter, avBottom };
// How text is drawn: plain, raised or recessed by a highlight and a shadow
// one pixel apart, or with a shadow moved down and right.
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
// The hot-track colours: the hot-track colour itself, or its complement.
enum TCtHotTrackColorType { htctComplement, htctActual };
// The look of panels and tool buttons: classic 3D, the platform's visual
// style, or gradients in the selection colours.
enum TCtVisualStyle { vsClassic, vsWinXP, vsGradient };

extern const vcl::EnumInfo kAlignmentVerticalInfo;
extern const vcl::EnumInfo kTextStyleInfo;
extern const vcl::EnumInfo kCtHotTrackColorTypeInfo;
extern const vcl::EnumInfo kCtVisualStyleInfo;

// The setter rule of the library's controls: a changed value is stored (and
// the caller repaints); an unchanged one changes nothing.
template <class T>
bool StoreChanged(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace qelo::ct
