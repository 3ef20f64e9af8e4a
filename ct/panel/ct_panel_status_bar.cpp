#include "ct_panel_status_bar.h"

#include <algorithm>
#include <cmath>

#include "ct_common_borders.h"
#include "ct_common_color.h"
#include "ct_common_types.h"
#include "ct_panel_group_box.h"
#include "ct_prgres.h"
#include "vcl/controls/forms.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// The system command that sizes a window from its bottom-right corner.
constexpr WPARAM kSizeFromBottomRight = win::SC_SIZE | win::WMSZ_BOTTOMRIGHT;
// Panes are scaled only while the bar is at least this wide.
constexpr int kMinScaledWidth = 50;

}  // namespace

const ClassInfo& TCtStatusBar::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TCtStatusBar> b("TCtStatusBar", TCtCustomPanel::StaticClass());
    PublishPanelProperties(b);
    b.Boolean("AutoScalePanes", &TCtStatusBar::AutoScalePanes, &TCtStatusBar::SetAutoScalePanes)
        .Boolean("AutoStyle", &TCtStatusBar::AutoStyle, &TCtStatusBar::SetAutoStyle)
        .Boolean("ShowSizeGrip", &TCtStatusBar::ShowSizeGrip, &TCtStatusBar::SetShowSizeGrip)
        .String("SimpleCaption", &TCtStatusBar::SimpleCaption, &TCtStatusBar::SetSimpleCaption)
        .Enum("SimpleFrameStyle", kFrameStyleExInfo, &TCtStatusBar::SimpleFrameStyle,
              &TCtStatusBar::SetSimpleFrameStyle)
        .Boolean("SimpleStatus", &TCtStatusBar::SimpleStatus, &TCtStatusBar::SetSimpleStatus);
    return b.Done();
  }();
  return info;
}

TCtStatusBar::TCtStatusBar(TComponent* owner) : TCtCustomPanel(owner) {
  SetAlign(alBottom);
  ApplyAutoStyle();
}

// ---- style --------------------------------------------------------------------------

void TCtStatusBar::ApplyAutoStyle() {
  applyingStyle_ = true;
  SetBorderInner(fsNone);
  SetBorderOuter(fsNone);
  SetBorderSides(kAllSides);
  SetHeight(19);
  SetBorderWidth(0);
  applyingStyle_ = false;
  autoStyle_ = true;
}

void TCtStatusBar::Loaded() {
  TCtCustomPanel::Loaded();
  if (autoStyle_) ApplyAutoStyle();
}

// A border set by hand is the bar's own look from then on.
void TCtStatusBar::SetBorderInner(TFrameStyleEx value) {
  if (value != BorderInner() && !applyingStyle_) autoStyle_ = false;
  TCtCustomPanel::SetBorderInner(value);
}
void TCtStatusBar::SetBorderOuter(TFrameStyleEx value) {
  if (value != BorderOuter() && !applyingStyle_) autoStyle_ = false;
  TCtCustomPanel::SetBorderOuter(value);
}
void TCtStatusBar::SetBorderSides(TSides value) {
  if (!(value == BorderSides()) && !applyingStyle_) autoStyle_ = false;
  TCtCustomPanel::SetBorderSides(value);
}

void TCtStatusBar::SetAutoScalePanes(bool value) { StoreChanged(autoScalePanes_, value); }
void TCtStatusBar::SetAutoStyle(bool value) {
  if (StoreChanged(autoStyle_, value)) Invalidate();
}
void TCtStatusBar::SetShowSizeGrip(bool value) {
  if (StoreChanged(showSizeGrip_, value)) Invalidate();
}
void TCtStatusBar::SetSimpleCaption(const std::string& value) {
  if (StoreChanged(simpleCaption_, value)) Invalidate();
}
void TCtStatusBar::SetSimpleFrameStyle(TFrameStyleEx value) {
  if (StoreChanged(simpleFrameStyle_, value)) Invalidate();
}

