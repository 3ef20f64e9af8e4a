#include "vcl/controls/dock_tree.h"

#include <algorithm>

#include "vcl/controls/text_drawing.h"

namespace qelo::vcl {

namespace {

// How far the mouse moves on a grabber before its control comes off.
constexpr int kUndockThreshold = 3;

TRect Shrunk(TRect r, int dx, int dy) {
  win::InflateRect(&r, -dx, -dy);
  return r;
}

}  // namespace

TDockTree::TDockTree(TWinControl* site) : site_(site) {
  siteProc_ = site_->WindowProc;
  site_->WindowProc = [this](TMessage& m) { SiteMessage(m); };
}

TDockTree::~TDockTree() { site_->WindowProc = siteProc_; }

// ---- zones -----------------------------------------------------------------------------

void TDockTree::InsertControl(TControl* control, TAlign insertAt, TControl* dropControl) {
  zones_.erase(std::remove(zones_.begin(), zones_.end(), control), zones_.end());
  auto at = std::find(zones_.begin(), zones_.end(), dropControl);
  if (at != zones_.end() && insertAt != alLeft && insertAt != alTop) ++at;
  zones_.insert(at, control);
  ResetBounds();
  site_->Invalidate();
}

void TDockTree::RemoveControl(TControl* control) {
  auto it = std::find(zones_.begin(), zones_.end(), control);
  if (it == zones_.end()) return;
  zones_.erase(it);
  if (pressedClose_ == control) pressedClose_ = nullptr;
  ResetBounds();
  site_->Invalidate();
}

bool TDockTree::SideBySide() const { return site_->Align() == alTop || site_->Align() == alBottom; }

TRect TDockTree::Area() const {
  TRect r;
  site_->AdjustClientRect(r);
  return r;
}

// The visible zones share the area equally along the row; the last one
// takes what division leaves over.
TRect TDockTree::ZoneRect(const TControl* control) const {
  std::vector<const TControl*> shown;
  for (const TControl* c : zones_)
    if (c->Visible()) shown.push_back(c);
  const auto it = std::find(shown.begin(), shown.end(), control);
  if (it == shown.end()) return TRect{};
  const int index = static_cast<int>(it - shown.begin()), count = static_cast<int>(shown.size());
  TRect r = Area();
  const int length = SideBySide() ? RectWidth(r) : RectHeight(r);
  const int start = length * index / count, end = index + 1 == count ? length : length * (index + 1) / count;
  if (SideBySide()) {
    const int left = r.left;
    r.left = left + start;
    r.right = left + end;
  } else {
    const int top = r.top;
    r.top = top + start;
    r.bottom = top + end;
  }
  return r;
}

TRect TDockTree::GrabberRect(const TControl* control) const {
  const TRect zone = ZoneRect(control);
  TRect inside = zone;
  AdjustDockRect(const_cast<TControl*>(control), inside);
  // The band is what AdjustDockRect took from the zone, on its side.
  if (inside.left > zone.left) return Rect(zone.left, zone.top, inside.left, zone.bottom);
  return Rect(zone.left, zone.top, zone.right, inside.top);
}

void TDockTree::AdjustDockRect(TControl*, TRect& rect) const {
  if (SideBySide()) rect.left += kGrabberSize;
  else rect.top += kGrabberSize;
}

void TDockTree::ResetBounds() {
  for (TControl* c : zones_) {
    if (!c->Visible()) continue;
    TRect r = ZoneRect(c);
    AdjustDockRect(c, r);
    c->SetBounds(r.left, r.top, std::max<int>(RectWidth(r), 0), std::max<int>(RectHeight(r), 0));
  }
}

TRect TDockTree::PositionDockRect(TPoint p, TControl*& dropControl, TAlign& align) const {
  dropControl = nullptr;
  align = alNone;
  std::vector<TControl*> shown;
  for (TControl* c : zones_)
    if (c->Visible()) shown.push_back(c);
  if (shown.empty()) return Area();
  // The zone under the point (or the nearest along the row), and its half.
  TControl* target = shown.back();
  for (TControl* c : shown) {
    const TRect z = ZoneRect(c);
    if (SideBySide() ? p.x < z.right : p.y < z.bottom) {
      target = c;
      break;
    }
  }
  const TRect zone = ZoneRect(target);
  const bool firstHalf = SideBySide() ? p.x < (zone.left + zone.right) / 2 : p.y < (zone.top + zone.bottom) / 2;
  dropControl = target;
  align = SideBySide() ? (firstHalf ? alLeft : alRight) : (firstHalf ? alTop : alBottom);
  TRect r = zone;
  if (SideBySide()) (firstHalf ? r.right : r.left) = (zone.left + zone.right) / 2;
  else (firstHalf ? r.bottom : r.top) = (zone.top + zone.bottom) / 2;
  return r;
}

TControl* TDockTree::HitTest(TPoint p, Part& part) const {
  part = Part::None;
  for (TControl* c : zones_) {
    if (!c->Visible()) continue;
    const TRect grabber = GrabberRect(c);
    if (!win::PtInRect(&grabber, p)) continue;
    const TRect close = CloseButtonRect(ZoneRect(c));
    part = win::PtInRect(&close, p) ? Part::CloseButton : Part::Grabber;
    return c;
  }
  return nullptr;
}

// ---- painting ----------------------------------------------------------------------

TRect TDockTree::CloseButtonRect(const TRect& zone) const {
  if (SideBySide()) return Rect(zone.left + 1, zone.top + 1, zone.left + kGrabberSize - 1, zone.top + kGrabberSize - 1);
  return Rect(zone.right - kGrabberSize + 1, zone.top + 1, zone.right - 1, zone.top + kGrabberSize - 1);
}

// Two raised grip lines along the band and a small raised close button
// with a cross.
void TDockTree::PaintDockFrame(TCanvas& canvas, TControl* control, const TRect& rect) {
  const TRect close = CloseButtonRect(rect);
  const TRect band = GrabberRect(control);
  TRect grip = SideBySide() ? Rect(band.left, close.bottom + 2, band.right, band.bottom - 2)
                            : Rect(band.left + 2, band.top, close.left - 2, band.bottom);
  for (int i = 0; i < 2; ++i) {
    TRect line = SideBySide() ? Rect(grip.left + 2 + 4 * i, grip.top, grip.left + 5 + 4 * i, grip.bottom)
                              : Rect(grip.left, grip.top + 2 + 4 * i, grip.right, grip.top + 5 + 4 * i);
    if (RectWidth(line) > 0 && RectHeight(line) > 0) Frame3D(canvas, line, clBtnHighlight, clBtnShadow, 1);
  }
  TRect button = close;
  Frame3D(canvas, button, clBtnHighlight, clBtnShadow, 1);
  const TRect cross = Shrunk(button, 1, 1);
  canvas.Pen()->SetColor(clBtnText);
  canvas.MoveTo(cross.left, cross.top);
  canvas.LineTo(cross.right, cross.bottom);
  canvas.MoveTo(cross.right - 1, cross.top);
  canvas.LineTo(cross.left - 1, cross.bottom);
}

void TDockTree::PaintSite(win::HDC dc) {
  TCanvas canvas;
  TCanvasContextScope scope(canvas, dc);
  for (TControl* c : zones_)
    if (c->Visible()) PaintDockFrame(canvas, c, ZoneRect(c));
}

// ---- mouse -------------------------------------------------------------------------

void TDockTree::SiteMessage(TMessage& m) {
  switch (m.Msg) {
    case win::WM_LBUTTONDOWN:
    case win::WM_LBUTTONDBLCLK: return MouseDown(m);
    case win::WM_LBUTTONUP: return MouseUp(m);
    default: siteProc_(m);
  }
}

// The close button hides its control on a release over it; a grabber
// starts the control's dock drag.
void TDockTree::MouseDown(TMessage& m) {
  Part part;
  TControl* control = HitTest(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)), part);
  if (!control || DragActive()) return siteProc_(m);
  if (part == Part::CloseButton) {
    pressedClose_ = control;
    win::SetCapture(site_->Handle());
    return;
  }
  control->BeginDrag(false, kUndockThreshold);
}

void TDockTree::MouseUp(TMessage& m) {
  if (!pressedClose_) return siteProc_(m);
  TControl* control = pressedClose_;
  pressedClose_ = nullptr;
  if (win::GetCapture() == site_->WindowHandle()) win::ReleaseCapture();
  Part part;
  if (HitTest(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)), part) == control &&
      part == Part::CloseButton) {
    control->Hide();
    ResetBounds();
    site_->Invalidate();
  }
}

}  // namespace qelo::vcl
