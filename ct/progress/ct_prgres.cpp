#include "ct_prgres.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ct_common_types.h"
#include "ct_panel_status_bar.h"
#include "vcl/graphics/bitmap.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kBarStyleInfo{"TBarStyle", {"bsTraditional", "bsLED", "bsGradient"}};
const EnumInfo kOrientationInfo{"TOrientation", {"orHorizontal", "orVertical"}};

namespace {

// The right end of a bar in a status bar that the bar's size grip reaches.
constexpr int kStatusGripReach = 12;

// Rounds to the nearest integer, halves to the even neighbour.
int RoundEven(double value) { return static_cast<int>(std::lrint(value)); }

}  // namespace

int ProgressFillLength(unsigned percent, int length) {
  if (length <= 0) return 0;
  if (percent >= 100) return length;
  return RoundEven(percent * static_cast<double>(length) / 100.0);
}

TLedLayout LayoutLedSegments(int length, TSegmentRange numSegments) {
  if (length <= 0) return {};
  int count = std::max<int>(numSegments, 1);
  int size = length / count;
  if (length <= 80 && count > 10) {
    size = length / 10;
    count = 10;
  }
  // A bar shorter than its segment count gets one-pixel segments, as many
  // as fit.
  if (size < 1) size = 1;
  count = std::min(count, length / size);
  const int grow = (length - size * count) / size;
  if (grow > 0) count += grow;
  return {size, count, (length - size * count) / 2};
}

int LitLedSegments(unsigned percent, int count) {
  return static_cast<int>(std::min(percent, 100u) * static_cast<unsigned>(std::max(count, 0)) / 100u);
}

// ---- class -------------------------------------------------------------------------

const ClassInfo& TCtCustomProgressBar::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TCtCustomProgressBar> b("TCtCustomProgressBar", TGraphicControl::StaticClass());
    PublishProgressProperties(b);
    return b.Done();
  }();
  return info;
}

const ClassInfo& TCtProgressBar::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCtProgressBar>("TCtProgressBar", TCtCustomProgressBar::StaticClass()).Done();
  return info;
}

TCtCustomProgressBar::TCtCustomProgressBar(TComponent* owner)
    : TGraphicControl(owner), TCtFrameControllerClient(this) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  SetControlStyle(style);
  SetBounds(0, 0, 200, 24);
}

void TCtCustomProgressBar::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  FrameControllerLink().Notification(component, operation);
}

// ---- properties ------------------------------------------------------------------------

void TCtCustomProgressBar::SetBackColor(TColor value) {
  if (StoreChanged(backColor_, value)) Repaint();
}
void TCtCustomProgressBar::SetBackColorStop(TColor value) {
  if (StoreChanged(backColorStop_, value)) Repaint();
}
void TCtCustomProgressBar::SetBarColor(TColor value) {
  if (!StoreChanged(barColor_, value)) return;
  Font()->SetColor(value);
  Repaint();
}
void TCtCustomProgressBar::SetBarColorStop(TColor value) {
  if (StoreChanged(barColorStop_, value)) Repaint();
}
void TCtCustomProgressBar::SetBarStyle(TBarStyle value) {
  if (!StoreChanged(barStyle_, value)) return;
  showPercent_ = value != bsLED;
  interiorOffset_ = value == bsLED ? 1 : 0;
  Repaint();
}
void TCtCustomProgressBar::SetBevelWidth(int value) {
  if (StoreChanged(bevelWidth_, value)) Repaint();
}
void TCtCustomProgressBar::SetBorderColor(TColor value) {
  if (StoreChanged(borderColor_, value)) Repaint();
}
void TCtCustomProgressBar::SetBorderInner(TFrameStyleEx value) {
  if (StoreChanged(borderInner_, value)) Repaint();
}
void TCtCustomProgressBar::SetBorderOuter(TFrameStyleEx value) {
  if (StoreChanged(borderOuter_, value)) Repaint();
}
void TCtCustomProgressBar::SetBorderWidth(int value) {
  if (StoreChanged(borderWidth_, value)) Repaint();
}
void TCtCustomProgressBar::SetFlatColor(TColor value) {
  if (StoreChanged(flatColor_, value)) Invalidate();
}
void TCtCustomProgressBar::SetFlatColorAdjustment(int value) {
  if (StoreChanged(flatColorAdjustment_, value)) Invalidate();
}
void TCtCustomProgressBar::SetGradientDirection(TGradientDirection value) {
  if (StoreChanged(gradientDirection_, value)) Repaint();
}
void TCtCustomProgressBar::SetInteriorOffset(uint8_t value) {
  if (StoreChanged(interiorOffset_, value)) Repaint();
}
void TCtCustomProgressBar::SetNumSegments(TSegmentRange value) {
  if (StoreChanged(numSegments_, value)) Repaint();
}
void TCtCustomProgressBar::SetOrientation(TOrientation value) {
  if (StoreChanged(orientation_, value)) Repaint();
}
void TCtCustomProgressBar::SetShowParts(bool value) {
  if (StoreChanged(showParts_, value)) Repaint();
}
void TCtCustomProgressBar::SetShowPercent(bool value) {
  if (StoreChanged(showPercent_, value)) Repaint();
}
void TCtCustomProgressBar::SetThemeAware(bool value) {
  if (StoreChanged(themeAware_, value)) Invalidate();
}

