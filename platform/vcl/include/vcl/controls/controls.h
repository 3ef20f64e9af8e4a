// Controls of the form framework: TControl (a rectangle on a parent with
// colour, font, caption, mouse and key events), TWinControl (a control with
// a window of its own that holds children, takes the focus and aligns its
// children), TGraphicControl (windowless, painted by its parent) and
// TCustomControl (a windowed control that paints itself on a canvas).
//
// Messages reach a control through WindowProc (a hook, WndProc by default),
// then Dispatch, which each class overrides for the message numbers it
// handles and which ends in DefaultHandler. Properties that children follow
// (colour, font, the hint switch) travel as CM_* notifications.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vcl/classes.h"
#include "vcl/controls/actions.h"
#include "vcl/controls/messages.h"
#include "vcl/graphics/graphics.h"
#include "vcl/graphics/menus.h"

namespace qelo::vcl {

class TWinControl;
// The window procedure of every control window.
win::LRESULT FrameworkWindowProc(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l);
// Whether the framework took the last key press dispatched on this thread
// (see TakeKeyMessage): the message loop then makes no character of it, so
// a dialog key or a key a KeyDown handler cleared never reaches KeyPress.
void ForgetKeyTaken();
bool KeyWasTaken();
class TCustomForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
  csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
  csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
  csNeedsBorderPaint, csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;
enum TControlStateItem { csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded,
                         csFocusing, csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle,
                         csDocking };
using TControlState = TSet<TControlStateItem>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TDragMode { dmManual, dmAutomatic };
// dkDrag: dragged onto another control, which may take it (OnDragOver,
// OnDragDrop); dkDock: dragged into a dock site, or off it to float.
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// The answer to a click that activates the control's window: whether the
// window is activated, and whether the click is then dropped ("eaten").
enum TMouseActivate { maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat };

extern const EnumInfo kAlignInfo;
extern const EnumInfo kDragModeInfo;
extern const EnumInfo kDragKindInfo;
extern const EnumInfo kAnchorKindInfo;
extern const EnumInfo kAlignmentInfo;
extern const EnumInfo kBiDiModeInfo;

using TCursor = int;
// The screen's predefined cursors; programs register their own under
// positive ids.
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9,
                  crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNo = -13, crAppStart = -19,
                  crHandPoint = -21, crSizeAll = -22;
// The cursor of an identifier ("crHandPoint"), for form files.
std::optional<int64_t> CursorIdent(std::string_view name);

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char16_t& key)>;
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;
using TMouseActivateEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x,
                                               int y, int hitTest, TMouseActivate& mouseActivate)>;

class TControl;
class TDragDockObject;
class TDockTree;
// A control dragged onto `sender` (source: the dragged control) at a
// client point of `sender`: accept says whether it may be dropped there.
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
// The drag or dock of `sender` ended on `target` (null: nowhere, or
// cancelled) at a client point of the target.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TDockOverEvent =
    std::function<void(TObject* sender, TDragDockObject* source, int x, int y, TDragState state, bool& accept)>;
using TDockDropEvent = std::function<void(TObject* sender, TDragDockObject* source, int x, int y)>;
// `client` leaves the dock site `sender` for `newTarget` (null: it will
// float); allow false keeps it docked.
using TUnDockEvent = std::function<void(TObject* sender, TControl* client, TWinControl* newTarget, bool& allow)>;

// The limits of a control's size; 0 leaves a limit out. A change applies
// to the control at once.
class TSizeConstraints : public TPersistent {
  QELO_VCL_CLASS()
 public:
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int value) { Change(minWidth_, value); }
  int MinHeight() const { return minHeight_; }
  void SetMinHeight(int value) { Change(minHeight_, value); }
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value) { Change(maxWidth_, value); }
  int MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(int value) { Change(maxHeight_, value); }
  // A width (or height) within the limits.
  int ConstrainWidth(int width) const;
  int ConstrainHeight(int height) const;
  void Assign(const TPersistent* source) override;

  TNotifyEvent OnChange;

 private:
  void Change(int& field, int value);
  int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

