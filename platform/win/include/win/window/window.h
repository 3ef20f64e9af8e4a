// The window system: windows owned by threads, per-thread message queues,
// sent and posted messages, timers, painting into window surfaces, input
// routing, focus and capture, and the screen. Windows are shown through a
// display back end: SDL on a real display, or headless (surfaces in memory,
// input injected by tests).
//
// Text is UTF-8; WM_CHAR carries UTF-16 code units. Handles are checked on
// every call: a destroyed window's handle is never reused and gives the
// call's failure answer.
#pragma once

#include <cstdint>
#include <string>

#include "win/gdi/gdi.h"

namespace qelo::win {

struct WindowHandle;
using HWND = WindowHandle*;
using UINT = uint32_t;
using DWORD = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr uint16_t LOWORD(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
// Signed coordinates out of a packed lParam.
constexpr int GET_X_LPARAM(LPARAM v) { return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(v))); }
constexpr int GET_Y_LPARAM(LPARAM v) { return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(v))); }
constexpr WPARAM MAKEWPARAM(int low, int high) {
  return static_cast<WPARAM>(static_cast<uint32_t>(static_cast<uint16_t>(low)) |
                             (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}
constexpr LPARAM MAKELPARAM(int low, int high) {
  return static_cast<LPARAM>(static_cast<uint32_t>(static_cast<uint16_t>(low)) |
                             (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<int16_t>(HIWORD(w)); }

// ---- messages --------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;        // wParam buffer size, lParam char*
constexpr UINT WM_GETTEXTLENGTH = 0x000E;  // in bytes
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_CANCELMODE = 0x001F;  // ends modes such as the mouse capture
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
// Answers to WM_MOUSEACTIVATE: activate the window or not, and whether the
// click that asked is then dropped.
constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
// Sent to a child window's parent when the child has been made: wParam
// MAKEWPARAM(WM_CREATE, the child's id), lParam the child.
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_USER = 0x0400;

// WM_ACTIVATE
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// WM_SIZE
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND (the low four bits carry the loop's edge or HTCAPTION)
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;

// Mouse key state in wParam
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
// The wheel scroll lines that stand for "a page a notch".
constexpr UINT WHEEL_PAGESCROLL = 0xFFFFFFFFu;

// WM_NCHITTEST results
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTSYSMENU = 3;
constexpr LRESULT HTMINBUTTON = 8;
constexpr LRESULT HTMAXBUTTON = 9;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;
constexpr LRESULT HTBORDER = 18;
constexpr LRESULT HTCLOSE = 20;

// ---- styles ----------------------------------------------------------------

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;  // no WM_PARENTNOTIFY to the parent
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
// A transparent child window is skipped by hit tests (the pointer reaches
// what lies below it), is painted after its parent and the siblings below
// it, begins each paint over a copy of what they show, and is painted
// again when they change beneath it.
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
// With WS_EX_TRANSPARENT: a window that only shows, which the mouse passes
// through to the windows below.
constexpr DWORD WS_EX_LAYERED = 0x00080000;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Class styles
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

// ---- classes and windows ---------------------------------------------------

struct CursorObject;
using HCURSOR = CursorObject*;

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  HCURSOR hCursor = nullptr;
  // A brush, or a system colour index + 1 given as SysColorBackground(i).
  HBRUSH hbrBackground = nullptr;
  std::string lpszClassName;
};
inline HBRUSH SysColorBackground(int colorIndex) {
  return reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(colorIndex + 1));
}
// Classes are process-wide; registering a name twice fails (0).
BOOL RegisterClass(const WNDCLASS& windowClass);
BOOL UnregisterClass(const std::string& className);
BOOL GetClassInfo(const std::string& className, WNDCLASS* out);
std::string GetClassName(HWND window);

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HWND hwndParent = nullptr;
  int32_t cy = 0, cx = 0, y = 0, x = 0;
  DWORD style = 0;
  DWORD dwExStyle = 0;
  std::string lpszName;
  std::string lpszClass;
};

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
// WM_NCCREATE and WM_CREATE get a CREATESTRUCT* in lParam; -1 from
// WM_CREATE (0 from WM_NCCREATE) refuses the window. A child window needs
// a live parent. The window belongs to the calling thread.
HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& title,
                    DWORD style, int x, int y, int width, int height, HWND parent,
                    void* createParam);
// A made child window without WS_EX_NOPARENTNOTIFY is announced to its
// parent with WM_PARENTNOTIFY just before CreateWindowEx returns.
//
// Children first (each on its own thread), then WM_DESTROY and WM_NCDESTROY
// to the window itself. Called for a window of another thread, the
// destruction runs on the owner's thread.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);  // the window and all its ancestors
BOOL IsWindowEnabled(HWND window);
BOOL IsChild(HWND parent, HWND window);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
DWORD GetCurrentThreadId();

constexpr int GWL_WNDPROC = -4;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;
constexpr int GWLP_WNDPROC = GWL_WNDPROC;
constexpr int GWLP_ID = GWL_ID;
LONG_PTR GetWindowLongPtr(HWND window, int index);
// Returns the previous value. Changing GWL_STYLE to or from WS_CHILD does
// not reparent (SetParent does).
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);
LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM w, LPARAM l);
// WM_CANCELMODE releases the window's mouse capture.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM w, LPARAM l);

