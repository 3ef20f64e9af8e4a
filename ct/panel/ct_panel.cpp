#include "ct_panel.h"

#include <algorithm>

#include "ct_common_border_rect.h"
#include "ct_common_borders.h"
#include "ct_grafx_parent.h"
#include "ct_panel_dock_manager.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/form_file.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kCtGridStyleInfo{"TCtGridStyle", {"gsDots", "gsDottedLines", "gsSolidLines"}};

void ReadObsoleteUseGradients(TObject& self, const FormValue& value) {
  if (FormBooleanValue(value)) static_cast<TCtCustomPanel&>(self).SetVisualStyle(vsGradient);
}

const ClassInfo& TCtCustomPanel::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCtCustomPanel>("TCtCustomPanel", TCustomPanel::StaticClass()).Done();
  return info;
}

const ClassInfo& TCtPanel::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TCtPanel> builder("TCtPanel", TCtCustomPanel::StaticClass());
    PublishPanelProperties(builder);
    return builder.Done();
  }();
  return info;
}

TCtCustomPanel::TCtCustomPanel(TComponent* owner)
    : TCustomPanel(owner), TCtFrameControllerClient(this), TCtStyledBorderSettings(fsRaised) {
  SetBevelOuter(bvNone);
  TControlStyle style = ControlStyle();
  style.Include(csOpaque).Exclude(csSetCaption).Exclude(csParentBackground);
  SetControlStyle(style);
}

// ---- setters ----

void TCtCustomPanel::BorderChanged() {
  Realign();
  Invalidate();
}

void TCtCustomPanel::StyledBorderChanged(bool roomChanged) {
  if (roomChanged) BorderChanged();
  else Invalidate();
}

void TCtCustomPanel::SetAlignmentVertical(TAlignmentVertical value) {
  if (StoreChanged(alignmentVertical_, value)) Invalidate();
}
void TCtCustomPanel::SetGradientColorStyle(TCtGradientColorStyle value) {
  if (StoreChanged(gradientColorStyle_, value)) Invalidate();
}
void TCtCustomPanel::SetGridColor(TColor value) {
  if (StoreChanged(gridColor_, value)) Invalidate();
}
void TCtCustomPanel::SetGridStyle(TCtGridStyle value) {
  if (StoreChanged(gridStyle_, value)) Invalidate();
}
void TCtCustomPanel::SetGridXSize(int value) {
  if (StoreChanged(gridXSize_, value)) Invalidate();
}
void TCtCustomPanel::SetGridYSize(int value) {
  if (StoreChanged(gridYSize_, value)) Invalidate();
}
void TCtCustomPanel::SetPaintClientArea(bool value) {
  if (StoreChanged(paintClientArea_, value)) Invalidate();
}
void TCtCustomPanel::SetTextMargin(int value) {
  if (StoreChanged(textMargin_, value)) Invalidate();
}
void TCtCustomPanel::SetTextMarginVertical(int value) {
  if (StoreChanged(textMarginVertical_, value)) Invalidate();
}
void TCtCustomPanel::SetShowGrid(bool value) {
  if (StoreChanged(showGrid_, value)) Invalidate();
}
void TCtCustomPanel::SetVisualStyle(TCtVisualStyle value) {
  if (StoreChanged(visualStyle_, value)) Invalidate();
}
void TCtCustomPanel::SetWordWrap(bool value) {
  if (StoreChanged(wordWrap_, value)) Invalidate();
}
void TCtCustomPanel::SetShowDockClientCaptions(bool value) {
  if (StoreChanged(showDockClientCaptions_, value)) Invalidate();
}

// What shows through a transparent panel changes, and so does what shows
// through its own transparent children.
void TCtCustomPanel::SetTransparent(bool value) {
  if (!StoreChanged(transparent_, value)) return;
  TControlStyle style = ControlStyle();
  if (value)
    style.Exclude(csOpaque);
  else
    style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void TCtCustomPanel::InvalidateTransparentChildren() {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    const PropInfo* p = GetPropInfo(*child, "Transparent");
    if (p && p->kind == PropKind::Boolean && p->getOrd(*child) != 0) child->Invalidate();
  }
}