void TCtCustomProgressBar::SetPercent(uint16_t value) {
  if (!StoreChanged(percent_, value)) return;
  Change();
  Repaint();
}

void TCtCustomProgressBar::Change() {
  if (OnChange) OnChange(this, percent_);
}

// While a form is read the total may come after the parts: the parts are
// clipped once everything is read (Loaded).
void TCtCustomProgressBar::SetPartsComplete(TUnsignedLongint value) {
  if (!Loading()) value = std::min(value, totalParts_);
  if (!StoreChanged(partsComplete_, value)) return;
  const uint16_t before = percent_;
  if (!Loading() && totalParts_ != 0)
    SetPercent(static_cast<uint16_t>(RoundEven(static_cast<double>(value) / totalParts_ * 100.0)));
  if (showParts_ && percent_ == before) Repaint();
}

void TCtCustomProgressBar::SetTotalParts(TUnsignedLongint value) {
  if (!StoreChanged(totalParts_, value)) return;
  if (Loading()) return;
  partsComplete_ = 0;
  const uint16_t before = percent_;
  SetPercent(0);
  if (showParts_ && percent_ == before) Repaint();
}

void TCtCustomProgressBar::Loaded() {
  TGraphicControl::Loaded();
  partsComplete_ = std::min(partsComplete_, totalParts_);
}

std::string TCtCustomProgressBar::BarText() const {
  if (!showPercent_) return {};
  char text[32];
  if (showParts_)
    std::snprintf(text, sizeof text, "%u / %u", partsComplete_, totalParts_);
  else
    std::snprintf(text, sizeof text, "%u%%", static_cast<unsigned>(percent_));
  return text;
}

void TCtCustomProgressBar::SetBounds(int left, int top, int width, int height) {
  TGraphicControl::SetBounds(left, top, width, height);
  SetOrientation(Width() < Height() ? orVertical : orHorizontal);
}

void TCtCustomProgressBar::UpdateFrameFromController() {
  const TCtFrameController* controller = FrameController();
  if (!controller || !controller->FrameVisible()) return;
  const TCtFrameControllerNotifications mask = FrameControllerNotifications();
  if (mask.Contains(fcpFrameStyle)) SetBorderOuter(controller->FrameStyle());
  if (mask.Contains(fcpFrameColor)) {
    SetFlatColor(controller->FrameColor());
    SetFlatColorAdjustment(0);
  }
  if (mask.Contains(fcpColor)) SetBackColor(controller->Color());
  if (mask.Contains(fcpParentColor)) SetParentColor(controller->ParentColor());
  Invalidate();
}

// ---- painting ----------------------------------------------------------------------------

TColor TCtCustomProgressBar::ParentBackground() const { return Parent() ? Parent()->Color() : Color(); }

void TCtCustomProgressBar::Paint() {
  TBitmap buffer(Width(), Height());
  TCanvas& canvas = *buffer.Canvas();
  canvas.Font()->Assign(Font());
  const TRect r = PaintClassicFrame(canvas);
  if (RectWidth(r) > 0 && RectHeight(r) > 0) {
    switch (barStyle_) {
      case bsTraditional: PaintTraditional(canvas, r); break;
      case bsLED: PaintLed(canvas, r); break;
      case bsGradient: PaintGradientBar(canvas, r); break;
    }
  }
  Canvas()->Draw(0, 0, &buffer);
}

TRect TCtCustomProgressBar::PaintClassicFrame(TCanvas& canvas) {
  const TRect bounds = Rect(0, 0, Width(), Height());
  canvas.Brush()->SetColor(borderColor_);
  canvas.FillRect(bounds);
  TStyledFrame frame;
  frame.BorderOuter = borderOuter_;
  frame.BorderInner = borderInner_;
  frame.BorderWidth = borderWidth_;
  frame.BevelWidth = bevelWidth_;
  frame.BorderColor = borderColor_;
  frame.BorderHighlight = clBtnHighlight;
  frame.BorderShadow = clBtnShadow;
  frame.FlatColor = flatColor_;
  frame.FlatColorAdjustment = flatColorAdjustment_;
  frame.Color = backColor_;
  frame.ParentColor = ParentBackground();
  frame.SquareFlat = true;
  TRect r = PaintStyledFrame(canvas, bounds, frame);
  PaintInteriorOffset(canvas, r);
  return r;
}