// Creation hooks of a thread (WH_CBT): HCBT_CREATEWND reaches the hook
// with the new window in wParam and a CBT_CREATEWND* in lParam once the
// window exists and before its first message (WM_NCCREATE), so that the
// hook may subclass it from the start; a nonzero answer refuses the window.
// The other CBT codes are not sent. The newest hook is asked first and
// passes on with CallNextHookEx.
struct HookObject;
using HHOOK = HookObject*;
using HOOKPROC = LRESULT (*)(int code, WPARAM w, LPARAM l);
constexpr int WH_CBT = 5;
constexpr int HCBT_CREATEWND = 3;
struct CBT_CREATEWND {
  CREATESTRUCT* lpcs = nullptr;
  HWND hwndInsertAfter = nullptr;
};
// WH_CBT on the calling thread only (module and thread id are ignored);
// nullptr for another kind of hook.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, void* module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM w, LPARAM l);

BOOL SetWindowText(HWND window, const std::string& text);
std::string GetWindowText(HWND window);

// ---- tree and z-order ------------------------------------------------------

HWND GetParent(HWND window);
// Works across threads; the window keeps its owner thread. nullptr makes
// it a top-level window. Returns the old parent.
HWND SetParent(HWND window, HWND newParent);
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;  // the next window below
constexpr UINT GW_HWNDPREV = 3;  // the next window above
constexpr UINT GW_CHILD = 5;     // the topmost child
HWND GetWindow(HWND window, UINT relation);
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
HWND GetAncestor(HWND window, UINT flags);
HWND WindowFromPoint(POINT screenPoint);

// ---- position and size ----------------------------------------------------

inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int32_t x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};
struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};
struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];  // in: the window rectangle; out: rgrc[0] the client rectangle
};

// Coordinates are the parent's client coordinates for child windows and
// screen coordinates for top-level ones. Sizes pass WM_GETMINMAXINFO
// (top-level windows) and are never negative. Sends WM_WINDOWPOSCHANGED,
// then WM_MOVE and WM_SIZE when they changed.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                  UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
// Returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
BOOL IsIconic(HWND window);

BOOL GetWindowRect(HWND window, RECT* screenRect);
BOOL GetClientRect(HWND window, RECT* clientRect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// Maps between the client coordinates of two windows (nullptr: the screen).
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);

// The window takes a copy of nothing: it owns `region` from now on (in
// window coordinates, nullptr: none). The region clips painting and hit
// tests; on a real display it shapes a top-level window.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
// Copies the window's region into `region`; ERROR when it has none.
int GetWindowRgn(HWND window, HRGN region);

// ---- message queues ----------------------------------------------------------

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

