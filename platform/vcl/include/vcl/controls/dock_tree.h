// Docking: what a dock drag carries, and the dock manager of a dock site.
//
// The framework's dock manager (TDockTree) lays the site's docked controls
// out in one row of zones inside the site's client area: side by side in a
// site aligned to the top or bottom of its parent (a bar), one above the
// other otherwise. Each zone is its control plus a grabber band, at the
// left of a side-by-side zone and at the top of a stacked one, with a
// close button. Pressing a grabber starts a dock drag of its control (off
// the site to float, or into another site); its close button hides the
// control, whose zone then goes to the others.
//
// The manager watches the site's messages through the site's WindowProc
// (set by the constructor, put back by the destructor), and paints its
// grabbers after the site and its windowless children.
#pragma once

#include <functional>
#include <vector>

#include "vcl/controls/controls.h"

namespace qelo::vcl {

// Whether a drag (of any control) is under way on this thread.
bool DragActive();
// The drag's messages: true when `m`, which `control` got, belonged to the
// drag under way (the mouse while it has the capture, Escape).
bool HandleDragMessage(TWinControl& control, TMessage& m);

// A dock drag under way: the control, the mouse (screen), and where the
// control would go if dropped now: the site (null: floating) and the
// rectangle on the screen it would take there.
class TDragDockObject {
 public:
  explicit TDragDockObject(TControl* control) : control_(control) {}
  TControl* Control() const { return control_; }
  TPoint DragPos() const { return dragPos_; }
  TWinControl* DragTarget() const { return target_; }
  TRect DockRect() const { return dockRect_; }
  void SetDockRect(const TRect& rect) { dockRect_ = rect; }
  // The docked control the drop lands beside, and on which side of it.
  TControl* DropOnControl() const { return dropOnControl_; }
  TAlign DropAlign() const { return dropAlign_; }

 private:
  friend class DragSession;
  TControl* control_;
  TPoint dragPos_{};
  TWinControl* target_ = nullptr;
  TRect dockRect_{};
  TControl* dropOnControl_ = nullptr;
  TAlign dropAlign_ = alNone;
};

class TDockTree {
 public:
  // The grabber band's width.
  static constexpr int kGrabberSize = 12;

  explicit TDockTree(TWinControl* site);
  virtual ~TDockTree();
  TDockTree(const TDockTree&) = delete;
  TDockTree& operator=(const TDockTree&) = delete;

  TWinControl* DockSite() const { return site_; }
  // The docked controls in the order of their zones.
  const std::vector<TControl*>& Zones() const { return zones_; }

  // Takes a control into a zone of its own: before `dropControl` (alLeft,
  // alTop) or after it (alRight, alBottom, alNone), else last.
  void InsertControl(TControl* control, TAlign insertAt, TControl* dropControl);
  void RemoveControl(TControl* control);
  // Gives each visible docked control its zone.
  void ResetBounds();
  // Where a control dropped at a client point of the site would go: the
  // zone it lands beside and the side, and the rectangle (client
  // coordinates) it would take.
  TRect PositionDockRect(TPoint clientPoint, TControl*& dropControl, TAlign& align) const;

  // Zones side by side (a bar along its parent's top or bottom), else one
  // above the other.
  bool SideBySide() const;
  // A zone's whole rectangle and its grabber band (client coordinates).
  TRect ZoneRect(const TControl* control) const;
  TRect GrabberRect(const TControl* control) const;
  // The zone's close button in its grabber.
  virtual TRect CloseButtonRect(const TRect& zone) const;
  // A control's rectangle in its zone: the zone less its grabber band.
  virtual void AdjustDockRect(TControl* control, TRect& rect) const;
  // Draws the grabber of `control` in its zone `rect`.
  virtual void PaintDockFrame(TCanvas& canvas, TControl* control, const TRect& rect);
  void PaintSite(win::HDC dc);

  enum class Part { None, Grabber, CloseButton };
  // The docked control whose grabber (or close button) is at a client
  // point of the site.
  TControl* HitTest(TPoint clientPoint, Part& part) const;

 private:
  // Every message of the site passes here first: the presses on the
  // grabbers stay here, everything else goes on to the site.
  void SiteMessage(TMessage& m);
  void MouseDown(TMessage& m);
  void MouseUp(TMessage& m);
  TRect Area() const;

  TWinControl* site_;
  std::vector<TControl*> zones_;
  std::function<void(TMessage&)> siteProc_;
  TControl* pressedClose_ = nullptr;
};

}  // namespace qelo::vcl
