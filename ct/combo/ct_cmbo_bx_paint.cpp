// The framed combo box's pictures: the frame and the flat or read-only
// button painted over the client area once the window has painted itself,
// owner-drawn items, and the drop-down list's width. The look is the
// classic one: the platform reports no visual styles, so the themed
// button and borders never apply here.
#include <algorithm>

#include "ct_cmbo_bx.h"
#include "ct_common_glyphs.h"
#include "win/controls/combobox.h"

namespace qelo::ct {

namespace {

constexpr int kClassicEdge = 2;  // the band the frame and the button keep from the edges

void Fill(vcl::TCanvas& canvas, const vcl::TRect& rect, vcl::TColor color) {
  canvas.Brush()->SetColor(color);
  canvas.FillRect(rect);
}

}  // namespace

// The drop-down button: the scroll bar's width, two pixels in from the
// edges, on the right (on the left for right-to-left alignment).
vcl::TRect TCtCustomComboBox::ButtonRect() const {
  const int bar = win::GetSystemMetrics(win::SM_CXVSCROLL);
  const int b = kClassicEdge;
  if (UseRightToLeftAlignment()) return vcl::Rect(b, b, b + bar, Height() - b);
  return vcl::Rect(Width() - bar - b, b, Width() - b, Height() - b);
}

void TCtCustomComboBox::PaintClientFrame() {
  if (!HandleAllocated()) return;
  win::DCScope context(WindowHandle(), win::DCScope::Area::kClient);
  if (!context.dc()) return;
  vcl::TCanvasContextScope scope(frameCanvas_, context.dc());
  const vcl::TRect client = vcl::Rect(0, 0, Width(), Height());
  const bool framed = FrameVisible() && !UseThemes();
  // The platform's sunken edge gives way to a band in the control's colour.
  if (framed) PaintFrameSidesRepeated(frameCanvas_, client, Color(), Color(), kAllSides, kClassicEdge);
  PaintButton(frameCanvas_, ButtonRect());
  if (framed) PaintFrameLines(frameCanvas_, client);
}

// Read-only boxes show no button; flat buttons are a plain arrow until the
// control is focused or under the mouse, then raised (pressed while the
// list is open).
void TCtCustomComboBox::PaintButton(vcl::TCanvas& canvas, const vcl::TRect& button) {
  if (readOnly_) return Fill(canvas, button, Color());
  if (!FlatButtons()) return;
  if (!focused_ && !MouseOver()) {
    Fill(canvas, button, Color());
    return PaintDropDownButton(canvas, button, 0, Enabled());
  }
  const bool dropped = DroppedDown();
  vcl::TRect face;
  if (FlatButtonColor() == vcl::clBtnFace) {
    face = dropped ? PaintFrameSides(canvas, button, vcl::clBtnShadow, vcl::clBtnHighlight, kAllSides)
                   : PaintFrameSides(canvas, button, vcl::clBtnHighlight, vcl::clBtnShadow, kAllSides);
  } else {
    face = PaintColorBorder(canvas, button, FlatButtonColor(), dropped ? fsStatus : fsPopup);
  }
  Fill(canvas, face, FlatButtonColor());
  PaintDropDownButton(canvas, button, 0, Enabled());
}

void TCtCustomComboBox::PaintFrameLines(vcl::TCanvas& canvas, const vcl::TRect& client) {
  const bool hot = FrameHot();
  const TFrameStyle style = hot ? FrameHotStyle() : FrameStyle();
  const vcl::TColor color = hot ? FrameHotColor() : FrameColor();
  switch (style) {
    case fsFlat: PaintFrameSides(canvas, client, color, color, FrameSides()); return;
    case fsFlatBold: PaintFrameSidesRepeated(canvas, client, color, color, FrameSides(), 2); return;
    default:
      if (Color() == vcl::clWindow) PaintBorderSides(canvas, client, style, FrameSides());
      else PaintColorBorderSides(canvas, client, Color(), FrameSides(), style);
      return;
  }
}

// ---- owner-drawn items -------------------------------------------------------------

// A chosen item shows on the highlight with a dotted outline; the field
// without an item shows only the outline while it has the focus.
void TCtCustomComboBox::DrawOwnerItem(vcl::TMessage& m) {
  const auto& item = *reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam);
  const vcl::TOwnerDrawState state = vcl::OwnerDrawState(item.itemState);
  vcl::TCanvas& canvas = *Canvas();
  vcl::TCanvasContextScope scope(canvas, item.hDC);
  canvas.Font()->Assign(Font());
  canvas.Brush()->SetColor(Color());
  const auto index = static_cast<int>(item.itemID);
  const bool selected = state.Contains(vcl::odSelected);
  if (index >= 0) {
    if (selected) {
      canvas.Brush()->SetColor(vcl::clHighlight);
      canvas.Font()->SetColor(vcl::clHighlightText);
    }
    DrawItem(index, item.rcItem, state);
    if (selected) PaintFocusOutline(canvas, item.rcItem);
  } else if (selected) {
    PaintFocusOutline(canvas, item.rcItem);
  } else {
    canvas.FillRect(item.rcItem);
  }
  m.Result = 1;
}

// ---- the drop-down list ------------------------------------------------------------

// Unless DropDownWidth gives it, the list is as wide as its widest item
// with a margin (and its scroll bar when it scrolls), and never narrower
// than the control.
void TCtCustomComboBox::DropDown() {
  vcl::TCustomComboBox::DropDown();
  if (!HandleAllocated()) return;
  int width = dropDownWidth_;
  if (width <= 0) {
    width = WidestItem() + 8;
    if (Items()->Count() > DropDownCount()) width += win::GetSystemMetrics(win::SM_CXVSCROLL);
    width = std::max(width, Width());
  }
  win::SendMessage(WindowHandle(), win::CB_SETDROPPEDWIDTH, static_cast<win::WPARAM>(width), 0);
}

int TCtCustomComboBox::WidestItem() {
  win::DCScope context(WindowHandle(), win::DCScope::Area::kClient);
  if (!context.dc()) return 0;
  vcl::TCanvasContextScope scope(frameCanvas_, context.dc());
  frameCanvas_.Font()->Assign(Font());
  int widest = 0;
  for (int i = 0; i < Items()->Count(); ++i) widest = std::max(widest, frameCanvas_.TextWidth(Items()->Get(i)));
  return widest;
}

}  // namespace qelo::ct