// The edges an aligned control keeps to: alTop the left, top and right
// ones, and so on; alNone the left and top.
TAnchors AnchorsOfAlign(TAlign align);

// Shift state of a mouse message's wParam, and of the keyboard now.
TShiftState MouseShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

// The lines the system scrolls a wheel notch by; -1 when a notch scrolls a
// page.
int WheelScrollLines();

class TControl : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // ---- place ----
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  TRect BoundsRect() const { return Rect(left_, top_, left_ + width_, top_ + height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, RectWidth(r), RectHeight(r)); }
  virtual void SetBounds(int left, int top, int width, int height);
  // The client area in the control's own coordinates.
  virtual TRect ClientRect() const;
  int ClientWidth() const { return RectWidth(ClientRect()); }
  int ClientHeight() const { return RectHeight(ClientRect()); }
  virtual void SetClientWidth(int v);
  virtual void SetClientHeight(int v);
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // The client origin of this control in its parent's client coordinates
  // for a windowless control, in screen coordinates otherwise.
  virtual TPoint ClientOrigin() const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  // A control that shows its name as its caption (csSetCaption) keeps doing
  // so when it is renamed, unless it is being read or its caption changed.
  void SetName(const std::string& name) override;

  // The form this control sits on (null when it sits on none).
  TCustomForm* ParentForm() const;

  // ---- state ----
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every parent up to a shown window.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  // dmAutomatic: the user may drag the control. A dkDock control starts
  // its dock drag itself when pressed; for dkDrag the framework starts
  // nothing (controls with items drag those) and BeginDrag starts a drag.
  TDragMode DragMode() const { return dragMode_; }
  virtual void SetDragMode(TDragMode mode) { dragMode_ = mode; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind kind) { dragKind_ = kind; }
  // The cursor over a control that would take the dragged one (dkDrag).
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
  TSizeConstraints* Constraints() const { return constraints_.get(); }

  // ---- dragging and docking ----
  // Starts a drag of the kind DragKind with the left button held: at once,
  // or once the mouse has moved `threshold` pixels (-1: 5). The drag
  // follows the mouse until the button is released (a drop) or Escape or
  // a lost capture cancels it.
  void BeginDrag(bool immediate, int threshold = -1);
  // Ends the drag now, dropping where the mouse is or cancelling.
  void EndDrag(bool drop);
  bool Dragging() const;
  // The dock site the control is docked in (null when it is not docked).
  TWinControl* HostDockSite() const { return hostDockSite_; }
  // Docked into the form that holds a floating control.
  bool Floating() const;
  // Docks the control into `site` (its dock manager places it beside
  // `dropControl`, on the `align` side), leaving its old site first; a
  // null site floats it where it is.
  void ManualDock(TWinControl* site, TControl* dropControl = nullptr, TAlign align = alNone);
  // Leaves its dock site for a floating form of its own whose client area
  // lies at `screenRect`.
  void ManualFloat(const TRect& screenRect);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() const { return font_; }
  void SetFont(const TFont* font) { font_->Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& text) { SetText(text); }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  // Opened by a right click, the menu key or Shift+F10 (after
  // OnContextPopup, which may take the event).
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode) { biDiMode_ = mode; }
  bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
  // The side the control's contents keep to (its text, a caption beside a
  // glyph); controls with an alignment of their own answer it.
  virtual TAlignment GetControlsAlignment() const { return taLeftJustify; }
  // The palette of the pictures the control shows (null: none); it is
  // selected into the control's context and realized while it paints.
  virtual win::HPALETTE GetPalette() const { return nullptr; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState state) { controlState_ = state; }

  // ---- messages and painting ----
  // The hook every message passes; WndProc unless replaced. Replacing it
  // and calling the old one is how a component subclasses a control.
  std::function<void(TMessage&)> WindowProc;
  virtual void WndProc(TMessage& message);
  // Runs the message method of the message's number, or DefaultHandler.
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);
  LRESULT Perform(UINT msg, WPARAM w = 0, LPARAM l = 0);

  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();
  // Scales the control (and a windowed control's children) by m / d, as
  // a form made for smaller text is fitted to larger text.
  void ScaleBy(int m, int d);

  // The action the control follows (caption, enabled state and, in
  // descendants, more) and that a click runs when there is no OnClick.
  // Setting one makes the link of GetActionLinkClass.
  TBasicAction* Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }
  void SetAction(TBasicAction* action);
  TControlActionLink* ActionLink() const { return actionLink_.get(); }

  // Runs OnClick, or else the action (and a parent form's default
  // behaviour in descendants).
  virtual void Click();
  // Ends the mouse modes of the forms this control sits on (a capture, a
  // press, a drag) before something modal such as a popup menu starts:
  // each form's focused control gets CM_CANCELMODE with `sender`.
  void SendCancelMode(TControl* sender);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TMouseActivateEvent OnMouseActivate;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TNotifyEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TNotifyEvent OnStartDock;
  TEndDragEvent OnEndDock;

  // Whether the mouse is over the control (between CM_MOUSEENTER and
  // CM_MOUSELEAVE).
  bool MouseInControl() const { return mouseInControl_; }

 protected:
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  // The mouse wheel reaches the control before the window's own handling:
  // DoMouseWheel gathers the wheel's turns and calls DoMouseWheelDown (a
  // turn towards the user) or DoMouseWheelUp once per whole notch
  // (WHEEL_DELTA); true (handled) keeps the message from the window, which
  // otherwise scrolls itself. The position is in screen coordinates.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual void Resize();
  // Repaints the control at its new place or size.
  virtual void InvalidateForNewBounds(bool) { Invalidate(); }
  // Multiplies the control's place and size, and its own font, by m / d;
  // descendants scale their own measures too. ScaleBy starts it.
  virtual void ChangeScale(int m, int d);
  // Asks the parent to align its children again after this one changed.
  void RequestAlign();
  // Opens the popup menu of this control (or the nearest parent's) at a
  // screen point; false when there is none.
  virtual bool DoContextPopup(TPoint screenPoint);
  // A click about to activate the window (OnMouseActivate answers; a
  // client point).
  virtual TMouseActivate MouseActivate(TMouseButton button, TShiftState shift, int x, int y, int hitTest);
  // The drag of another control is over this one (dkDrag): OnDragOver
  // decides, and without it the control refuses.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);
  virtual void DoStartDrag();
  virtual void DoEndDrag(TObject* target, int x, int y);
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // Copies caption and enabled state into an action.
  void AssignTo(TPersistent* dest) const override;
  // Takes the action's values; with checkDefaults (while the control is
  // read) only where the control still has its defaults.
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  virtual TControlActionLinkClass GetActionLinkClass() const;

  // Where the anchors measured the control from (its parent's client size
  // when the bounds were last set by hand).
  void UpdateAnchorRules();
  friend class TWinControl;
  friend class TDockTree;
  friend class DragSession;

 private:
  void MouseMessage(TMessage& m, TMouseButton button, bool down, bool dbl);
  void MouseWheelMessage(TMessage& m);
  void DoMouseEnter(TMessage& m);
  void DoMouseLeave(TMessage& m);
  void FontChanged(TObject*);
  void ContextMenuMessage(TMessage& m);
  void InvalidateParentRect(const TRect& r);
  void DoActionChange(TObject* sender);

  void ConstraintsChanged();
  void DetachFromHost();

  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TDragMode dragMode_ = dmManual;
  TDragKind dragKind_ = dkDrag;
  TCursor dragCursor_ = crDrag;
  std::unique_ptr<TSizeConstraints> constraints_;
  TWinControl* hostDockSite_ = nullptr;
  TAnchors anchors_{akLeft, akTop};
  TPoint anchorOrigin_{};  // parent client width and height the anchors measure from
  TRect anchorBounds_{};
  bool anchorRulesValid_ = false;
  TWinControl* parent_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  TFont* font_;
  bool parentFont_ = true;
  std::string text_;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TCursor cursor_ = crDefault;
  TPopupMenu* popupMenu_ = nullptr;
  TBiDiMode biDiMode_ = bdLeftToRight;
  int helpContext_ = 0;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  bool mouseInControl_ = false;
  bool updatingFont_ = false;
  int wheelAccumulator_ = 0;  // wheel turns short of a whole notch
  std::unique_ptr<TControlActionLink> actionLink_;
};