void TCtCustomPanel::SetGradientColorStart(TColor value) {
  if (!StoreChanged(gradientColorStart_, value)) return;
  Invalidate();
  InvalidateTransparentChildren();
}
void TCtCustomPanel::SetGradientColorStop(TColor value) {
  if (!StoreChanged(gradientColorStop_, value)) return;
  Invalidate();
  InvalidateTransparentChildren();
}
void TCtCustomPanel::SetGradientDirection(TGradientDirection value) {
  if (!StoreChanged(gradientDirection_, value)) return;
  Invalidate();
  InvalidateTransparentChildren();
}

void TCtCustomPanel::UpdateFrameFromController() {
  if (TCtFrameController* controller = FrameController()) UpdateStyledFrameFromController(*this, *controller);
}

void TCtCustomPanel::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  FrameControllerLink().Notification(component, operation);
}

// ---- geometry ----

void TCtCustomPanel::GetBorderRect(TRect& rect, bool withBorderWidth) const {
  if (withBorderWidth) win::InflateRect(&rect, -BorderWidth(), -BorderWidth());
  rect = InsideBorderStyles(rect, BevelWidth());
}

void TCtCustomPanel::GetGradientColors(TColor& start, TColor& stop) const {
  if (gradientColorStyle_ == gcsCustom) {
    start = gradientColorStart_;
    stop = gradientColorStop_;
  } else {
    GetPanelGradientColors(gradientColorStyle_, start, stop);
  }
}

void TCtCustomPanel::GetFlatColors(TColor& color, int& adjustment) const {
  if (visualStyle_ == vsGradient && gradientColorStyle_ != gcsCustom) {
    color = GetPanelFrameColor(gradientColorStyle_);
    adjustment = 0;
  } else {
    color = FlatColor();
    adjustment = FlatColorAdjustment();
  }
}

void TCtCustomPanel::SetBounds(int left, int top, int width, int height) {
  if (Align() == alBottom && height != Height()) top = Top() + Height() - height;
  if (Align() == alRight && width != Width()) left = Left() + Width() - width;
  TCustomPanel::SetBounds(left, top, width, height);
}

void TCtCustomPanel::AdjustClientRect(TRect& rect) const {
  TCustomPanel::AdjustClientRect(rect);
  if (DockSite()) GetBorderRect(rect, false);
}

TDockTree* TCtCustomPanel::CreateDockManager() {
  if (DockSite() && UseDockManager() && !DockManager()) return new TCtPanelDockManager(this);
  return TCustomPanel::CreateDockManager();
}

// Children sit inside the frame's styles; BorderWidth the framework's
// client rectangle already leaves out (and a dock site's the styles too).
void TCtCustomPanel::AlignControls(TControl* control, TRect& rect) {
  if (!DockSite()) GetBorderRect(rect, false);
  TCustomPanel::AlignControls(control, rect);
}

// ---- painting ----

bool TCtCustomPanel::RoundedFrame() const {
  return (BorderOuter() == fsFlatRounded && BorderInner() == fsNone && BorderWidth() == 0) ||
         BorderInner() == fsFlatRounded;
}

