// Tool tips. Each tool tip keeps its tools and learns of the pointer from
// the tools' windows (relayed, or seen through a subclass it installs for
// TTF_SUBCLASS tools). Resting on a tool starts the initial-delay timer;
// when it fires on the same tool the tip shows at the pointer, and pops
// after the auto-pop delay, on a click, or when the pointer leaves.
#include "win/controls/tooltips.h"

#include <algorithm>
#include <utility>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "controls/control.h"

namespace qelo::win::controls {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr UINT kDefaultInitial = 500;
constexpr UINT kDefaultAutoPop = 5000;
constexpr int kMargin = 3;

bool IsPointerMessage(UINT message) {
  return message == WM_MOUSEMOVE || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
         message == WM_MOUSELEAVE;
}

// Windows whose procedure a tool tip replaced (TTF_SUBCLASS), with the
// procedure they had and the tool tips watching them. Guarded by its
// mutex, never held while calling a procedure.
struct Watched {
  WNDPROC original = nullptr;
  std::set<HWND> tips;
};
std::mutex g_watchLock;
std::map<HWND, Watched>& WatchedWindows() {
  static std::map<HWND, Watched> watched;
  return watched;
}

LRESULT WatchingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  WNDPROC original = nullptr;
  std::vector<HWND> tips;
  {
    std::lock_guard lock(g_watchLock);
    auto it = WatchedWindows().find(window);
    if (it != WatchedWindows().end()) {
      original = it->second.original;
      tips.assign(it->second.tips.begin(), it->second.tips.end());
    }
  }
  if (IsPointerMessage(message)) {
    MSG m;
    m.hwnd = window;
    m.message = message;
    m.wParam = w;
    m.lParam = l;
    for (HWND tip : tips) SendMessage(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
  }
  const LRESULT result = CallWindowProc(original, window, message, w, l);
  if (message == WM_NCDESTROY) {
    std::lock_guard lock(g_watchLock);
    WatchedWindows().erase(window);
  }
  return result;
}

void Watch(HWND window, HWND tip) {
  std::lock_guard lock(g_watchLock);
  auto it = WatchedWindows().find(window);
  if (it == WatchedWindows().end()) {
    Watched entry;
    entry.original = reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC));
    it = WatchedWindows().emplace(window, entry).first;
    SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingProc));
  }
  it->second.tips.insert(tip);
}

// The subclass stays (another may have subclassed on top of it); it only
// stops relaying to this tool tip.
void Unwatch(HWND tip) {
  std::lock_guard lock(g_watchLock);
  for (auto& [window, entry] : WatchedWindows()) entry.tips.erase(tip);
}

struct Tool {
  TOOLINFO info;
  std::string text;
  bool callback = false;
};

class ToolTip : public PaintedControl {
 public:
  using PaintedControl::PaintedControl;

  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_DESTROY: Unwatch(Window()); return 0;
      case WM_NCHITTEST: return HTTRANSPARENT;
      case WM_TIMER: Timer(w); return 0;
      case TTM_ACTIVATE:
        active_ = w != 0;
        if (!active_) Pop();
        return 0;
      case TTM_ADDTOOL: return AddTool(reinterpret_cast<const TOOLINFO*>(l));
      case TTM_DELTOOL: DeleteTool(reinterpret_cast<const TOOLINFO*>(l)); return 0;
      case TTM_NEWTOOLRECT:
        if (Tool* t = FindTool(reinterpret_cast<const TOOLINFO*>(l))) t->info.rect = reinterpret_cast<const TOOLINFO*>(l)->rect;
        return 0;
      case TTM_UPDATETIPTEXT: UpdateText(reinterpret_cast<const TOOLINFO*>(l)); return 0;
      case TTM_GETTOOLINFO: return GetToolInfo(reinterpret_cast<TOOLINFO*>(l));
      case TTM_GETTEXT: return GetText(static_cast<size_t>(w), reinterpret_cast<TOOLINFO*>(l));
      case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(tools_.size());
      case TTM_RELAYEVENT: Relay(reinterpret_cast<const MSG*>(l)); return 0;
      case TTM_POP: Pop(); return 0;
      case TTM_SETDELAYTIME: SetDelay(w, static_cast<int>(l)); return 0;
      case TTM_GETDELAYTIME: return w == TTDT_AUTOPOP ? autoPop_ : initial_;
      case TTM_SETMAXTIPWIDTH: return std::exchange(maxWidth_, static_cast<int>(l));
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