// ---- windowed controls ------------------------------------------------------

struct TCreateParams {
  std::string Caption;
  win::DWORD Style = 0;
  win::DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  win::HWND WndParent = nullptr;
  // The class of the window: the framework's own class unless a control
  // wraps a native one ("Button").
  std::string WinClassName;
  win::UINT ClassStyle = 0;
};

class TWinControl : public TControl {
  QELO_VCL_CLASS()
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, made (with the parents' windows) on first use.
  win::HWND Handle();
  win::HWND WindowHandle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // Destroys the window and makes it again (after a change of a style that
  // only CreateParams can give).
  void RecreateWnd();

  // Children in z-order (bottom first), windowed and windowless.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;
  // The visible, enabled windowless or windowed child at a client point
  // (CM_HITTEST decides for windowless ones).
  TControl* ControlAtPos(TPoint p, bool allowDisabled = false, bool allowWinControls = false) const;
  // Sends a message to every child; Broadcast stops at the first that
  // answers a nonzero Result.
  void NotifyControls(UINT msg);
  void Broadcast(TMessage& message);

  // ---- focus and tab order ----
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  int TabOrder() const;
  void SetTabOrder(int order);
  virtual bool CanFocus() const;
  // The window has the focus (controls made of several windows answer for
  // all of them).
  virtual bool Focused() const;
  virtual void SetFocus();
  // The windowed children that take part in tab order, in tab order.
  std::vector<TWinControl*> TabList() const;
  // The next (or previous) control in tab order after `current`, searching
  // the whole tree below this one.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // ---- layout ----
  // Aligns the children inside AdjustClientRect: alTop, alBottom, alLeft,
  // alRight, alClient in turn, then anchored children.
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void AdjustClientRect(TRect& rect) const;
  void Realign();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetBounds(int left, int top, int width, int height) override;

  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value);
  // Follows the parent's DoubleBuffered while true.
  bool ParentDoubleBuffered() const { return parentDoubleBuffered_; }
  void SetParentDoubleBuffered(bool value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value) { ctl3D_ = value; }