void TCtCustomPanel::PaintClient(TCanvas& canvas, TRect r) {
  const bool rounded = RoundedFrame();
  const TSides s = BorderSides();
  if (rounded) {
    if (s.Contains(sdLeft)) --r.left;
    if (s.Contains(sdTop)) --r.top;
    if (s.Contains(sdRight)) ++r.right;
    if (s.Contains(sdBottom)) ++r.bottom;
  }
  if (visualStyle_ == vsGradient) {
    TColor start, stop;
    GetGradientColors(start, stop);
    PaintGradient(canvas, r, gradientDirection_, start, stop, 1);
  } else {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(r);
  }
  if (!rounded) return;
  // The corners the rounded border cuts take the border's colour again.
  TColor flat;
  int adjustment;
  GetFlatColors(flat, adjustment);
  const TColor corner = AdjustColorLuminance(flat, adjustment);
  if (s.Contains(sdLeft) && s.Contains(sdTop)) canvas.SetPixel(r.left, r.top, corner);
  if (s.Contains(sdRight) && s.Contains(sdTop)) canvas.SetPixel(r.right - 1, r.top, corner);
  if (s.Contains(sdLeft) && s.Contains(sdBottom)) canvas.SetPixel(r.left, r.bottom - 1, corner);
  if (s.Contains(sdRight) && s.Contains(sdBottom)) canvas.SetPixel(r.right - 1, r.bottom - 1, corner);
}

void TCtCustomPanel::DrawGrid(const TRect& r) {
  TCanvas& canvas = *Canvas();
  const int columns = gridXSize_ > 0 ? RectWidth(r) / gridXSize_ : 0;
  const int rows = gridYSize_ > 0 ? RectHeight(r) / gridYSize_ : 0;
  canvas.Pen()->SetColor(gridColor_);
  canvas.Pen()->SetStyle(psSolid);
  auto column = [&](int i) { return r.left + i * gridXSize_ - 1; };
  auto row = [&](int j) { return r.top + j * gridYSize_ - 1; };
  switch (gridStyle_) {
    case gsDots:
      for (int i = 1; i <= columns; ++i)
        for (int j = 1; j <= rows; ++j) canvas.SetPixel(column(i), row(j), gridColor_);
      break;
    case gsSolidLines:
      for (int i = 1; i <= columns; ++i) {
        canvas.MoveTo(column(i), r.top);
        canvas.LineTo(column(i), r.bottom);
      }
      for (int j = 1; j <= rows; ++j) {
        canvas.MoveTo(r.left, row(j));
        canvas.LineTo(r.right, row(j));
      }
      break;
    case gsDottedLines:
      for (int i = 1; i <= columns; ++i)
        for (int y = r.top + 1; y < r.bottom; y += 2) canvas.SetPixel(column(i), y, gridColor_);
      for (int j = 1; j <= rows; ++j)
        for (int x = r.left + 1; x < r.right; x += 2) canvas.SetPixel(x, row(j), gridColor_);
      break;
  }
}

void TCtCustomPanel::DrawCaption(TRect r) {
  if (Caption().empty()) return;
  TCanvas& canvas = *Canvas();
  win::InflateRect(&r, -textMargin_, -textMarginVertical_);
  UINT flags = win::DT_EXPANDTABS | win::DT_VCENTER;
  if (wordWrap_) flags |= win::DT_WORDBREAK;
  if (Alignment() == taCenter) flags |= win::DT_CENTER;
  if (Alignment() == taRightJustify) flags |= win::DT_RIGHT;
  canvas.Font()->Assign(Font());
  if (!Enabled()) canvas.Font()->SetColor(clGrayText);
  TRect measured = r;
  DrawCanvasText(canvas, Caption(), measured, flags | win::DT_CALCRECT);
  const int h = RectHeight(measured);
  switch (alignmentVertical_) {
    case avTop: r.bottom = std::min<int>(r.bottom, r.top + h); break;
    case avCenter:
      r.top = (r.top + r.bottom - h) / 2;
      r.bottom = std::min<int>(r.bottom, r.top + h);
      break;
    case avBottom: r.top = std::max<int>(r.top, r.bottom - h - 1); break;
  }
  DrawCanvasText(canvas, Caption(), r, flags);
}