 private:
  static bool Same(const TOOLINFO& a, const TOOLINFO* b) { return b && a.hwnd == b->hwnd && a.uId == b->uId; }

  Tool* FindTool(const TOOLINFO* key) {
    auto it = std::find_if(tools_.begin(), tools_.end(), [&](const Tool& t) { return Same(t.info, key); });
    return it == tools_.end() ? nullptr : &*it;
  }

  void StoreText(Tool& tool, const char* text) {
    tool.callback = text == LPSTR_TEXTCALLBACK;
    tool.text = tool.callback || text == nullptr ? "" : text;
  }

  LRESULT AddTool(const TOOLINFO* info) {
    if (info == nullptr || info->hwnd == nullptr || !IsWindow(info->hwnd) || FindTool(info)) return 0;
    Tool tool;
    tool.info = *info;
    StoreText(tool, info->lpszText);
    tool.info.lpszText = nullptr;
    tools_.push_back(tool);
    if (info->uFlags & TTF_SUBCLASS) {
      HWND watched = (info->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info->uId) : info->hwnd;
      if (IsWindow(watched)) Watch(watched, Window());
    }
    return 1;
  }

  void DeleteTool(const TOOLINFO* info) {
    if (current_ >= 0 && Same(tools_[current_].info, info)) Pop();
    const auto gone = std::remove_if(tools_.begin(), tools_.end(), [&](const Tool& t) { return Same(t.info, info); });
    if (gone == tools_.end()) return;
    tools_.erase(gone, tools_.end());
    current_ = -1;
    KillTimer(Window(), kShowTimer);
  }

  void UpdateText(const TOOLINFO* info) {
    Tool* tool = FindTool(info);
    if (tool == nullptr) return;
    StoreText(*tool, info->lpszText);
    if (shown_ && current_ >= 0 && &tools_[current_] == tool) Show();
  }

  LRESULT GetToolInfo(TOOLINFO* out) {
    Tool* tool = FindTool(out);
    if (tool == nullptr) return 0;
    char* buffer = out->lpszText;
    *out = tool->info;
    out->lpszText = buffer;
    return 1;
  }

  LRESULT GetText(size_t size, TOOLINFO* out) {
    Tool* tool = FindTool(out);
    if (tool == nullptr || out->lpszText == nullptr || size == 0) return 0;
    const std::string text = tool->text.substr(0, size - 1);
    std::copy(text.begin(), text.end(), out->lpszText);
    out->lpszText[text.size()] = '\0';
    return static_cast<LRESULT>(text.size());
  }

  void SetDelay(WPARAM which, int milliseconds) {
    const bool standard = milliseconds < 0;
    switch (which) {
      case TTDT_INITIAL: initial_ = standard ? kDefaultInitial : static_cast<UINT>(milliseconds); break;
      case TTDT_AUTOPOP: autoPop_ = standard ? kDefaultAutoPop : static_cast<UINT>(milliseconds); break;
      case TTDT_AUTOMATIC:
        initial_ = standard ? kDefaultInitial : static_cast<UINT>(milliseconds);
        autoPop_ = standard ? kDefaultAutoPop : static_cast<UINT>(milliseconds) * 10;
        break;
      default: break;
    }
  }

  // The tool under a point of `window`'s client area, or -1.
  int ToolAt(HWND window, POINT p) const {
    for (int i = 0; i < static_cast<int>(tools_.size()); ++i) {
      const TOOLINFO& t = tools_[i].info;
      if (t.uFlags & TTF_IDISHWND) {
        if (reinterpret_cast<HWND>(t.uId) != window) continue;
        RECT r;
        GetClientRect(window, &r);
        if (PtInRect(&r, p)) return i;
      } else if (t.hwnd == window && PtInRect(&t.rect, p)) {
        return i;
      }
    }
    return -1;
  }

  void Relay(const MSG* m) {
    if (m == nullptr) return;
    if (m->message == WM_MOUSELEAVE) {
      Leave();
      return;
    }
    const int tool = ToolAt(m->hwnd, POINT{GET_X_LPARAM(m->lParam), GET_Y_LPARAM(m->lParam)});
    if (m->message != WM_MOUSEMOVE) {
      Pop();
      suppressed_ = tool;  // no tip again until the pointer reaches another tool
      return;
    }
    if (tool < 0) {
      Leave();
      return;
    }
    if (tool == current_) return;
    Pop();
    current_ = tool;
    if (tool == suppressed_) return;
    suppressed_ = -1;
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m->hwnd;
    TrackMouseEvent(&track);
    if (active_) SetTimer(Window(), kShowTimer, initial_, nullptr);
  }

