#include "ct_panel_dock_manager.h"

#include "ct_grafx_text.h"
#include "ct_panel.h"
#include "vcl/controls/text_drawing.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// Whether the focus is in a windowed control (its window or one inside).
bool HoldsFocus(const TControl& control) {
  const auto* windowed = dynamic_cast<const TWinControl*>(&control);
  if (!windowed || !windowed->HandleAllocated()) return false;
  const win::HWND focus = win::GetFocus();
  return focus && (focus == windowed->WindowHandle() || win::IsChild(windowed->WindowHandle(), focus));
}

}  // namespace

TCtPanelDockManager::TCtPanelDockManager(TCtCustomPanel* panel) : TDockTree(panel), panel_(panel) {
  captionFont_.SetName("Verdana");
  captionFont_.SetSize(8);
  closeFont_.SetName("Marlett");
  closeFont_.SetSize(8);
  if (!panel_->ComponentState().Contains(csDesigning)) {
    panelProc_ = panel_->WindowProc;
    panel_->WindowProc = [this](TMessage& m) { PanelMessage(m); };
  }
  panel_->SetDoubleBuffered(true);
}

TCtPanelDockManager::~TCtPanelDockManager() {
  if (panelProc_) panel_->WindowProc = panelProc_;
  if (!panel_->ComponentState().Contains(csDestroying)) panel_->SetDoubleBuffered(false);
}

void TCtPanelDockManager::PanelMessage(TMessage& m) {
  if (m.Msg == win::WM_COMMAND || m.Msg == win::WM_MOUSEACTIVATE) panel_->Invalidate();
  panelProc_(m);
}

bool TCtPanelDockManager::LeftGrabber() const { return panel_->Align() == alTop || panel_->Align() == alBottom; }

void TCtPanelDockManager::AdjustDockRect(TControl*, TRect& rect) const {
  if (LeftGrabber()) rect.left += kGrabberSize;
  else rect.top += kGrabberSize;
}

TRect TCtPanelDockManager::CloseButtonRect(const TRect& zone) const {
  if (LeftGrabber()) return Rect(zone.left + 1, zone.top + 1, zone.left + 12, zone.top + 12);
  return Rect(zone.right - 15, zone.top + 1, zone.right - 2, zone.top + 12);
}

void TCtPanelDockManager::PaintDockFrame(TCanvas& canvas, TControl* control, const TRect& rect) {
  if (!panel_->ShowDockClientCaptions()) return TDockTree::PaintDockFrame(canvas, control, rect);
  // Windowless controls never hold the focus and show the active colours.
  const bool active = !dynamic_cast<TWinControl*>(control) || HoldsFocus(*control);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(active ? clActiveCaption : clInactiveCaption);
  canvas.Font()->Assign(&captionFont_);
  canvas.Font()->SetColor(active ? clCaptionText : clInactiveCaptionText);
  if (LeftGrabber()) PaintLeftGrabber(canvas, *control, rect);
  else PaintTopGrabber(canvas, *control, rect);
}

void TCtPanelDockManager::PaintTopGrabber(TCanvas& canvas, const TControl& control, const TRect& rect) {
  const TRect band = Rect(rect.left, rect.top, rect.right, rect.top + kGrabberSize);
  canvas.TextRect(band, band.left + 2, band.top, control.Caption());
  PaintCloseGlyph(canvas, CloseButtonRect(rect));
}

// The caption runs upright, from the band's bottom up.
void TCtPanelDockManager::PaintLeftGrabber(TCanvas& canvas, const TControl& control, const TRect& rect) {
  const TRect band = Rect(rect.left, rect.top, rect.left + kGrabberSize, rect.bottom);
  canvas.FillRect(band);
  const win::HDC dc = canvas.Handle();
  const win::HFONT turned = CreateAngledFont(*canvas.Font(), 90);
  const win::HGDIOBJ oldFont = win::SelectObject(dc, turned);
  const unsigned oldAlign = win::SetTextAlign(dc, win::TA_BASELINE);
  win::SetBkMode(dc, win::TRANSPARENT);
  win::SetTextColor(dc, ColorToRGB(canvas.Font()->Color()));
  const TRect clip = Rect(band.left, band.top + kGrabberSize, band.right, band.bottom);
  win::ExtTextOut(dc, band.right - 2, rect.bottom - 3, win::ETO_CLIPPED, &clip, control.Caption());
  win::SetTextAlign(dc, oldAlign);
  win::SelectObject(dc, oldFont);
  win::DeleteObject(turned);
  PaintCloseGlyph(canvas, CloseButtonRect(rect));
}

// "r" of the symbol face is its close cross, in the caption's colour.
void TCtPanelDockManager::PaintCloseGlyph(TCanvas& canvas, const TRect& glyph) {
  const TColor ink = canvas.Font()->Color();
  canvas.Font()->Assign(&closeFont_);
  canvas.Font()->SetColor(ink);
  TRect r = glyph;
  canvas.Brush()->SetStyle(bsClear);
  DrawCanvasText(canvas, "r", r, win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE);
  canvas.Brush()->SetStyle(bsSolid);
}

}  // namespace qelo::ct