void TCtStatusBar::SetSimpleStatus(bool value) {
  if (!StoreChanged(simpleStatus_, value)) return;
  ShowPanes(!value);
  Invalidate();
}

// Simple mode hides the panes that show; ending it shows those again and
// leaves panes hidden for other reasons hidden.
void TCtStatusBar::ShowPanes(bool show) {
  DisableAlign();
  if (show) {
    for (TControl* pane : hiddenPanes_) pane->Show();
    hiddenPanes_.clear();
  } else {
    for (int i = 0; i < ControlCount(); ++i)
      if (TControl* pane = Controls(i); pane->Visible()) {
        hiddenPanes_.push_back(pane);
        pane->Hide();
      }
  }
  EnableAlign();
}

// ---- geometry -------------------------------------------------------------------------

TRect TCtStatusBar::ClientRect() const {
  TRect r = TCtCustomPanel::ClientRect();
  r.bottom += 1;
  if (simpleStatus_) {
    r.top = 2;
  } else {
    r.top = 1;
    r.left -= 1;
    r.right += 1;
  }
  return r;
}

void TCtStatusBar::GetGradientColors(TColor& start, TColor& stop) const {
  if (GradientColorStyle() == gcsCustom) {
    start = GradientColorStop();
    stop = GradientColorStart();
    return;
  }
  TColor frame;
  GetThemedPanelColors(GradientColorStyle(), start, stop, frame);
}

void TCtStatusBar::CheckSizeGrip() {
  const TCustomForm* form = ParentForm();
  gripUsable_ = form && (form->BorderStyle() == bsSizeable || form->BorderStyle() == bsSizeToolWin) &&
                form->WindowState() != wsMaximized;
}

bool TCtStatusBar::GripShown() const {
  return showSizeGrip_ && gripUsable_ && !ComponentState().Contains(csDesigning);
}

bool TCtStatusBar::InGrip(TPoint p) const {
  const TRect grip = SizeGripRect();
  return win::PtInRect(&grip, p);
}

// The width the window is made at is the first one: it is recorded, and
// later widths scale the panes from it.
void TCtStatusBar::CreateWnd() {
  CheckSizeGrip();
  TCtCustomPanel::CreateWnd();
  if (!resized_ && Width() >= kMinScaledWidth) {
    resized_ = true;
    lastWidth_ = Width();
  }
}

// ---- pane scaling ---------------------------------------------------------------------

// Sizes given before the window exists (construction, reading a form) are
// the panes' own and scale nothing.
void TCtStatusBar::Resize() {
  const int width = Width();
  if (HandleAllocated() && width >= kMinScaledWidth) {
    if (resized_) ScalePanes(width - lastWidth_);
    resized_ = true;
    lastWidth_ = width;
  }
  TCtCustomPanel::Resize();
}

// Each pane keeps its share of the bar. The share is carried exactly from
// one resize to the next and only the shown width is rounded, so a drag of
// one pixel at a time grows the panes as much as one long step would. A
// pane whose width was changed elsewhere starts again from that width.
void TCtStatusBar::ScalePanes(int delta) {
  if (!autoScalePanes_ || ControlCount() == 0 || delta == 0) return;
  std::map<TControl*, double> scaled;
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* pane = Controls(i);
    const auto known = paneWidths_.find(pane);
    double exact = pane->Width();
    if (known != paneWidths_.end() && std::lrint(known->second) == pane->Width()) exact = known->second;
    exact += delta * exact / lastWidth_;
    pane->SetWidth(static_cast<int>(std::lrint(exact)));
    scaled[pane] = exact;
  }
  paneWidths_ = std::move(scaled);
  EnableAlign();
}

// ---- painting --------------------------------------------------------------------------

void TCtStatusBar::Paint() {
  TCtCustomPanel::Paint();
  if (!simpleStatus_) return;
  TCanvas& canvas = *Canvas();
  TRect r = ClientRect();
  r.bottom -= 1;
  DrawSimpleFrame(r);
  win::InflateRect(&r, -1, -1);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->Assign(Font());
  canvas.TextOut(r.left + 2, r.top + (RectHeight(r) - canvas.TextHeight("Pp")) / 2, simpleCaption_);
}

