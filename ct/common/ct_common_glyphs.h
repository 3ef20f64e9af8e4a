// Small pictures of the controls: the drop-down arrow, the gradient
// highlight ring and the check-box glyph.
#pragma once

#include <cstdint>

#include "ct_common_frames.h"
#include "ct_grafx_gradient.h"

namespace qelo::ct {

// Style 1 draws the themed chevron (its colour taken from the themed
// drop-down button), any other style a solid triangle pointing down. From
// Vista on every style is 2. The canvas's pen style and brush colour are
// kept.
void PaintDropDownButton(TCanvas& canvas, const TRect& rect, int style, bool enabled);

// A two-pixel ring of the gradient just inside the rectangle; only on a
// display of more than 256 colours. The canvas's clip region is kept.
void PaintGradientRing(TCanvas& canvas, const TRect& rect, TGradientDirection direction, TColor startColor,
                       TColor stopColor);

enum TCheckGlyphState : uint8_t { cgsUnchecked, cgsChecked, cgsGrayed };
enum TCheckDrawState : uint8_t { cdsNormal, cdsPressed, cdsHot, cdsDisabled };
enum THotTrackStyle : uint8_t { htsInterior, htsFrame };
extern const vcl::EnumInfo kHotTrackStyleInfo;

// What a check box's glyph looks like.
struct TCheckGlyph {
  TCheckGlyphState State = cgsUnchecked;
  TColor ReadOnlyColor = vcl::clInfoBk;
  bool ReadOnlyColorOnFocus = false;
  bool ReadOnly = false;
  TColor HotFrameColor = vcl::clHighlight;
  TColor HotFillColor = vcl::clWindow;
  TColor DisabledColor = vcl::clBtnFace;
  TColor FocusColor = vcl::clWindow;
  TColor Color = vcl::clWindow;
  TColor CheckColor = vcl::clWindowText;
  TColor FrameColor = vcl::clBtnShadow;
  THotTrackStyle HotTrackStyle = htsInterior;
  bool Focused = false;
  TCheckDrawState DrawState = cdsNormal;
};

// The glyph in the rectangle (13 by 13 in the check boxes): outline, fill,
// tick or grayed square, hot ring or frame. Returns the rectangle inside
// the outline.
TRect PaintCheckGlyph(TCanvas& canvas, const TRect& rect, const TCheckGlyph& glyph);

}  // namespace qelo::ct