  void Leave() {
    Pop();
    current_ = -1;
    suppressed_ = -1;
  }

  void Timer(WPARAM id) {
    KillTimer(Window(), id);
    if (id == kShowTimer && current_ >= 0 && active_) Show();
    else if (id == kPopTimer) Pop();
  }

  // The tool's text, asked from its window when it gave a callback.
  std::string TextOf(const Tool& tool) {
    if (!tool.callback) return tool.text;
    NMTTDISPINFO info;
    info.hdr.hwndFrom = Window();
    info.hdr.idFrom = tool.info.uId;
    info.hdr.code = TTN_GETDISPINFO;
    info.lParam = tool.info.lParam;
    info.uFlags = tool.info.uFlags;
    SendMessage(tool.info.hwnd, WM_NOTIFY, tool.info.uId, reinterpret_cast<LPARAM>(&info.hdr));
    if (info.lpszText != nullptr && info.lpszText != LPSTR_TEXTCALLBACK) return info.lpszText;
    info.szText[sizeof info.szText - 1] = '\0';
    return info.szText;
  }

  void Notify(const Tool& tool, UINT code) {
    NMHDR header;
    header.hwndFrom = Window();
    header.idFrom = tool.info.uId;
    header.code = code;
    SendMessage(tool.info.hwnd, WM_NOTIFY, tool.info.uId, reinterpret_cast<LPARAM>(&header));
  }

  SIZE Measure(const std::string& text) const {
    HDC dc = GetDC(Window());
    HGDIOBJ old = SelectObject(dc, Font());
    RECT r{0, 0, maxWidth_ > 0 ? maxWidth_ : 10000, 0};
    DrawText(dc, text, &r, Format() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    return SIZE{r.right - r.left + 2 * kMargin + 2, r.bottom - r.top + 2 * kMargin};
  }

  unsigned Format() const {
    return (maxWidth_ > 0 ? DT_WORDBREAK : DT_SINGLELINE) | ((Style() & TTS_NOPREFIX) ? DT_NOPREFIX : 0u);
  }

  void Show() {
    if (current_ < 0 || current_ >= static_cast<int>(tools_.size())) return;
    const Tool tool = tools_[current_];
    shownText_ = TextOf(tool);
    if (!IsWindow(Window()) || shownText_.empty()) return;
    const SIZE size = Measure(shownText_);
    POINT at;
    GetCursorPos(&at);
    at.y += GetSystemMetrics(SM_CYCURSOR) / 2 + 4;
    const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    at.x = std::clamp(at.x, 0, std::max(0, screen.cx - size.cx));
    if (at.y + size.cy > screen.cy) at.y -= size.cy + GetSystemMetrics(SM_CYCURSOR);
    SetWindowPos(Window(), HWND_TOPMOST, at.x, std::max(0, at.y), size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const bool wasShown = std::exchange(shown_, true);
    Repaint();
    if (!wasShown) Notify(tool, TTN_SHOW);
    SetTimer(Window(), kPopTimer, autoPop_, nullptr);
  }

  void Pop() {
    KillTimer(Window(), kShowTimer);
    KillTimer(Window(), kPopTimer);
    if (!shown_) return;
    shown_ = false;
    ShowWindow(Window(), SW_HIDE);
    if (current_ >= 0 && current_ < static_cast<int>(tools_.size())) Notify(tools_[current_], TTN_POP);
  }

  void Paint() override {
    PaintScope paint(*this);
    HDC dc = paint.dc();
    if (dc == nullptr) return;
    RECT r = paint.client();
    FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    InflateRect(&r, -kMargin, -kMargin);
    r.left += 1;
    DrawText(dc, shownText_, &r, Format());
  }

  std::vector<Tool> tools_;
  int current_ = -1;     // the tool under the pointer
  int suppressed_ = -1;  // clicked: no tip until another tool
  bool active_ = true;
  bool shown_ = false;
  UINT initial_ = kDefaultInitial;
  UINT autoPop_ = kDefaultAutoPop;
  int maxWidth_ = -1;
  std::string shownText_;
};

}  // namespace

void RegisterToolTipClass() { RegisterControlClass<ToolTip>(TOOLTIPS_CLASS, 0); }

}  // namespace qelo::win::controls
