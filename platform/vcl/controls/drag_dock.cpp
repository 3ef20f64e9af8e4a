// Dragging controls and docking them: the size limits of a control, the
// drag that follows the mouse (onto another control, or into a dock site),
// the frame that shows where a dock drag would land, and the floating
// forms of undocked controls.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "vcl/controls/dock_tree.h"
#include "vcl/controls/forms.h"

namespace qelo::vcl {

const EnumInfo kDragKindInfo{"TDragKind", {"dkDrag", "dkDock"}};

// ---- size limits ---------------------------------------------------------------------

const ClassInfo& TSizeConstraints::StaticClass() {
  using C = TSizeConstraints;
  static const ClassInfo info = ClassBuilder<C>("TSizeConstraints", TPersistent::StaticClass())
                                    .Integer("MinWidth", &C::MinWidth, &C::SetMinWidth)
                                    .Integer("MinHeight", &C::MinHeight, &C::SetMinHeight)
                                    .Integer("MaxWidth", &C::MaxWidth, &C::SetMaxWidth)
                                    .Integer("MaxHeight", &C::MaxHeight, &C::SetMaxHeight)
                                    .Done();
  return info;
}

void TSizeConstraints::Change(int& field, int value) {
  value = std::max(value, 0);
  if (value == field) return;
  field = value;
  if (OnChange) OnChange(this);
}

int TSizeConstraints::ConstrainWidth(int width) const {
  if (maxWidth_ > 0) width = std::min(width, maxWidth_);
  return std::max(width, minWidth_);
}

int TSizeConstraints::ConstrainHeight(int height) const {
  if (maxHeight_ > 0) height = std::min(height, maxHeight_);
  return std::max(height, minHeight_);
}

void TSizeConstraints::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TSizeConstraints*>(source);
  if (!other) return TPersistent::Assign(source);
  minWidth_ = other->minWidth_;
  minHeight_ = other->minHeight_;
  maxWidth_ = other->maxWidth_;
  maxHeight_ = other->maxHeight_;
  if (OnChange) OnChange(this);
}

void TControl::ConstraintsChanged() { SetBounds(left_, top_, width_, height_); }

// ---- floating forms and the drop frame -------------------------------------------------

namespace {

// The form of a control that floats: a small tool window holding only it.
// Closing it hides it with its control; pressing its caption drags the
// control (back into a dock site, or to float elsewhere).
class TFloatingDockForm : public TForm {
 public:
  explicit TFloatingDockForm(TControl& client) : TForm(Application()), client_(&client) {
    SetBorderStyle(bsSizeToolWin);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetCaption(client.Caption());
    OnClose = [](TObject*, TCloseAction& action) { action = caHide; };
  }
  void ClientLeft() { client_ = nullptr; }

 protected:
  void Dispatch(TMessage& m) override {
    if (m.Msg == win::WM_NCLBUTTONDOWN && m.WParam == static_cast<WPARAM>(win::HTCAPTION) && client_) {
      client_->BeginDrag(false);
      return;
    }
    TForm::Dispatch(m);
  }

 private:
  TControl* client_;
};

// Where a dock drag would land, shown as a hollow frame over everything
// that the mouse passes through.
class DropFrame {
 public:
  static constexpr int kThickness = 3;

  ~DropFrame() {
    if (window_) win::DestroyWindow(window_);
  }
  void Show(const TRect& r) {
    if (!window_) Create();
    if (win::EqualRect(&shown_, &r) && visible_) return;
    shown_ = r;
    win::SetWindowPos(window_, win::HWND_TOPMOST, r.left, r.top, RectWidth(r), RectHeight(r), win::SWP_NOACTIVATE);
    win::HRGN outer = win::CreateRectRgn(0, 0, RectWidth(r), RectHeight(r));
    win::HRGN inner = win::CreateRectRgn(kThickness, kThickness, RectWidth(r) - kThickness, RectHeight(r) - kThickness);
    win::CombineRgn(outer, outer, inner, win::RGN_DIFF);
    win::DeleteObject(inner);
    win::SetWindowRgn(window_, outer, 1);
    if (!visible_) win::ShowWindow(window_, win::SW_SHOWNA);
    visible_ = true;
  }
  void Hide() {
    if (window_ && visible_) win::ShowWindow(window_, win::SW_HIDE);
    visible_ = false;
  }
  win::HWND Window() const { return window_; }