// Posting to a destroyed window fails (0); nullptr posts to the calling
// thread's queue. Safe from any thread.
BOOL PostMessage(HWND window, UINT message, WPARAM w, LPARAM l);
// 0 when the thread has no message queue (it never used the window system).
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM w, LPARAM l);
void PostQuitMessage(int exitCode);
// Within the owner thread a direct call. From another thread the caller
// waits until the owner has handled it, meanwhile handling messages sent to
// its own windows, so threads sending to each other do not deadlock. 0 when
// the window is gone or is destroyed before handling the message.
LRESULT SendMessage(HWND window, UINT message, WPARAM w, LPARAM l);
// Like SendMessage, but from another thread it returns at once: the owner
// handles the message as a sent one, before the messages posted to it.
// Within the owner thread a direct call. 0 when the window is gone.
BOOL SendNotifyMessage(HWND window, UINT message, WPARAM w, LPARAM l);
// Handles sent messages, then returns posted ones, input, WM_PAINT for an
// invalid window and WM_TIMER, in that order. Filter: window (nullptr any of
// the thread's windows and thread messages) and a message range (0, 0: all).
// Returns 0 for WM_QUIT, -1 for a window that is not the caller's.
int GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove);
// Posts the WM_CHAR (WM_SYSCHAR under Alt) of a key press whose character
// the display's text input does not bring: Backspace, Tab, Enter, Escape,
// Ctrl with a letter, Alt with a letter or digit. Printable characters come
// as text input. Nonzero for every key press.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);

// Events a thread can wait for together with its messages.
class WaitableEvent {
 public:
  explicit WaitableEvent(bool manualReset = true, bool initiallySet = false);
  WaitableEvent(const WaitableEvent&) = delete;
  WaitableEvent& operator=(const WaitableEvent&) = delete;
  void Set();
  void Reset();
  bool IsSet() const;

 private:
  friend DWORD MsgWaitForMultipleObjects(DWORD, WaitableEvent* const*, BOOL, DWORD, DWORD);
  bool manualReset_;
  bool set_;
};

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD QS_ALLINPUT = 0x04FF;
// WAIT_OBJECT_0 + i for the first set event (an auto-reset one is reset),
// WAIT_OBJECT_0 + count when a message waits in the queue, WAIT_TIMEOUT.
// Sent messages are handled while waiting. waitAll is not supported
// (WAIT_FAILED).
DWORD MsgWaitForMultipleObjects(DWORD count, WaitableEvent* const* events, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask);

// ---- timers ------------------------------------------------------------------

using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD tickCount);
// Per window and id, for a window of the calling thread (0 otherwise);
// setting an existing id restarts it. With no window the timer is the
// calling thread's: an id that names none of its timers gets a fresh one,
// which is returned, and WM_TIMER comes with hwnd null. WM_TIMER comes
// only when no other message waits. With a procedure, WM_TIMER carries it
// in lParam and DispatchMessage calls it instead of the window procedure,
// and only while the timer lives: a killed timer never fires again.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);
// Milliseconds since an arbitrary start, monotonic.
DWORD GetTickCount();

// ---- painting ----------------------------------------------------------------

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = 0;
  RECT rcPaint;
};

// Any thread may invalidate. Rectangles and regions are in client
// coordinates; nullptr means the whole client area.
BOOL InvalidateRect(HWND window, const RECT* r, BOOL erase);
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* r);
BOOL GetUpdateRect(HWND window, RECT* r, BOOL erase);
int GetUpdateRgn(HWND window, HRGN region, BOOL erase);
// Sends WM_PAINT at once when the window has anything to paint.
BOOL UpdateWindow(HWND window);
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;
BOOL RedrawWindow(HWND window, const RECT* r, HRGN region, UINT flags);