  bool Showing() const override;
  void SetParent(TWinControl* parent) override;

  // ---- docking ----
  // A dock site takes controls dragged onto it (DragKind dkDock); with
  // UseDockManager its dock manager lays them out with a grabber each.
  bool DockSite() const { return dockSite_; }
  void SetDockSite(bool value);
  bool UseDockManager() const { return useDockManager_; }
  void SetUseDockManager(bool value);
  TDockTree* DockManager() const { return dockManager_.get(); }
  // The controls docked here, in the order they came.
  int DockClientCount() const { return static_cast<int>(dockClients_.size()); }
  TControl* DockClients(int index) const { return dockClients_.at(static_cast<size_t>(index)); }

  TDockOverEvent OnDockOver;
  TDockDropEvent OnDockDrop;
  TUnDockEvent OnUnDock;

  void Invalidate() override;
  void Update() override;
  void Repaint() override;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // The control whose window this is (null for windows of others).
  static TWinControl* FromHandle(win::HWND window);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  virtual void DestroyHandle();
  // Paints the window's own contents (a custom control's Paint), then the
  // windowless children.
  virtual void PaintWindow(win::HDC dc);
  void PaintControls(win::HDC dc, TControl* first);
  virtual void PaintHandler(win::HDC dc);
  virtual void KeyDown(uint16_t& key, TShiftState shift);
  virtual void KeyUp(uint16_t& key, TShiftState shift);
  virtual void KeyPress(char16_t& key);
  // A typed character's way through the framework: the form's preview, then
  // KeyPress. True when one of them took the key (set it to 0).
  bool DoKeyPress(char16_t& key);
  virtual void DoEnter();
  virtual void DoExit();
  TControlActionLinkClass GetActionLinkClass() const override;
  // The manager a dock site gets while it is one with UseDockManager: the
  // framework's dock tree, unless a descendant makes its own.
  virtual TDockTree* CreateDockManager();
  // A dock drag is over the site: OnDockOver may refuse (it accepts
  // otherwise); the drop docks the control (OnDockDrop then tells).
  virtual void DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DockDrop(TDragDockObject* source, int x, int y);
  // A docked control is about to leave for `newTarget`: OnUnDock may keep it.
  virtual bool DoUnDock(TWinControl* newTarget, TControl* client);
  void Loaded() override;
  void CreateHandle();
  void UpdateShowing();
  // A window that only changed its size is repainted as its window class
  // says (CS_HREDRAW, CS_VREDRAW); a moved one wholly.
  void InvalidateForNewBounds(bool moved) override;
  void ChangeScale(int m, int d) override;
  // A control's colour as a brush colour (system colours resolved).
  win::COLORREF BrushColor() const;