 private:
  void Create() {
    static const bool registered = [] {
      win::WNDCLASS c;
      c.lpfnWndProc = win::DefWindowProc;
      c.hbrBackground = win::SysColorBackground(win::COLOR_HIGHLIGHT);
      c.hCursor = win::LoadCursor(nullptr, win::IDC_ARROW);
      c.lpszClassName = "QeloDockDropFrame";
      return win::RegisterClass(c) != 0;
    }();
    (void)registered;
    window_ = win::CreateWindowEx(
        win::WS_EX_TOPMOST | win::WS_EX_TOOLWINDOW | win::WS_EX_LAYERED | win::WS_EX_TRANSPARENT,
        "QeloDockDropFrame", "", win::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
  }

  win::HWND window_ = nullptr;
  TRect shown_{};
  bool visible_ = false;
};

TControl* ControlOfWindow(win::HWND window) {
  for (; window; window = win::GetParent(window))
    if (TWinControl* c = TWinControl::FromHandle(window)) return c;
  return nullptr;
}

TRect ScreenRectOf(const TControl& c) {
  const TPoint origin = c.Parent() ? c.Parent()->ClientToScreen(Point(c.Left(), c.Top())) : Point(c.Left(), c.Top());
  return Rect(origin.x, origin.y, origin.x + c.Width(), origin.y + c.Height());
}

}  // namespace

bool TControl::Floating() const { return dynamic_cast<TFloatingDockForm*>(hostDockSite_) != nullptr; }

// ---- the drag ------------------------------------------------------------------------

// The one drag under way on the GUI thread: it holds the mouse capture on
// the window the press went to and follows that window's mouse messages.
class DragSession {
 public:
  static DragSession* Current() { return current_.get(); }

  static void Begin(TControl& source, bool immediate, int threshold) {
    if (current_) return;
    TWinControl* window = dynamic_cast<TWinControl*>(&source);
    if (!window) window = source.Parent();
    if (!window || !window->HandleAllocated()) return;
    current_.reset(new DragSession(source, *window, threshold < 0 ? kDefaultThreshold : threshold));
    win::SetCapture(window->WindowHandle());
    if (immediate) current_->Start();
  }

  // Takes the messages of the drag: true when this one was the drag's.
  static bool Handles(TWinControl& control, TMessage& m) {
    DragSession* s = current_.get();
    if (!s) return false;
    if (m.Msg == win::WM_KEYDOWN && m.WParam == win::VK_ESCAPE) {
      Finish(false);
      return true;
    }
    if (&control != s->window_) return false;
    switch (m.Msg) {
      case win::WM_MOUSEMOVE: s->Move(s->ScreenPoint(m)); return true;
      case win::WM_LBUTTONUP:
        s->Move(s->ScreenPoint(m));
        Finish(true);
        return true;
      case win::WM_LBUTTONDOWN: case win::WM_RBUTTONDOWN: case win::WM_RBUTTONUP: return true;
      case win::WM_CAPTURECHANGED:
        if (reinterpret_cast<win::HWND>(m.LParam) != control.WindowHandle()) Finish(false);
        return false;
      case CM_CANCELMODE: Finish(false); return false;
      default: return false;
    }
  }

  static void Finish(bool drop) {
    std::unique_ptr<DragSession> s = std::move(current_);
    if (s) s->End(drop);
  }

  TControl& Source() const { return source_; }

 private:
  static constexpr int kDefaultThreshold = 5;

  DragSession(TControl& source, TWinControl& window, int threshold)
      : source_(source), window_(&window), threshold_(threshold) {
    win::POINT p;
    win::GetCursorPos(&p);
    start_ = Point(p.x, p.y);
    const TRect bounds = ScreenRectOf(source);
    grab_ = Point(start_.x - bounds.left, start_.y - bounds.top);
  }