// Only the classic look frames the simple text: fsFlat as an outline
// without its corner pixels, other styles in system colours.
void TCtStatusBar::DrawSimpleFrame(TRect r) {
  if (VisualStyle() != vsClassic) return;
  TCanvas& canvas = *Canvas();
  if (simpleFrameStyle_ != fsFlat) {
    PaintBorder(canvas, r, simpleFrameStyle_);
    return;
  }
  TColor flat;
  int adjustment;
  GetFlatColors(flat, adjustment);
  PaintSquareFlat(canvas, r, AdjustColorLuminance(flat, adjustment));
}

// Six 2 x 2 squares in a triangle at the bottom-right, each light square
// with a dark one a pixel up and left of it. Drawn after the paint, over
// the panes that reach into the corner.
void TCtStatusBar::DrawSizeGrip() {
  TColor light = clBtnHighlight, dark = clBtnShadow;
  if (VisualStyle() == vsGradient) {
    TColor shade;
    GetThemedPanelColors(GradientColorStyle(), shade, light, dark);
  }
  TRect r = ClientRect();
  r.bottom -= 1;
  const TPoint squares[] = {{r.right - 5, r.bottom - 12}, {r.right - 5, r.bottom - 8}, {r.right - 5, r.bottom - 4},
                            {r.right - 9, r.bottom - 8},  {r.right - 9, r.bottom - 4}, {r.right - 13, r.bottom - 4}};
  win::DCScope context(Handle(), win::DCScope::Area::kClient);
  TCanvasContextScope scope(gripCanvas_, context.dc());
  for (const auto& [color, shift] : {std::pair{light, 0}, std::pair{dark, 1}}) {
    gripCanvas_.Brush()->SetColor(color);
    for (const TPoint& p : squares)
      gripCanvas_.FillRect(Rect(p.x - shift, p.y - shift, p.x - shift + 2, p.y - shift + 2));
  }
}

// ---- messages ---------------------------------------------------------------------------

// A press on the grip hands the form to the platform's sizing loop, from
// its bottom-right corner; the press goes no further.
void TCtStatusBar::WndProc(TMessage& m) {
  if (m.Msg == win::WM_LBUTTONDOWN && GripShown() &&
      InGrip(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)))) {
    if (TCustomForm* form = ParentForm()) {
      win::ReleaseCapture();
      win::SendMessage(form->Handle(), win::WM_SYSCOMMAND, kSizeFromBottomRight, 0);
      return;
    }
  }
  TCtCustomPanel::WndProc(m);
}

void TCtStatusBar::SetGripCursor(TMessage& m) {
  if (GripShown()) {
    win::POINT p;
    win::GetCursorPos(&p);
    win::ScreenToClient(Handle(), &p);
    if (InGrip(Point(p.x, p.y))) {
      win::SetCursor(Screen()->Cursors(crSizeNWSE));
      m.Result = 1;
      return;
    }
  }
  TCtCustomPanel::Dispatch(m);
}

void TCtStatusBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_SETCURSOR: return SetGripCursor(m);
    case win::WM_PAINT:
      CheckSizeGrip();
      TCtCustomPanel::Dispatch(m);
      if (GripShown()) DrawSizeGrip();
      return;
    case CM_CONTROLCHANGE:
      if (m.LParam == 0) {
        auto* pane = reinterpret_cast<TControl*>(m.WParam);
        paneWidths_.erase(pane);
        std::erase(hiddenPanes_, pane);
      }
      return TCtCustomPanel::Dispatch(m);
    default: return TCtCustomPanel::Dispatch(m);
  }
}

void RegisterCtBarClasses() {
  RegisterClasses({&TCtStatusBar::StaticClass(), &TCtGroupBox::StaticClass()});
  RegisterCtProgressBarClasses();
}

}  // namespace qelo::ct
