#include "ct_grafx_parent.h"

#include <algorithm>
#include <vector>

#include "vcl/controls/forms.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// The parents painting their background into a control's context on this
// thread: a transparent sibling painted inside that paint does not start
// the same paint again.
thread_local std::vector<TWinControl*> t_parentsPainting;

class ParentPainting {
 public:
  explicit ParentPainting(TWinControl* parent) : parent_(parent) { t_parentsPainting.push_back(parent); }
  ~ParentPainting() { std::erase(t_parentsPainting, parent_); }
  ParentPainting(const ParentPainting&) = delete;
  ParentPainting& operator=(const ParentPainting&) = delete;

  static bool Running(TWinControl* parent) {
    return std::find(t_parentsPainting.begin(), t_parentsPainting.end(), parent) != t_parentsPainting.end();
  }

 private:
  TWinControl* parent_;
};

// The parent's messages; at design time a failing parent must not stop
// the designer, so its exceptions are dropped.
void SendToParent(TWinControl* parent, UINT msg, win::HDC dc, LPARAM l, bool designing) {
  try {
    parent->Perform(msg, reinterpret_cast<WPARAM>(dc), l);
  } catch (...) {
    if (!designing) throw;
  }
}

}  // namespace

void PaintParentBackground(TControl* control, win::HDC dc, bool invalidateParent) {
  TWinControl* parent = control->Parent();
  if (parent == nullptr || ParentPainting::Running(parent)) return;
  const bool designing = control->ComponentState().Contains(csDesigning);
  {
    ParentPainting painting(parent);
    const int saved = win::SaveDC(dc);
    try {
      win::OffsetViewportOrgEx(dc, -control->Left(), -control->Top(), nullptr);
      const TRect client = parent->ClientRect();
      win::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
      // lParam 1: the context is a buffer of the control's, which even a
      // double-buffered parent erases.
      SendToParent(parent, win::WM_ERASEBKGND, dc, 1, designing);
      SendToParent(parent, win::WM_PRINTCLIENT, dc, win::PRF_CLIENT, designing);
    } catch (...) {
      win::RestoreDC(dc, saved);
      throw;
    }
    win::RestoreDC(dc, saved);
  }
  if (invalidateParent && !dynamic_cast<TCustomControl*>(parent) && !dynamic_cast<TCustomForm*>(parent) &&
      !designing)
    parent->Invalidate();
}

void PaintParentBackgroundCanvas(TControl* control, TCanvas& canvas, bool invalidateParent) {
  PaintParentBackground(control, canvas.Handle(), invalidateParent);
}

}  // namespace qelo::ct
