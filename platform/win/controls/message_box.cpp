// The message box: its window (icon and text painted by the box, push
// buttons as children), its layout from the text and the screen, and the
// modal loop of MessageBox.
#include "win/controls/message_box.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "win/controls/button.h"
#include "controls/control.h"

namespace qelo::win {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextWidth = 400;
constexpr unsigned kTextFormat = DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

struct ButtonDef {
  const char* caption;
  int answer;
};

std::vector<ButtonDef> ButtonsOf(UINT flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_YESNOCANCEL: return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"&Yes", IDYES}, {"&No", IDNO}};
    default: return {{"OK", IDOK}};
  }
}

thread_local MessageBoxHook messageBoxHook;

HFONT MessageFont() {
  static const HFONT font = [] {
    NONCLIENTMETRICS metrics;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
    return CreateFontIndirect(&metrics.lfMessageFont);
  }();
  return font;
}

HFONT IconFont() {
  static const HFONT font = [] {
    LOGFONT logFont;
    logFont.lfHeight = PointsToFontHeight(14);
    logFont.lfWeight = FW_BOLD;
    return CreateFontIndirect(&logFont);
  }();
  return font;
}

// A disc in the icon's colour with its sign.
void PaintIcon(HDC dc, UINT icon, const RECT& box) {
  COLORREF fill = RGB(0, 0, 255);
  COLORREF ink = RGB(255, 255, 255);
  const char* sign = "i";
  switch (icon) {
    case MB_ICONHAND: fill = RGB(255, 0, 0); sign = "X"; break;
    case MB_ICONQUESTION: sign = "?"; break;
    case MB_ICONEXCLAMATION: fill = RGB(255, 255, 0); ink = RGB(0, 0, 0); sign = "!"; break;
    default: break;
  }
  HBRUSH brush = CreateSolidBrush(fill);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Ellipse(dc, box.left, box.top, box.right, box.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
  HGDIOBJ oldFont = SelectObject(dc, IconFont());
  SetTextColor(dc, ink);
  RECT r = box;
  DrawText(dc, sign, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
}

// The box window's state: what it shows, where, and the answer once given.
class MessageBoxWindow : public controls::PaintedControl {
 public:
  using PaintedControl::PaintedControl;

  void Build(const std::string& text, UINT flags) {
    text_ = text;
    icon_ = flags & MB_ICONMASK;
    SendMessage(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), 0);
    const std::vector<ButtonDef> defs = ButtonsOf(flags);
    const size_t defaultIndex = std::min<size_t>((flags & MB_DEFMASK) >> 8, defs.size() - 1);
    for (size_t i = 0; i < defs.size(); ++i) {
      const DWORD kind = i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      HWND button = CreateWindowEx(0, WC_BUTTON, defs[i].caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 0, 0,
                                   kButtonWidth, kButtonHeight, Window(), nullptr);
      SetWindowLongPtr(button, GWLP_ID, defs[i].answer);
      SendMessage(button, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), 0);
      buttons_.push_back(button);
      if (defs[i].answer == IDCANCEL) cancel_ = IDCANCEL;
    }
    if (defs.size() == 1) cancel_ = defs[0].answer;
    default_ = buttons_[defaultIndex];
    Layout();
  }

  const std::string& Text() const { return text_; }
  HWND DefaultButton() const { return default_; }
  int Answer() const { return answer_; }
  HWND ButtonFor(int answer) const {
    for (HWND b : buttons_)
      if (GetWindowLongPtr(b, GWLP_ID) == answer) return b;
    return nullptr;
  }

  // Enter, Escape and Tab for the box and its buttons; false for other keys.
  bool Key(WPARAM key) {
    switch (key) {
      case VK_RETURN: {
        HWND focus = GetFocus();
        SendMessage(std::find(buttons_.begin(), buttons_.end(), focus) != buttons_.end() ? focus : default_, BM_CLICK,
                    0, 0);
        return true;
      }
      case VK_ESCAPE:
        Cancel();
        return true;
      case VK_TAB: {
        auto at = std::find(buttons_.begin(), buttons_.end(), GetFocus());
        const int n = static_cast<int>(buttons_.size());
        int index = at == buttons_.end() ? 0 : static_cast<int>(at - buttons_.begin());
        index = (index + ((GetKeyState(VK_SHIFT) < 0) ? n - 1 : 1)) % n;
        SetFocus(buttons_[static_cast<size_t>(index)]);
        return true;
      }
      default:
        return false;
    }
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_COMMAND:
        if (HIWORD(w) == BN_CLICKED && ButtonFor(LOWORD(w))) answer_ = LOWORD(w);
        return 0;
      case WM_CLOSE:
        Cancel();
        return 0;
      default:
        return DefWindowProc(Window(), message, w, l);
    }
  }

  void Paint() override {
    controls::PaintScope paint(*this);
    if (!paint.dc()) return;
    FillRect(paint.dc(), &paint.client(), GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(paint.dc(), TRANSPARENT);
    if (icon_) PaintIcon(paint.dc(), icon_, RECT{kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize});
    SelectObject(paint.dc(), MessageFont());
    SetTextColor(paint.dc(), GetSysColor(COLOR_WINDOWTEXT));
    RECT r = textRect_;
    DrawText(paint.dc(), text_, &r, kTextFormat);
  }

 private:
  void Cancel() {
    if (cancel_) answer_ = cancel_;
  }

  SIZE MeasureText(int width) const {
    HDC dc = GetDC(Window());
    HGDIOBJ old = SelectObject(dc, MessageFont());
    RECT r{0, 0, width, 0};
    DrawText(dc, text_, &r, kTextFormat | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    return {r.right - r.left, r.bottom - r.top};
  }

  // The text wraps at a comfortable width; a text too tall for the screen
  // takes wider lines, up to the screen's width, and only what still does
  // not fit is cut. The box is as tall as the text and its buttons, and
  // centred on the work area.
  void Layout() {
    const int textLeft = icon_ ? 2 * kMargin + kIconSize : kMargin;
    RECT work, frame, client;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(Window(), &frame);
    GetClientRect(Window(), &client);
    const int frameWidth = (frame.right - frame.left) - (client.right - client.left);
    const int frameHeight = (frame.bottom - frame.top) - (client.bottom - client.top);
    const int roomWidth = std::max(work.right - work.left - frameWidth - textLeft - kMargin, 1);
    const int roomHeight = std::max(work.bottom - work.top - frameHeight - 3 * kMargin - kButtonHeight, 1);
    int lineWidth = std::min(kMaxTextWidth, roomWidth);
    SIZE text = MeasureText(lineWidth);
    while (text.cy > roomHeight && lineWidth < roomWidth) {
      lineWidth = std::min(roomWidth, lineWidth * 3 / 2);
      text = MeasureText(lineWidth);
    }
    text.cy = std::min<int>(text.cy, roomHeight);
    textRect_ = RECT{textLeft, kMargin, textLeft + lineWidth, kMargin + text.cy};
    const int contentHeight = std::max<int>(text.cy, icon_ ? kIconSize : 0);
    const int buttonsWidth = static_cast<int>(buttons_.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    const int width = std::max(textLeft + lineWidth + kMargin, buttonsWidth + 2 * kMargin);
    const int buttonTop = 2 * kMargin + contentHeight;
    int left = (width - buttonsWidth) / 2;
    for (HWND b : buttons_) {
      MoveWindow(b, left, buttonTop, kButtonWidth, kButtonHeight, 0);
      left += kButtonWidth + kButtonGap;
    }
    const int outerWidth = width + frameWidth;
    const int outerHeight = buttonTop + kButtonHeight + kMargin + frameHeight;
    MoveWindow(Window(), work.left + (work.right - work.left - outerWidth) / 2,
               work.top + (work.bottom - work.top - outerHeight) / 2, outerWidth, outerHeight, 0);
  }

  std::string text_;
  UINT icon_ = 0;
  std::vector<HWND> buttons_;
  HWND default_ = nullptr;
  int cancel_ = 0;  // the answer of Escape and the close box; 0: none
  int answer_ = 0;
  RECT textRect_{};
};

void RegisterMessageBoxClass() {
  static std::once_flag registered;
  std::call_once(registered, [] {
    controls::RegisterButtonClass();
    controls::RegisterControlClass<MessageBoxWindow>(WC_MESSAGEBOX, 0);
  });
}

bool IsInBox(HWND box, HWND window) { return window == box || IsChild(box, window); }

// Runs the box's messages until it has an answer (0 when a quit message
// came first; it is posted again).
int RunBox(HWND box, MessageBoxWindow& state) {
  while (state.Answer() == 0 && IsWindow(box)) {
    MSG m;
    const int got = GetMessage(&m, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return 0;
    }
    if (got < 0) return 0;
    if (m.message == WM_KEYDOWN && IsInBox(box, m.hwnd) && state.Key(m.wParam)) continue;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  return state.Answer();
}

}  // namespace

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  RegisterMessageBoxClass();
  HWND box = CreateWindowEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, WC_MESSAGEBOX, caption,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 200, 100, nullptr, nullptr);
  std::shared_ptr<MessageBoxWindow> state = controls::ControlOf<MessageBoxWindow>(box);
  if (!state) return 0;
  state->Build(text, flags);
  HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  HWND focusBefore = GetFocus();
  const bool disableRoot = root && IsWindowEnabled(root);
  if (disableRoot) EnableWindow(root, 0);
  ShowWindow(box, SW_SHOW);
  RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  SetFocus(state->DefaultButton());
  if (messageBoxHook) messageBoxHook(box);
  const int answer = RunBox(box, *state);
  if (disableRoot) EnableWindow(root, 1);
  DestroyWindow(box);
  if (focusBefore && IsWindow(focusBefore)) SetFocus(focusBefore);
  return answer;
}

std::string MessageBoxText(HWND box) {
  std::shared_ptr<MessageBoxWindow> state = controls::ControlOf<MessageBoxWindow>(box);
  return state ? state->Text() : std::string();
}

HWND MessageBoxButton(HWND box, int answer) {
  std::shared_ptr<MessageBoxWindow> state = controls::ControlOf<MessageBoxWindow>(box);
  return state ? state->ButtonFor(answer) : nullptr;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  std::swap(messageBoxHook, hook);
  return hook;
}

}  // namespace qelo::win