void TCtCustomPanel::Paint() {
  TCanvas& canvas = *Canvas();
  TStyledFrame frame;
  CopyStyledBorderTo(frame);
  frame.BorderWidth = BorderWidth();
  frame.BevelWidth = BevelWidth();
  GetFlatColors(frame.FlatColor, frame.FlatColorAdjustment);
  frame.Color = Color();
  frame.ParentColor = Parent() ? Parent()->Color() : Color();
  frame.Transparent = transparent_;
  const TRect inner = PaintStyledFrame(canvas, GetControlRect(), frame);
  if (!transparent_ && paintClientArea_) PaintClient(canvas, inner);
  if (showGrid_) DrawGrid(inner);
  canvas.Brush()->SetStyle(bsClear);
  DrawCaption(inner);
  if (OnPaint) OnPaint(this);
}

// ---- messages ----

// Disabling remembers each child's own state by the child; enabling gives
// it back, and enables children that came while the panel was disabled.
void TCtCustomPanel::EnabledChanged() {
  if (!Enabled()) {
    childrenEnabled_.clear();
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      childrenEnabled_[child] = child->Enabled();
      child->SetEnabled(false);
    }
    return;
  }
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    const auto recorded = childrenEnabled_.find(child);
    if (recorded == childrenEnabled_.end() || recorded->second) child->SetEnabled(true);
  }
  childrenEnabled_.clear();
}

void TCtCustomPanel::CreateWnd() {
  TCustomPanel::CreateWnd();
  windowSize_ = TSize{Width(), Height()};
}

// A new size keeps what the panel shows inside its frame: only the right
// and bottom strips from the frame's inner edge, of the smaller of the old
// and new sizes, are painted again, so no old frame line stays behind. A
// caption (which may move) or FullRepaint repaints the whole panel.
void TCtCustomPanel::WindowPosChanged(TMessage& m) {
  const auto* pos = reinterpret_cast<const win::WINDOWPOS*>(m.LParam);
  if (SizeChanged(m) && HandleAllocated()) {
    const TSize old = windowSize_;
    windowSize_ = TSize{pos->cx, pos->cy};
    if (FullRepaint() || !Caption().empty()) {
      Invalidate();
    } else {
      TRect border = Rect(0, 0, std::min(old.cx, pos->cx), std::min(old.cy, pos->cy));
      GetBorderRect(border, false);
      if (pos->cx != old.cx) {
        const TRect strip = Rect(border.right - 1, 0, pos->cx, pos->cy);
        win::InvalidateRect(WindowHandle(), &strip, true);
      }
      if (pos->cy != old.cy) {
        const TRect strip = Rect(0, border.bottom - 1, pos->cx, pos->cy);
        win::InvalidateRect(WindowHandle(), &strip, true);
      }
    }
  }
  TCustomPanel::Dispatch(m);
}

void TCtCustomPanel::EraseBackground(TMessage& m) {
  if (transparent_ && paintClientArea_) {
    PaintParentBackground(this, reinterpret_cast<win::HDC>(m.WParam), true);
    m.Result = 1;
    return;
  }
  TCustomPanel::Dispatch(m);
}

void TCtCustomPanel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_ERASEBKGND: return EraseBackground(m);
    case win::WM_WINDOWPOSCHANGED: return WindowPosChanged(m);
    case CM_ENABLEDCHANGED:
      TCustomPanel::Dispatch(m);
      Repaint();
      return EnabledChanged();
    case CM_CONTROLCHANGE:
      // A child that leaves takes its remembered state with it.
      if (m.LParam == 0) childrenEnabled_.erase(reinterpret_cast<TControl*>(m.WParam));
      return TCustomPanel::Dispatch(m);
    case WM_THEMECHANGED:
      TCustomPanel::Dispatch(m);
      return RefreshXPColorScheme();
    default: TCustomPanel::Dispatch(m);
  }
}

void RegisterCtPanelClasses() {
  RegisterClasses({&TCtPanel::StaticClass()});
}

}  // namespace qelo::ct