  TPoint ScreenPoint(const TMessage& m) const {
    win::POINT p{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
    win::ClientToScreen(window_->WindowHandle(), &p);
    return Point(p.x, p.y);
  }

  void Start() {
    started_ = true;
    if (source_.DragKind() == dkDock) {
      dock_ = std::make_unique<TDragDockObject>(&source_);
      if (source_.OnStartDock) source_.OnStartDock(&source_);
    } else {
      source_.DoStartDrag();
    }
  }

  void Move(TPoint p) {
    if (started_ && p.x == last_.x && p.y == last_.y) return;
    if (!started_) {
      if (std::abs(p.x - start_.x) < threshold_ && std::abs(p.y - start_.y) < threshold_) return;
      Start();
    }
    last_ = p;
    if (dock_) DockMove(p);
    else DragMove(p);
  }

  // The control under a screen point, windowless children included.
  static TControl* ControlAt(TPoint p) {
    TControl* found = ControlOfWindow(win::WindowFromPoint(win::POINT{p.x, p.y}));
    auto* windowed = dynamic_cast<TWinControl*>(found);
    if (!windowed) return found;
    if (TControl* child = windowed->ControlAtPos(windowed->ScreenToClient(p))) return child;
    return windowed;
  }

  void DragMove(TPoint p) {
    TControl* target = ControlAt(p);
    if (target != target_ && target_) {
      bool ignored = false;
      const TPoint local = target_->ScreenToClient(p);
      target_->DragOver(&source_, local.x, local.y, dsDragLeave, ignored);
    }
    accepted_ = false;
    if (target) {
      const TPoint local = target->ScreenToClient(p);
      target->DragOver(&source_, local.x, local.y, target == target_ ? dsDragMove : dsDragEnter, accepted_);
    }
    target_ = target;
    win::SetCursor(Screen()->Cursors(accepted_ ? source_.DragCursor() : crNo));
  }

  // The dock site under a point: the first one up from the control there
  // that is not the dragged control nor inside it.
  TWinControl* DockSiteAt(TPoint p) const {
    for (TControl* c = ControlAt(p); c; c = c->Parent()) {
      auto* site = dynamic_cast<TWinControl*>(c);
      if (!site || !site->DockSite()) continue;
      if (site == &source_ || (dynamic_cast<TWinControl*>(&source_) &&
                               static_cast<TWinControl&>(source_).ContainsControl(site)))
        return nullptr;
      return site;
    }
    return nullptr;
  }

  void DockMove(TPoint p) {
    TDragDockObject& d = *dock_;
    d.dragPos_ = p;
    TWinControl* site = DockSiteAt(p);
    if (d.target_ && site != d.target_) {
      bool ignored = true;
      const TPoint local = d.target_->ScreenToClient(p);
      d.target_->DockOver(&d, local.x, local.y, dsDragLeave, ignored);
    }
    const TDragState state = site == d.target_ ? dsDragMove : dsDragEnter;
    d.target_ = site;
    d.dropOnControl_ = nullptr;
    d.dropAlign_ = alNone;
    accepted_ = false;
    if (site) {
      const TPoint local = site->ScreenToClient(p);
      TRect r;
      if (TDockTree* tree = site->DockManager()) {
        r = tree->PositionDockRect(local, d.dropOnControl_, d.dropAlign_);
      } else {
        site->AdjustClientRect(r);
      }
      const TPoint origin = site->ClientToScreen(Point(r.left, r.top));
      d.dockRect_ = Rect(origin.x, origin.y, origin.x + RectWidth(r), origin.y + RectHeight(r));
      accepted_ = true;
      site->DockOver(&d, local.x, local.y, state, accepted_);
    }
    if (!accepted_) {
      d.target_ = nullptr;
      d.dockRect_ = Rect(p.x - grab_.x, p.y - grab_.y, p.x - grab_.x + source_.Width(), p.y - grab_.y + source_.Height());
    }
    frame_.Show(d.dockRect_);
  }

  void End(bool drop) {
    if (win::GetCapture() == window_->WindowHandle()) win::ReleaseCapture();
    window_->holdsCapture_ = false;
    window_->mouseCapture_ = nullptr;
    frame_.Hide();
    if (!started_) return;
    TControl& source = source_;
    if (dock_) {
      TDragDockObject& d = *dock_;
      TWinControl* site = drop && accepted_ ? d.target_ : nullptr;
      if (drop) {
        if (site) {
          source.ManualDock(site, d.dropOnControl_, d.dropAlign_);
          const TPoint local = site->ScreenToClient(last_);
          site->DockDrop(&d, local.x, local.y);
        } else {
          source.ManualFloat(d.dockRect_);
        }
      }
      if (source.OnEndDock) {
        const TPoint local = site ? site->ScreenToClient(last_) : last_;
        source.OnEndDock(&source, site, local.x, local.y);
      }
      return;
    }
    TControl* target = drop && accepted_ ? target_ : nullptr;
    const TPoint local = target ? target->ScreenToClient(last_) : last_;
    if (target) target->DragDrop(&source, local.x, local.y);
    source.DoEndDrag(target, local.x, local.y);
    win::SetCursor(Screen()->Cursors(crDefault));
  }

  static inline std::unique_ptr<DragSession> current_;

  TControl& source_;
  TWinControl* window_;
  int threshold_;
  TPoint start_{};
  TPoint grab_{};  // the press's place in the dragged control
  TPoint last_{};
  bool started_ = false;
  bool accepted_ = false;
  TControl* target_ = nullptr;
  std::unique_ptr<TDragDockObject> dock_;
  DropFrame frame_;
};

bool DragActive() { return DragSession::Current() != nullptr; }

bool HandleDragMessage(TWinControl& control, TMessage& m) { return DragSession::Handles(control, m); }

void TControl::BeginDrag(bool immediate, int threshold) { DragSession::Begin(*this, immediate, threshold); }

void TControl::EndDrag(bool drop) {
  if (Dragging()) DragSession::Finish(drop);
}

bool TControl::Dragging() const { return DragSession::Current() && &DragSession::Current()->Source() == this; }

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = false;
  if (OnDragOver) {
    accept = true;
    OnDragOver(this, source, x, y, state, accept);
  }
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoStartDrag() {
  if (OnStartDrag) OnStartDrag(this);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

// ---- docking -------------------------------------------------------------------------

void TControl::DetachFromHost() {
  TWinControl* host = hostDockSite_;
  if (!host) return;
  hostDockSite_ = nullptr;
  auto& clients = host->dockClients_;
  clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
  if (host->dockManager_) host->dockManager_->RemoveControl(this);
  // An emptied floating form goes (later: the control may still sit on it).
  if (auto* floating = dynamic_cast<TFloatingDockForm*>(host); floating && !floating->ComponentState().Contains(csDestroying)) {
    floating->ClientLeft();
    floating->Release();
  }
}

void TControl::ManualDock(TWinControl* site, TControl* dropControl, TAlign align) {
  if (!site) return ManualFloat(ScreenRectOf(*this));
  if (site == hostDockSite_) {
    if (site->dockManager_) site->dockManager_->InsertControl(this, align, dropControl);
    return;
  }
  if (hostDockSite_ && !hostDockSite_->DoUnDock(site, this)) return;
  DetachFromHost();
  SetParent(site);
  hostDockSite_ = site;
  site->dockClients_.push_back(this);
  if (site->dockManager_) {
    SetAlign(alNone);
    site->dockManager_->InsertControl(this, align, dropControl);
  } else {
    SetAlign(align == alNone ? alClient : align);
  }
  Show();
}

void TControl::ManualFloat(const TRect& screenRect) {
  if (auto* floating = dynamic_cast<TFloatingDockForm*>(hostDockSite_)) {
    const TPoint frame = floating->ClientToScreen(Point(0, 0));
    floating->SetBounds(screenRect.left - (frame.x - floating->Left()), screenRect.top - (frame.y - floating->Top()),
                        floating->Width(), floating->Height());
    return;
  }
  if (hostDockSite_ && !hostDockSite_->DoUnDock(nullptr, this)) return;
  DetachFromHost();
  auto* form = new TFloatingDockForm(*this);
  form->SetClientWidth(RectWidth(screenRect));
  form->SetClientHeight(RectHeight(screenRect));
  form->HandleNeeded();
  const TPoint frame = form->ClientToScreen(Point(0, 0));
  form->SetBounds(screenRect.left - (frame.x - form->Left()), screenRect.top - (frame.y - form->Top()), form->Width(),
                  form->Height());
  SetParent(form);
  hostDockSite_ = form;
  form->dockClients_.push_back(this);
  SetAlign(alClient);
  Show();
  form->Show();
}

void TWinControl::SetDockSite(bool value) {
  if (value == dockSite_) return;
  dockSite_ = value;
  UpdateDockManager();
}

void TWinControl::SetUseDockManager(bool value) {
  if (value == useDockManager_) return;
  useDockManager_ = value;
  UpdateDockManager();
}

// A site that uses a manager gets one once it is read, and hands it the
// controls already docked.
void TWinControl::UpdateDockManager() {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) return;
  if (dockSite_ && useDockManager_ && !dockManager_) {
    dockManager_.reset(CreateDockManager());
    if (dockManager_)
      for (TControl* c : dockClients_) dockManager_->InsertControl(c, alNone, nullptr);
  } else if (!(dockSite_ && useDockManager_) && dockManager_) {
    dockManager_.reset();
  }
  Invalidate();
}

TDockTree* TWinControl::CreateDockManager() { return new TDockTree(this); }

void TWinControl::DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) {
  if (OnDockOver) OnDockOver(this, source, x, y, state, accept);
}

void TWinControl::DockDrop(TDragDockObject* source, int x, int y) {
  if (OnDockDrop) OnDockDrop(this, source, x, y);
}

bool TWinControl::DoUnDock(TWinControl* newTarget, TControl* client) {
  bool allow = true;
  if (OnUnDock) OnUnDock(this, client, newTarget, allow);
  return allow;
}

void TWinControl::Loaded() {
  TControl::Loaded();
  UpdateDockManager();
}

}  // namespace qelo::vcl
