// Forms, the application object and the screen. A form is a top-level
// windowed control: it is shown, runs modally in a nested message loop until
// its ModalResult is set, asks OnCloseQuery before it closes, keeps the
// focused control and routes dialog keys (Tab, Enter, Escape) to its
// controls. The application runs the message loop, owns the forms it
// creates, reports exceptions of event handlers, shows message boxes and
// hints. The screen knows the cursors, the monitors and the forms.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "vcl/controls/controls.h"

namespace qelo::vcl {

class THintWindow;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateItem>;

extern const EnumInfo kFormBorderStyleInfo;
// The border of a control: none or a single sunken edge (bsNone, bsSingle).
using TBorderStyle = TFormBorderStyle;
extern const EnumInfo kBorderStyleInfo;
extern const EnumInfo kBorderIconInfo;
extern const EnumInfo kPositionInfo;
extern const EnumInfo kWindowStateInfo;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;
// The modal result of an identifier ("mrOk"), for form files.
std::optional<int64_t> ModalResultIdent(std::string_view name);

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TCustomForm : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  // The bounds the form has in the normal state, or returns to from a
  // maximised one.
  TRect NormalBoundsRect() const;
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  // Its items are reached by their shortcuts from any control of the form.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  TFormState FormState() const { return formState_; }

  // The control that has (or gets, once the form is shown) the focus.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // Focuses a control of this form; only stored while the form is hidden.
  void FocusControl(TWinControl* control);
  // Called when one of the form's windows gets the focus: CM_EXIT up from
  // the old control, CM_ENTER down to the new one, then CM_FOCUSCHANGED.
  void SetFocusedControl(TWinControl* control);
  // A windowed control leaves the form: it is no longer active or focused.
  void ControlRemoved(TWinControl* control);
  // A control that can no longer hold the focus (it is being disabled) stops
  // being the active control; when the focus is in it, the focus moves to
  // the form's own window, which its controls hear as a focus change.
  void DefocusControl(TWinControl* control);
  // Ends the mouse modes of the form: its focused control gets
  // CM_CANCELMODE, and a window of the form that holds the mouse capture
  // WM_CANCELMODE.
  void SendCancelMode(TControl* sender);

  void Show();
  void Hide();
  // Shows the form and runs messages until ModalResult is set (and the
  // form agrees to close); EInvalidOperation for a visible form.
  TModalResult ShowModal();
  void Close();
  bool CloseQuery();
  // Frees the form once the messages now waiting are handled.
  void Release();
  // Fires OnCreate once (the application's CreateForm and the end of
  // reading the form file both ask).
  void DoCreate();

  TRect ClientRect() const override;
  // A new outer size set before the window exists wins over a client size
  // the form file gave earlier.
  void SetBounds(int left, int top, int width, int height) override;
  void SetClientWidth(int v) override;
  void SetClientHeight(int v) override;
  bool Showing() const override;

  // Key preview: the form sees its controls' keys first.
  using TWinControl::KeyDown;
  using TWinControl::KeyPress;
  using TWinControl::KeyUp;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;

  void Dispatch(TMessage& message) override;
  // A key that a menu item of the form's menu has as its shortcut clicks
  // that item; whether one did.
  bool IsShortCut(uint16_t key, TShiftState shift);

 protected:
  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;
  void CreateWnd() override;
  void Loaded() override;
  void Destroying() override;
  virtual void DoClose(TCloseAction& action);
  virtual void DoShow();
  virtual void DoHide();
  virtual void Paint();
  void PaintWindow(win::HDC dc) override;
  TCanvas* Canvas() const { return canvas_; }

 private:
  void VisibleChanged();
  void ApplyWindowState(TWindowState old);
  void PlaceOnFirstShow();
  void FocusFirst();
  void CloseModal();
  void DialogKey(TMessage& m);
  int FrameWidth() const;
  int FrameHeight() const;

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TRect normalBounds_{};  // the bounds a maximised form returns to
  TModalResult modalResult_ = mrNone;
  bool keyPreview_ = false;
  TMainMenu* menu_ = nullptr;
  TFormState formState_;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool created_ = false;
  bool placed_ = false;
  int pendingClientWidth_ = -1;
  int pendingClientHeight_ = -1;
  TCanvas* canvas_;
};

class TForm : public TCustomForm {
  QELO_VCL_CLASS()
 public:
  using TCustomForm::TCustomForm;
};

// ---- screen --------------------------------------------------------------------

struct TMonitor {
  int MonitorNum = 0;
  TRect BoundsRect{};
  TRect WorkareaRect{};
  bool Primary = true;
};

class TScreen : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TScreen(TComponent* owner);

  // The cursor of an id: the predefined ones, or one registered under a
  // positive id; unknown ids give the arrow.
  win::HCURSOR Cursors(TCursor id) const;
  void SetCursors(TCursor id, win::HCURSOR cursor);
  // The cursor shown over every control while not crDefault.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

  int MonitorCount() const;
  TMonitor Monitors(int index) const;
  TRect WorkAreaRect() const;
  TRect DesktopRect() const;
  int Width() const;
  int Height() const;

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
  TCustomForm* ActiveForm() const;
  TWinControl* ActiveControl() const;

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);

  std::map<TCursor, win::HCURSOR> cursors_;
  TCursor cursor_ = crDefault;
  std::vector<TCustomForm*> forms_;
};

// ---- application --------------------------------------------------------------

using TExceptionEvent = std::function<void(TObject* sender, const std::exception& error)>;

struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos{};
  std::string HintStr;
  int HideTimeout = 0;
};

// The part of a hint before "|", and the part after it (or the whole).
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

// Message box flags and results (the results are the modal results).
constexpr UINT MB_OK = win::MB_OK, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
               MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF, MB_ICONMASK = 0xF0, MB_DEFBUTTON2 = 0x100,
               MB_DEFBUTTON3 = 0x200, MB_DEFMASK = 0xF00;
constexpr UINT MB_ICONSTOP = win::MB_ICONHAND, MB_ICONERROR = win::MB_ICONHAND,
               MB_ICONWARNING = win::MB_ICONEXCLAMATION, MB_ICONINFORMATION = win::MB_ICONASTERISK,
               MB_ICONHAND = win::MB_ICONHAND, MB_ICONQUESTION = win::MB_ICONQUESTION,
               MB_ICONEXCLAMATION = win::MB_ICONEXCLAMATION, MB_ICONASTERISK = win::MB_ICONASTERISK,
               MB_DEFBUTTON1 = 0x000;
constexpr int IDOK = mrOk, IDCANCEL = mrCancel, IDABORT = mrAbort, IDRETRY = mrRetry,
              IDIGNORE = mrIgnore, IDYES = mrYes, IDNO = mrNo;

class TApplication : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize();
  // Makes a form of the class owned by the application; the first becomes
  // the main form.
  template <class T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    FormCreated(form);
  }
  TCustomForm* CreateForm(const ClassInfo& formClass);
  // Shows the main form and runs messages until Terminate or the main form
  // closes. The program frees its forms afterwards (DestroyComponents), so
  // their OnDestroy handlers run before it ends.
  void Run();
  // Handles every message waiting now, then returns.
  void ProcessMessages();
  // Handles one message, waiting for it when none waits.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  TCustomForm* MainForm() const { return mainForm_; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Reports the exception being handled: OnException when assigned, else
  // ShowException. Call only from a catch block.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& error);
  TExceptionEvent OnException;

  // A message box of our own, run modally: the text, the title (the
  // application's title when empty), the button set and icon of `flags`;
  // returns the chosen IDxxx.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);

  // ---- hints ----
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  TNotifyEvent OnHint;
  // The hint window now shown (null when none is).
  THintWindow* HintWindow() const;
  void CancelHint();
  // From controls: the mouse moved over `control`; left it.
  void HintMouseMessage(TControl* control, const TMessage& message);
  void CancelHintFor(TControl* control);

  // ---- the control under the mouse (CM_MOUSEENTER / CM_MOUSELEAVE) ----
  TControl* MouseControl() const { return mouseControl_; }
  void SetMouseControl(TControl* control);

  // ---- the GUI thread's own queue ----
  // Runs `call` on the GUI thread when its turn in the message queue comes;
  // any thread may post (the utility window must exist: Initialize).
  void Post(std::function<void()> call);
  // Runs `call` on the GUI thread before the messages already posted to it,
  // for a request that must not wait behind them (the program asked to
  // close while a backlog of progress messages waits).
  void PostAhead(std::function<void()> call);
  // Told whenever a modal run starts (after the form is shown); scripts
  // answer modal runs here.
  std::function<void(TCustomForm& form)> OnModalBegin;
  int ModalLevel() const { return modalLevel_; }

 private:
  friend class TCustomForm;
  friend win::LRESULT ApplicationWindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);
  void FormCreated(TCustomForm* form);
  void DispatchAndTranslate(const win::MSG& m);
  void Notification(TComponent* component, TOperation operation) override;
  win::HWND UtilityWindow();
  void ActivateHint();
  void TimerFired(win::UINT_PTR id);
  void RunPosted();

  bool terminated_ = false;
  bool showMainForm_ = true;
  std::string title_ = "Clipshift";
  TCustomForm* mainForm_ = nullptr;
  // Forms whose Release waits for its turn; a form freed before that
  // leaves the set, and the turn finds nothing to free.
  std::set<TCustomForm*> releasing_;
  int modalLevel_ = 0;
  win::HWND window_ = nullptr;
  std::mutex postedLock_;  // guards posted_: any thread adds, the GUI thread takes
  std::deque<std::function<void()>> posted_;
  TControl* mouseControl_ = nullptr;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  std::string hint_;
  TControl* hintControl_ = nullptr;
  THintWindow* hintWindow_ = nullptr;
};

// The application and the screen of the process, made on first use.
TApplication* Application();
TScreen* Screen();

// Shows a cursor over every control for as long as it lives (the
// hourglass of a long operation), then the cursor shown before.
class TScreenCursorScope {
 public:
  explicit TScreenCursorScope(TCursor cursor = crHourGlass) : previous_(Screen()->Cursor()) {
    Screen()->SetCursor(cursor);
  }
  ~TScreenCursorScope() { Screen()->SetCursor(previous_); }
  TScreenCursorScope(const TScreenCursorScope&) = delete;
  TScreenCursorScope& operator=(const TScreenCursorScope&) = delete;

 private:
  TCursor previous_;
};

// ---- hint window --------------------------------------------------------------

class THintWindow : public TCustomControl {
  QELO_VCL_CLASS()
 public:
  explicit THintWindow(TComponent* owner);
  // The rectangle (at 0, 0) the text needs, wrapped at maxWidth.
  virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
  // Shows the hint in the screen rectangle.
  virtual void ActivateHint(const TRect& rect, const std::string& hint);
  void ReleaseHandle();

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

}  // namespace qelo::vcl