// Sends WM_NCPAINT and WM_ERASEBKGND when due, validates, and gives a
// client context clipped to the update region.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// A client context (GetDC) or a whole-window context (GetWindowDC, for
// WM_NCPAINT), clipped to the window's region. Only the owner thread should
// draw. GetDC(nullptr) gives a screen-compatible context for measuring and
// for GetDeviceCaps (NUMCOLORS -1: more than 256 colours); drawing on it
// shows nowhere. Each is given back with ReleaseDC.
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// A client or whole-window context for one painting pass, given back when
// it leaves scope; dc() is null when the window gives none.
class DCScope {
 public:
  enum class Area { kClient, kWindow };
  DCScope(HWND window, Area area)
      : window_(window), dc_(area == Area::kWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~DCScope() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  DCScope(const DCScope&) = delete;
  DCScope& operator=(const DCScope&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

constexpr LPARAM PRF_CHECKVISIBLE = 0x0001;
constexpr LPARAM PRF_NONCLIENT = 0x0002;
constexpr LPARAM PRF_CLIENT = 0x0004;
constexpr LPARAM PRF_ERASEBKGND = 0x0008;
constexpr LPARAM PRF_CHILDREN = 0x0010;

// ---- input -------------------------------------------------------------------

// A window of the calling thread only (nullptr otherwise). One window
// captures the mouse: a capture of another thread ends with
// WM_CAPTURECHANGED to its window.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();  // the calling thread's capture
HWND GetCapture();
BOOL GetCursorPos(POINT* screenPoint);

constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
// TME_LEAVE only: WM_MOUSELEAVE once the pointer leaves the window's client
// area (at once when it is not over it).
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);

inline const char* const IDC_ARROW = "arrow";
inline const char* const IDC_IBEAM = "ibeam";
inline const char* const IDC_WAIT = "wait";
inline const char* const IDC_CROSS = "cross";
inline const char* const IDC_SIZEALL = "sizeall";
inline const char* const IDC_SIZENWSE = "sizenwse";
inline const char* const IDC_SIZENESW = "sizenesw";
inline const char* const IDC_SIZEWE = "sizewe";
inline const char* const IDC_SIZENS = "sizens";
inline const char* const IDC_NO = "no";
inline const char* const IDC_HAND = "hand";
// Standard cursors only (instance ignored); nullptr for an unknown name.
HCURSOR LoadCursor(void* instance, const char* name);
// One cursor for the whole screen, shown by the display; nullptr hides it.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
std::string CursorName(HCURSOR cursor);

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_APPS = 0x5D;
constexpr int VK_F1 = 0x70;
constexpr int VK_F4 = 0x73;
constexpr int VK_F10 = 0x79;
// The key as of the input messages the calling thread has read: high bit
// (negative) while down; low bit toggles on each press.
int16_t GetKeyState(int virtualKey);
// The key now, whatever any thread has read: high bit while down.
int16_t GetAsyncKeyState(int virtualKey);

// Focus, capture and activation are kept per thread and answered for the
// calling thread. There is one keyboard: the thread that took the focus
// last has it, and the focus window (else the foreground window) gets the
// keyboard messages; another thread that had the focus loses it.
// SetFocus sends WM_KILLFOCUS to the old and WM_SETFOCUS to the new window,
// after activating the new window's top-level window; for a window of
// another thread all of that runs on the window's thread.
HWND SetFocus(HWND window);
HWND GetFocus();
// Activates the window's top-level window on that window's thread; it
// becomes the foreground window, and the window active before (of any
// thread) gets WM_ACTIVATE with WA_INACTIVE.
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
// A disabled window gets no mouse or keyboard input; disabling the focus
// window takes the focus away.
BOOL EnableWindow(HWND window, BOOL enable);

// ---- screen --------------------------------------------------------------------

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CMONITORS = 80;
int GetSystemMetrics(int index);

constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
constexpr UINT SPI_GETMOUSEHOVERWIDTH = 0x0062;
constexpr UINT SPI_GETMOUSEHOVERHEIGHT = 0x0064;
constexpr UINT SPI_GETMOUSEHOVERTIME = 0x0066;
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
constexpr UINT SPI_SETWHEELSCROLLLINES = 0x0069;
struct NONCLIENTMETRICS {
  int32_t iBorderWidth = 1;
  int32_t iScrollWidth = 16;
  int32_t iScrollHeight = 16;
  int32_t iCaptionWidth = 18;
  int32_t iCaptionHeight = 18;
  LOGFONT lfCaptionFont;
  int32_t iMenuHeight = 19;
  LOGFONT lfMenuFont;
  LOGFONT lfStatusFont;
  LOGFONT lfMessageFont;
};
// SPI_GETWORKAREA: RECT*; SPI_GETNONCLIENTMETRICS: NONCLIENTMETRICS*; the
// hover values and SPI_GETWHEELSCROLLLINES (3 unless set; WHEEL_PAGESCROLL
// for a page a notch): UINT*. SPI_SETWHEELSCROLLLINES takes the lines as
// `param` and no `out`. 0 for anything else.
BOOL SystemParametersInfo(UINT action, UINT param, void* out, UINT winIni);

struct MonitorObject;
using HMONITOR = MonitorObject*;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags = 0;
};
constexpr DWORD MONITORINFOF_PRIMARY = 1;
// One monitor: the whole screen.
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
// Counted, so tests can see it (there is no sound).
BOOL MessageBeep(UINT type);
int MessageBeepCount();

BOOL SetClipboardText(const std::string& text);
// Empty when the clipboard holds no text.
std::string GetClipboardText();

}  // namespace qelo::win
