// The single-line edit: the text (kept as UTF-16 units, mirrored into the
// window text), a caret and an anchor that span the selection, a
// horizontal scroll that keeps the caret in view, the clipboard through the
// window system and one level of undo. Every change tells the parent
// EN_UPDATE before it shows and EN_CHANGE after.
#include "win/controls/edit.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "win/codepage.h"
#include "controls/control.h"

namespace qelo::win::controls {
namespace {

constexpr int kMargin = 2;

bool IsLead(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsTrail(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsWordChar(char16_t c) { return c > 0x7F || std::iswalnum(static_cast<wint_t>(c)) || c == '_'; }

// The text up to the first line break: a single line takes no more.
std::u16string FirstLine(std::u16string text) {
  const size_t end = text.find_first_of(u"\r\n");
  if (end != std::u16string::npos) text.resize(end);
  return text;
}

class Edit : public ControlBase {
 public:
  using ControlBase::ControlBase;

  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override {
    LRESULT result = 0;
    if (HandleFont(message, w, l, &result)) {
      if (message == WM_SETFONT) ScrollToCaret();
      return result;
    }
    switch (message) {
      case WM_CREATE: {
        text_ = FirstLine(Utf8ToUtf16(reinterpret_cast<const CREATESTRUCT*>(l)->lpszName));
        MirrorWindowText();
        return 0;
      }
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      case WM_SETTEXT: return SetTextFromOutside(reinterpret_cast<const char*>(l));
      case WM_CHAR: Char(static_cast<char16_t>(w)); return 0;
      case WM_KEYDOWN: KeyDown(static_cast<int>(w)); return 0;
      case WM_LBUTTONDOWN: MouseDown(l, false); return 0;
      case WM_LBUTTONDBLCLK: MouseDown(l, true); return 0;
      case WM_MOUSEMOVE: MouseMove(l); return 0;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED: EndMouseSelect(); return 0;
      case WM_SETFOCUS: FocusChanged(true); return 0;
      case WM_KILLFOCUS: FocusChanged(false); return 0;
      case WM_ENABLE: Repaint(); return 0;
      case WM_SIZE: ScrollToCaret(); return DefWindowProc(Window(), message, w, l);
      case WM_SETCURSOR:
        if (LOWORD(static_cast<uintptr_t>(l)) == HTCLIENT) {
          SetCursor(LoadCursor(nullptr, IDC_IBEAM));
          return 1;
        }
        return DefWindowProc(Window(), message, w, l);
      case WM_COPY: Copy(); return 0;
      case WM_CUT: Cut(); return 0;
      case WM_PASTE: Paste(); return 0;
      case WM_CLEAR: if (!ReadOnly()) Replace(u"", true); return 0;
      case WM_UNDO:
      case EM_UNDO: return Undo();
      case EM_CANUNDO: return undo_.has ? 1 : 0;
      case EM_EMPTYUNDOBUFFER: undo_.has = false; return 0;
      case EM_GETSEL: return GetSel(reinterpret_cast<DWORD*>(w), reinterpret_cast<DWORD*>(l));
      case EM_SETSEL: SetSel(static_cast<int32_t>(w), static_cast<int32_t>(l)); return 0;
      case EM_REPLACESEL: Replace(FirstLine(Utf8ToUtf16(l ? reinterpret_cast<const char*>(l) : "")), w != 0); return 0;
      case EM_SCROLLCARET: ScrollToCaret(); return 1;
      case EM_GETMODIFY: return modified_ ? 1 : 0;
      case EM_SETMODIFY: modified_ = w != 0; return 0;
      case EM_GETLINECOUNT: return 1;
      case EM_GETFIRSTVISIBLELINE: return 0;
      case EM_LINELENGTH: return static_cast<LRESULT>(text_.size());
      case EM_LIMITTEXT: limit_ = w == 0 ? kEditMaxLimit : static_cast<size_t>(w); return 0;
      case EM_GETLIMITTEXT: return static_cast<LRESULT>(limit_);
      case EM_SETREADONLY: SetReadOnly(w != 0); return 1;
      case EM_SETPASSWORDCHAR: passwordChar_ = static_cast<char16_t>(w); Repaint(); return 0;
      case EM_GETPASSWORDCHAR: return PasswordChar();
      case EM_POSFROMCHAR: return PosFromChar(static_cast<size_t>(w));
      case EM_CHARFROMPOS: return static_cast<LRESULT>(CharFromX(GET_X_LPARAM(l)));
      case EM_SETCUEBANNER:
        cue_ = l ? reinterpret_cast<const char*>(l) : "";
        cueWhileFocused_ = w != 0;
        Repaint();
        return 1;
      case EM_GETCUEBANNER: return GetCue(reinterpret_cast<char*>(w), static_cast<size_t>(l));
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

 private:
  struct Snapshot {
    bool has = false;
    std::u16string text;
    size_t caret = 0;
    size_t anchor = 0;
  };

  bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
  size_t SelStart() const { return std::min(caret_, anchor_); }
  size_t SelEnd() const { return std::max(caret_, anchor_); }
  char16_t PasswordChar() const { return passwordChar_ ? passwordChar_ : (Style() & ES_PASSWORD) ? u'*' : 0; }

  // ---- text changes ----------------------------------------------------

  void MirrorWindowText() {
    mirroring_ = true;
    SetWindowText(Window(), Utf16ToUtf8(text_));
    mirroring_ = false;
  }

  void Changed() {
    modified_ = true;
    MirrorWindowText();
    ScrollToCaret();
    SendCommandNotify(Window(), EN_UPDATE);
    Repaint();
    UpdateWindow(Window());
    SendCommandNotify(Window(), EN_CHANGE);
  }

  LRESULT SetTextFromOutside(const char* text) {
    if (mirroring_) return 1;
    text_ = FirstLine(Utf8ToUtf16(text ? text : ""));
    caret_ = anchor_ = 0;
    scroll_ = 0;
    undo_.has = false;
    Changed();
    modified_ = false;
    return 1;
  }

  // Replaces the selection by `insert`, cut to what the limit leaves room
  // for (never half a character pair). EN_MAXTEXT when something was cut.
  void Replace(std::u16string insert, bool keepUndo) {
    const size_t kept = text_.size() - (SelEnd() - SelStart());
    const size_t room = limit_ > kept ? limit_ - kept : 0;
    if (insert.size() > room) {
      size_t n = room;
      if (n > 0 && IsLead(insert[n - 1])) --n;
      insert.resize(n);
      SendCommandNotify(Window(), EN_MAXTEXT);
    }
    if (insert.empty() && SelStart() == SelEnd()) return;
    if (keepUndo) undo_ = Snapshot{true, text_, caret_, anchor_};
    text_.replace(SelStart(), SelEnd() - SelStart(), insert);
    caret_ = anchor_ = SelStart() + insert.size();
    Changed();
  }

  LRESULT Undo() {
    if (!undo_.has) return 0;
    Snapshot previous{true, text_, caret_, anchor_};
    text_ = undo_.text;
    caret_ = undo_.caret;
    anchor_ = undo_.anchor;
    undo_ = previous;
    Changed();
    return 1;
  }

  void SetReadOnly(bool readOnly) {
    const DWORD style = readOnly ? Style() | ES_READONLY : Style() & ~ES_READONLY;
    SetWindowLongPtr(Window(), GWL_STYLE, style);
    Repaint();
  }

  // ---- keyboard ----------------------------------------------------------

  void Char(char16_t c) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    switch (c) {
      case 1: SetSel(0, -1); return;        // Ctrl+A
      case 3: Copy(); return;               // Ctrl+C
      case 22: Paste(); return;             // Ctrl+V
      case 24: Cut(); return;               // Ctrl+X
      case 26: Undo(); return;              // Ctrl+Z
      case VK_BACK: Backspace(control); return;
      default: break;
    }
    if (c < 32 || c == 127) return;
    if (ReadOnly()) {
      MessageBeep(MB_OK);
      return;
    }
    if (IsLead(c)) {
      pendingLead_ = c;
      return;
    }
    std::u16string insert(1, c);
    if (IsTrail(c)) {
      if (!pendingLead_) return;
      insert.insert(insert.begin(), pendingLead_);
    }
    pendingLead_ = 0;
    if ((Style() & ES_NUMBER) && !(c >= '0' && c <= '9')) {
      MessageBeep(MB_OK);
      return;
    }
    if ((Style() & ES_UPPERCASE) && c < 0x80) insert[0] = static_cast<char16_t>(std::towupper(c));
    if ((Style() & ES_LOWERCASE) && c < 0x80) insert[0] = static_cast<char16_t>(std::towlower(c));
    Replace(insert, true);
  }

  void Backspace(bool word) {
    if (ReadOnly()) {
      MessageBeep(MB_OK);
      return;
    }
    if (SelStart() == SelEnd()) {
      if (caret_ == 0) return;
      anchor_ = caret_;
      caret_ = word ? WordStartBefore(caret_) : Previous(caret_);
    }
    Replace(u"", true);
  }

  void KeyDown(int key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
      case VK_LEFT: MoveCaret(control ? WordStartBefore(caret_) : SelectionOr(shift, SelStart(), Previous(caret_)), shift); break;
      case VK_RIGHT: MoveCaret(control ? WordStartAfter(caret_) : SelectionOr(shift, SelEnd(), Next(caret_)), shift); break;
      case VK_HOME: MoveCaret(0, shift); break;
      case VK_END: MoveCaret(text_.size(), shift); break;
      case VK_DELETE:
        if (shift) Cut();
        else Delete();
        break;
      case VK_INSERT:
        if (control) Copy();
        else if (shift) Paste();
        break;
      default: break;
    }
  }

  // Without Shift, Left and Right first collapse a selection to its edge.
  size_t SelectionOr(bool shift, size_t edge, size_t step) const {
    return (!shift && SelStart() != SelEnd()) ? edge : step;
  }

  void Delete() {
    if (ReadOnly()) {
      MessageBeep(MB_OK);
      return;
    }
    if (SelStart() == SelEnd()) {
      if (caret_ >= text_.size()) return;
      anchor_ = Next(caret_);
    }
    Replace(u"", true);
  }

  size_t Previous(size_t at) const {
    if (at == 0) return 0;
    --at;
    if (at > 0 && IsTrail(text_[at]) && IsLead(text_[at - 1])) --at;
    return at;
  }
  size_t Next(size_t at) const {
    if (at >= text_.size()) return text_.size();
    ++at;
    if (at < text_.size() && IsTrail(text_[at]) && IsLead(text_[at - 1])) ++at;
    return at;
  }
  size_t WordStartBefore(size_t at) const {
    while (at > 0 && !IsWordChar(text_[at - 1])) --at;
    while (at > 0 && IsWordChar(text_[at - 1])) --at;
    return at;
  }
  size_t WordStartAfter(size_t at) const {
    while (at < text_.size() && IsWordChar(text_[at])) ++at;
    while (at < text_.size() && !IsWordChar(text_[at])) ++at;
    return at;
  }

  void MoveCaret(size_t to, bool extend) {
    caret_ = std::min(to, text_.size());
    if (!extend) anchor_ = caret_;
    ScrollToCaret();
    Repaint();
  }

  // ---- selection and clipboard -----------------------------------------

  LRESULT GetSel(DWORD* start, DWORD* end) const {
    if (start) *start = static_cast<DWORD>(SelStart());
    if (end) *end = static_cast<DWORD>(SelEnd());
    return MAKELPARAM(static_cast<int>(std::min<size_t>(SelStart(), 0xFFFF)),
                      static_cast<int>(std::min<size_t>(SelEnd(), 0xFFFF)));
  }

  void SetSel(int32_t start, int32_t end) {
    if (start < 0) {
      anchor_ = caret_;
    } else {
      const size_t length = text_.size();
      anchor_ = std::min(static_cast<size_t>(start), length);
      caret_ = end < 0 ? length : std::min(static_cast<size_t>(end), length);
    }
    ScrollToCaret();
    Repaint();
  }

  void Copy() {
    if (SelStart() == SelEnd() || PasswordChar()) return;
    SetClipboardText(Utf16ToUtf8(text_.substr(SelStart(), SelEnd() - SelStart())));
  }
  void Cut() {
    if (ReadOnly() || PasswordChar()) return;
    Copy();
    Replace(u"", true);
  }
  void Paste() {
    if (ReadOnly()) return;
    Replace(FirstLine(Utf8ToUtf16(GetClipboardText())), true);
  }

  LRESULT GetCue(char* buffer, size_t size) const {
    if (buffer == nullptr || size == 0) return 0;
    const std::string_view cut = TruncateUtf8(cue_, size - 1);
    std::copy(cut.begin(), cut.end(), buffer);
    buffer[cut.size()] = '\0';
    return 1;
  }

  // ---- mouse -------------------------------------------------------------

  void MouseDown(LPARAM l, bool word) {
    if (GetFocus() != Window()) SetFocus(Window());
    const size_t at = CharFromX(GET_X_LPARAM(l));
    if (word) {
      size_t start = at, end = at;
      while (start > 0 && IsWordChar(text_[start - 1])) --start;
      while (end < text_.size() && IsWordChar(text_[end])) ++end;
      anchor_ = start;
      MoveCaret(end, true);
      return;
    }
    MoveCaret(at, GetKeyState(VK_SHIFT) < 0);
    selecting_ = true;
    SetCapture(Window());
  }

  void MouseMove(LPARAM l) {
    if (!selecting_ || GetCapture() != Window()) return;
    MoveCaret(CharFromX(GET_X_LPARAM(l)), true);
  }

  void EndMouseSelect() {
    if (!selecting_) return;
    selecting_ = false;
    if (GetCapture() == Window()) ReleaseCapture();
  }

  void FocusChanged(bool focused) {
    focused_ = focused;
    if (!focused) EndMouseSelect();
    Repaint();
    SendCommandNotify(Window(), focused ? EN_SETFOCUS : EN_KILLFOCUS);
  }

  // ---- layout ------------------------------------------------------------

  std::u16string Shown() const {
    const char16_t mask = PasswordChar();
    return mask ? std::u16string(text_.size(), mask) : text_;
  }

  // x of each position 0..size (before scrolling and alignment), measured
  // again only after the shown text or the font changed.
  const std::vector<int>& Offsets() const {
    const std::u16string shown = Shown();
    if (measuredFont_ == Font() && measuredText_ == shown && !offsets_.empty()) return offsets_;
    offsets_ = Measure(shown);
    measuredText_ = shown;
    measuredFont_ = Font();
    return offsets_;
  }

  std::vector<int> Measure(const std::u16string& shown) const {
    std::vector<int> xs(shown.size() + 1, 0);
    HDC dc = GetDC(Window());
    if (dc == nullptr) return xs;
    HGDIOBJ old = SelectObject(dc, Font());
    for (size_t i = 1; i <= shown.size(); ++i) {
      if (i < shown.size() && IsTrail(shown[i]) && IsLead(shown[i - 1])) continue;
      SIZE size;
      GetTextExtentPoint32(dc, Utf16ToUtf8(std::u16string_view(shown).substr(0, i)), &size);
      xs[i] = size.cx;
      if (i >= 2 && IsTrail(shown[i - 1]) && IsLead(shown[i - 2])) xs[i - 1] = xs[i - 2];
    }
    SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    return xs;
  }

  int TextWidth() const {
    RECT r;
    GetClientRect(Window(), &r);
    return std::max(0, r.right - 2 * kMargin);
  }

  // Where position 0 is drawn, in client pixels.
  int Origin(const std::vector<int>& xs) const {
    const int room = TextWidth() - xs.back();
    if (room > 0 && (Style() & ES_RIGHT)) return kMargin + room - 1;
    if (room > 0 && (Style() & ES_CENTER)) return kMargin + room / 2;
    return kMargin - scroll_;
  }

  void ScrollToCaret() {
    const std::vector<int>& xs = Offsets();
    const int width = TextWidth();
    const int x = xs[std::min(caret_, text_.size())];
    if (xs.back() <= width) scroll_ = 0;
    else if (x - scroll_ > width - 1) scroll_ = x - width + 1;
    else if (x < scroll_) scroll_ = std::max(0, x - width / 3);
    scroll_ = std::clamp(scroll_, 0, std::max(0, xs.back() - width + 1));
  }

  size_t CharFromX(int x) const {
    const std::vector<int>& xs = Offsets();
    const int at = x - Origin(xs);
    size_t best = 0;
    for (size_t i = 0; i < xs.size(); ++i) {
      if (i > 0 && i < text_.size() && IsTrail(text_[i]) && IsLead(text_[i - 1])) continue;
      if (std::abs(xs[i] - at) < std::abs(xs[best] - at)) best = i;
    }
    return best;
  }

  LRESULT PosFromChar(size_t index) const {
    if (index > text_.size()) return -1;
    const std::vector<int>& xs = Offsets();
    return MAKELPARAM(Origin(xs) + xs[index], 1);
  }

  // ---- painting ----------------------------------------------------------

  void Paint() {
    PaintScope paint(*this);
    HDC dc = paint.dc();
    if (dc == nullptr) return;
    const bool grey = ReadOnly() || !IsWindowEnabled(Window());
    HBRUSH background = grey ? ParentBrush(Window(), dc, WM_CTLCOLORSTATIC, COLOR_BTNFACE)
                             : ParentBrush(Window(), dc, WM_CTLCOLOREDIT, COLOR_WINDOW);
    if (!IsWindowEnabled(Window())) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    FillRect(dc, &paint.client(), background);
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    const int top = 1;
    RECT area{kMargin, 0, paint.client().right - kMargin, paint.client().bottom};
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    if (text_.empty() && !cue_.empty() && (!focused_ || cueWhileFocused_)) {
      const COLORREF text = GetTextColor(dc);
      SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      TextOut(dc, kMargin, top, cue_);
      SetTextColor(dc, text);
    }
    const std::vector<int>& xs = Offsets();
    const int origin = Origin(xs);
    const std::u16string shown = Shown();
    TextOut(dc, origin, top, Utf16ToUtf8(shown));
    const bool showSelection = focused_ || (Style() & ES_NOHIDESEL);
    if (showSelection && SelStart() != SelEnd()) {
      RECT band{origin + xs[SelStart()], top, origin + xs[SelEnd()], top + metrics.tmHeight};
      FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      const std::string selected = Utf16ToUtf8(std::u16string_view(shown).substr(SelStart(), SelEnd() - SelStart()));
      TextOut(dc, band.left, top, selected);
    }
    if (focused_) {
      RECT caret{origin + xs[caret_], top, origin + xs[caret_] + 1, top + metrics.tmHeight};
      InvertRect(dc, &caret);
    }
  }

  std::u16string text_;
  size_t caret_ = 0;
  size_t anchor_ = 0;
  size_t limit_ = kEditMaxLimit;
  int scroll_ = 0;
  bool focused_ = false;
  bool selecting_ = false;
  bool modified_ = false;
  bool mirroring_ = false;
  bool cueWhileFocused_ = false;
  char16_t passwordChar_ = 0;
  char16_t pendingLead_ = 0;
  std::string cue_;
  Snapshot undo_;
  mutable std::vector<int> offsets_;
  mutable std::u16string measuredText_;
  mutable HFONT measuredFont_ = nullptr;
};

}  // namespace

void RegisterEditClass() { RegisterControlClass<Edit>(WC_EDIT, CS_DBLCLKS, IDC_IBEAM); }

}  // namespace qelo::win::controls