// A ring of the back colour InteriorOffset pixels wide just inside the
// border.
void TCtCustomProgressBar::PaintInteriorOffset(TCanvas& canvas, TRect& r) const {
  if (interiorOffset_ == 0) return;
  canvas.Pen()->SetColor(backColor_);
  canvas.Pen()->SetWidth(interiorOffset_);
  canvas.Pen()->SetStyle(psInsideFrame);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Rectangle(r);
  canvas.Pen()->SetWidth(1);
  canvas.Pen()->SetStyle(psSolid);
  win::InflateRect(&r, -interiorOffset_, -interiorOffset_);
}

// The share of r the percent fills: from the bottom when vertical, from
// the left otherwise.
TRect TCtCustomProgressBar::FilledRect(const TRect& r) const {
  TRect bar = r;
  if (orientation_ == orVertical)
    bar.top = r.bottom - ProgressFillLength(percent_, RectHeight(r));
  else
    bar.right = r.left + ProgressFillLength(percent_, RectWidth(r));
  return bar;
}

namespace {

// What is left of r beside the filled share.
TRect RestOf(const TRect& r, const TRect& bar, bool vertical) {
  TRect rest = r;
  if (vertical)
    rest.bottom = bar.top;
  else
    rest.left = bar.right;
  return rest;
}

}  // namespace

// The text is centred once for both halves, so it shows in the back colour
// over the bar and in the bar colour over the background.
void TCtCustomProgressBar::PaintTraditional(TCanvas& canvas, const TRect& r) {
  const std::string text = BarText();
  const TRect bar = FilledRect(r);
  const TRect rest = RestOf(r, bar, orientation_ == orVertical);
  win::SetTextAlign(canvas.Handle(), win::TA_CENTER);
  const int x = r.right / 2;
  const int y = r.top + (RectHeight(r) - canvas.TextHeight("X")) / 2;
  canvas.Brush()->SetColor(barColor_);
  canvas.Font()->SetColor(backColor_);
  canvas.TextRect(bar, x, y, text);
  canvas.Brush()->SetColor(backColor_);
  canvas.Font()->SetColor(barColor_);
  canvas.TextRect(rest, x, y, text);
}

void TCtCustomProgressBar::PaintGradientBar(TCanvas& canvas, const TRect& r) {
  const std::string text = BarText();
  const TRect bar = FilledRect(r);
  const TRect rest = RestOf(r, bar, orientation_ == orVertical);
  win::SetTextAlign(canvas.Handle(), win::TA_CENTER);
  const int x = r.right / 2;
  const int y = r.top + (RectHeight(r) - canvas.TextHeight("X")) / 2;
  PaintGradient(canvas, bar, gradientDirection_, barColor_, barColorStop_, 1);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(backColor_);
  canvas.TextRect(bar, x, y, text);
  PaintGradient(canvas, rest, gradientDirection_, backColor_, backColorStop_, 1);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(barColor_);
  canvas.TextRect(rest, x, y, text);
}

// Segments outlined in the back colour, lit from the left (or the bottom),
// between two margins of the back colour.
void TCtCustomProgressBar::PaintLed(TCanvas& canvas, const TRect& r) {
  const bool vertical = orientation_ == orVertical;
  const int length = vertical ? RectHeight(r) : RectWidth(r);
  const TLedLayout layout = LayoutLedSegments(length, numSegments_);
  canvas.Brush()->SetColor(backColor_);
  canvas.FillRect(r);
  canvas.Pen()->SetColor(backColor_);
  const int lit = LitLedSegments(percent_, layout.Count);
  for (int i = 1; i <= layout.Count; ++i) {
    canvas.Brush()->SetColor(i <= lit ? barColor_ : backColor_);
    if (vertical) {
      const int top = r.top + layout.Margin + layout.Size * (layout.Count - i);
      canvas.Rectangle(r.left, top, r.right, top + layout.Size);
    } else {
      const int left = r.left + layout.Margin + layout.Size * (i - 1);
      canvas.Rectangle(left, r.top, left + layout.Size, r.bottom);
    }
  }
}

// ---- messages ---------------------------------------------------------------------------

void TCtCustomProgressBar::Dispatch(TMessage& m) {
  if (m.Msg == CM_HITTEST) return HitTest(m);
  TGraphicControl::Dispatch(m);
}

// In a status bar the right end of the bar answers as the status bar does
// at that point of the screen, so that its size grip works through the bar.
void TCtCustomProgressBar::HitTest(TMessage& m) {
  TGraphicControl::Dispatch(m);
  auto* statusBar = dynamic_cast<TCtStatusBar*>(Parent());
  if (!statusBar || !statusBar->HandleAllocated()) return;
  const TPoint p = Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam));
  const TRect client = ClientRect();
  if (!win::PtInRect(&client, p) || p.x < client.right - kStatusGripReach) return;
  const TPoint screen = ClientToScreen(p);
  m.Result = win::SendMessage(statusBar->Handle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(screen.x, screen.y));
}

void RegisterCtProgressBarClasses() {
  RegisterClasses({&TCtProgressBar::StaticClass()});
}

}  // namespace qelo::ct
