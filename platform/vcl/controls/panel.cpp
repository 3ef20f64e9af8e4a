#include "vcl/controls/extctrls.h"
#include "vcl/controls/text_drawing.h"

namespace qelo::vcl {

const EnumInfo kBevelCutInfo{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};

const ClassInfo& TCustomPanel::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCustomPanel>("TCustomPanel", TCustomControl::StaticClass())
          .Enum("Alignment", kAlignmentInfo, &TCustomPanel::Alignment, &TCustomPanel::SetAlignment)
          .Enum("BevelInner", kBevelCutInfo, &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner)
          .Enum("BevelOuter", kBevelCutInfo, &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter)
          .Integer("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth)
          .Integer("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth)
          .Boolean("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint)
          // Older form files carry these; the classic look has no use for them.
          .Skip("ParentBackground")
          .Skip("Locked")
          .Done();
  return info;
}

const ClassInfo& TPanel::StaticClass() {
  static const ClassInfo info = ClassBuilder<TPanel>("TPanel", TCustomPanel::StaticClass())
                                    .Event("OnPaint", &TPanel::OnPaint)
                                    .Done();
  return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls).Include(csOpaque).Include(csReplicatable);
  SetControlStyle(style);
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  BordersChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  BordersChanged();
}

void TCustomPanel::SetBevelWidth(int value) {
  if (value < 1) value = 1;
  if (value == bevelWidth_) return;
  bevelWidth_ = value;
  BordersChanged();
}

void TCustomPanel::SetBorderWidth(int value) {
  if (value < 0) value = 0;
  if (value == borderWidth_) return;
  borderWidth_ = value;
  BordersChanged();
}

void TCustomPanel::BordersChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
  TCustomControl::AdjustClientRect(rect);
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  win::InflateRect(&rect, -inset, -inset);
}

namespace {

void PaintBevel(TCanvas& canvas, TRect& r, TBevelCut cut, int width, TColor face) {
  if (cut == bvNone) return;
  const TColor light = cut == bvLowered ? clBtnShadow : clBtnHighlight;
  const TColor dark = cut == bvLowered ? clBtnHighlight : clBtnShadow;
  if (cut == bvSpace) Frame3D(canvas, r, face, face, width);
  else Frame3D(canvas, r, light, dark, width);
}

}  // namespace

void TCustomPanel::Paint() {
  TCanvas& canvas = *Canvas();
  TRect r = ClientRect();
  PaintBevel(canvas, r, bevelOuter_, bevelWidth_, Color());
  Frame3D(canvas, r, Color(), Color(), borderWidth_);
  PaintBevel(canvas, r, bevelInner_, bevelWidth_, Color());
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color());
  canvas.FillRect(r);
  if (Caption().empty()) return;
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->Assign(Font());
  if (!Enabled()) canvas.Font()->SetColor(clGrayText);
  win::UINT flags = win::DT_SINGLELINE | win::DT_VCENTER | win::DT_EXPANDTABS;
  if (alignment_ == taCenter) flags |= win::DT_CENTER;
  if (alignment_ == taRightJustify) flags |= win::DT_RIGHT;
  DrawCanvasText(canvas, Caption(), r, flags);
}

bool SizeChanged(const TMessage& windowPosChanged) {
  const auto* pos = reinterpret_cast<const win::WINDOWPOS*>(windowPosChanged.LParam);
  return pos && !(pos->flags & win::SWP_NOSIZE);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.ClassStyle &= ~(win::CS_HREDRAW | win::CS_VREDRAW);
}

void TCustomPanel::Dispatch(TMessage& m) {
  // The whole panel is painted over, so erasing first would only flicker.
  if (m.Msg == win::WM_ERASEBKGND) {
    m.Result = 1;
    return;
  }
  if (m.Msg == win::WM_WINDOWPOSCHANGED && fullRepaint_ && SizeChanged(m)) Invalidate();
  TCustomControl::Dispatch(m);
}

void TPanel::Paint() {
  TCustomPanel::Paint();
  if (OnPaint) OnPaint(this);
}

}  // namespace qelo::vcl