 private:
  friend win::LRESULT FrameworkWindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);
  friend class TControl;
  void AlignChildren();
  void ApplyAnchors(TControl& child, const TRect& client);
  static win::LRESULT SubclassOnCreation(int code, win::WPARAM w, win::LPARAM l);
  void HandleKeyMessage(TMessage& m);
  // True when the framework took the key (a previewing form, a shortcut, a
  // dialog key, a KeyDown that cleared it, the context-menu keys).
  bool TakeKeyMessage(TMessage& m);
  void HandleCharMessage(TMessage& m);
  void HandleMouseForChild(TMessage& m);
  void TrackMouse(TPoint clientPoint);
  bool PointerOverOwnPart() const;
  void PaintMessage(TMessage& m);
  void EraseMessage(TMessage& m);
  void PrintClientMessage(TMessage& m);
  void UpdateBoundsFromWindow();
  void SetCursorMessage(TMessage& m);
  bool PaintsNatively() const;
  void ReflectToChild(TMessage& m, win::HWND child);
  void ReflectMeasureItem(TMessage& m);
  void MouseActivateMessage(TMessage& m);
  void MinMaxInfoMessage(TMessage& m);
  void UpdateDockManager();
  friend class DragSession;

  win::HWND handle_ = nullptr;
  win::WNDPROC defWndProc_ = nullptr;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  bool tabStop_ = false;
  bool doubleBuffered_ = false;
  bool parentDoubleBuffered_ = true;
  bool ctl3D_ = true;
  int alignDisabled_ = 0;
  bool aligning_ = false;
  TControl* mouseCapture_ = nullptr;  // the windowless child a button press went to
  TControl* mouseControl_ = nullptr;  // the windowless child the mouse is over
  bool trackingLeave_ = false;
  bool holdsCapture_ = false;  // the framework took the mouse capture for this control
  bool contextMenuSent_ = false;  // a WM_CONTEXTMENU passed since the last right-button release began
  bool dockSite_ = false;
  bool useDockManager_ = false;
  std::unique_ptr<TDockTree> dockManager_;
  std::vector<TControl*> dockClients_;
};

class TGraphicControl : public TControl {
  QELO_VCL_CLASS()
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_; }
  void Dispatch(TMessage& message) override;

 protected:
  virtual void Paint() {}

 private:
  TCanvas* canvas_;
};

class TCustomControl : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_; }

 protected:
  virtual void Paint() {}
  void PaintWindow(win::HDC dc) override;

 private:
  TCanvas* canvas_;
};

// Registers the control classes with the class registry (once), so that
// form files can name them.
void RegisterControlClasses();
// The wrappers of the native standard and common controls (by RegisterControlClasses).
void RegisterStandardControlClasses();

}  // namespace qelo::vcl
