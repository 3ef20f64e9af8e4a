// Status bars: they keep themselves along the bottom of the parent (each
// WM_SIZE they get, as the parent passes its own on), hold up to 256 parts
// with their texts and kinds, a simple line, and a size grip that sizes the
// top-level window.
#include "win/controls/statusbar.h"

#include <algorithm>
#include <vector>

#include "controls/control.h"

namespace qelo::win::controls {
namespace {

constexpr int kBorder = 2;  // above the parts
constexpr int kGap = 2;     // between parts

struct Part {
  int32_t right = -1;
  std::string text;
  UINT type = 0;
  LPARAM data = 0;  // owner-drawn parts
};

class StatusBar : public ControlBase {
 public:
  using ControlBase::ControlBase;

  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override {
    LRESULT result = 0;
    if (HandleFont(message, w, l, &result)) {
      if (message == WM_SETFONT) Align();
      return result;
    }
    switch (message) {
      case WM_CREATE: parts_.resize(1); Align(); return 0;
      case WM_SIZE: Align(); return 0;
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_SETTEXT: SetText(0, reinterpret_cast<const char*>(l), 0); return 1;
      case WM_NCHITTEST: return HitTest(l);
      case WM_NCLBUTTONDOWN:
        if (w == HTBOTTOMRIGHT) return SendMessage(GetAncestor(Window(), GA_ROOT), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, l);
        return DefWindowProc(Window(), message, w, l);
      case WM_LBUTTONUP: MouseNotify(NM_CLICK, l); return 0;
      case WM_LBUTTONDBLCLK: MouseNotify(NM_DBLCLK, l); return 0;
      case WM_RBUTTONUP: MouseNotify(NM_RCLICK, l); return 0;
      case SB_SETPARTS: return SetParts(static_cast<int>(w), reinterpret_cast<const int32_t*>(l));
      case SB_GETPARTS: return GetParts(static_cast<int>(w), reinterpret_cast<int32_t*>(l));
      case SB_SETTEXT: return SetText(w & 0xFF, reinterpret_cast<const char*>(l), static_cast<UINT>(w & 0xFF00), l);
      case SB_GETTEXT: return GetText(w & 0xFF, reinterpret_cast<char*>(l));
      case SB_GETTEXTLENGTH: return GetText(w & 0xFF, nullptr);
      case SB_GETBORDERS: {
        if (l == 0) return 0;
        auto* borders = reinterpret_cast<int32_t*>(l);
        borders[0] = 0;
        borders[1] = kBorder;
        borders[2] = kGap;
        return 1;
      }
      case SB_SETMINHEIGHT: minHeight_ = static_cast<int>(w); Align(); return 0;
      case SB_SIMPLE:
        simple_ = w != 0;
        Repaint();
        return 0;
      case SB_ISSIMPLE: return simple_ ? 1 : 0;
      case SB_GETRECT: return GetRect(static_cast<int>(w), reinterpret_cast<RECT*>(l));
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

 private:
  Part* PartAt(WPARAM index) {
    if (index == SB_SIMPLEID) return &simplePart_;
    return index < parts_.size() ? &parts_[index] : nullptr;
  }

  int Height() const { return std::max(FontHeight() + 2 * kBorder + 4, minHeight_ + 2 * kBorder); }

  // Along the bottom (or top) of the parent, its full width.
  void Align() {
    if (aligning_ || (Style() & (CCS_NORESIZE | CCS_NOPARENTALIGN))) return;
    HWND parent = GetParent(Window());
    if (parent == nullptr) return;
    RECT area;
    GetClientRect(parent, &area);
    const int height = Height();
    const int top = (Style() & CCS_BOTTOM) == CCS_TOP ? 0 : area.bottom - height;
    aligning_ = true;
    SetWindowPos(Window(), nullptr, 0, top, area.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
    aligning_ = false;
    Repaint();
  }

  bool HasGrip() const {
    if (!(Style() & SBARS_SIZEGRIP)) return false;
    HWND root = GetAncestor(Window(), GA_ROOT);
    return root && (GetWindowLongPtr(root, GWL_STYLE) & WS_THICKFRAME);
  }

  RECT GripRect() const {
    RECT c;
    GetClientRect(Window(), &c);
    const int size = GetSystemMetrics(SM_CXVSCROLL);
    return RECT{c.right - size, c.bottom - size, c.right, c.bottom};
  }

  LRESULT HitTest(LPARAM screen) {
    POINT p{GET_X_LPARAM(screen), GET_Y_LPARAM(screen)};
    ScreenToClient(Window(), &p);
    const RECT grip = GripRect();
    if (HasGrip() && PtInRect(&grip, p)) return HTBOTTOMRIGHT;
    return DefWindowProc(Window(), WM_NCHITTEST, 0, screen);
  }

  LRESULT SetParts(int count, const int32_t* rights) {
    if (count <= 0 || count > kStatusMaxParts || rights == nullptr) return 0;
    parts_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) parts_[i].right = rights[i];
    Repaint();
    return 1;
  }

  LRESULT GetParts(int capacity, int32_t* out) const {
    if (out)
      for (int i = 0; i < capacity && i < static_cast<int>(parts_.size()); ++i) out[i] = parts_[i].right;
    return static_cast<LRESULT>(parts_.size());
  }

  LRESULT SetText(WPARAM index, const char* text, UINT type, LPARAM data = 0) {
    Part* part = PartAt(index);
    if (part == nullptr) return 0;
    part->type = type;
    part->data = data;
    part->text = (type & SBT_OWNERDRAW) || text == nullptr ? "" : text;
    RECT r;
    if (GetRect(static_cast<int>(index), &r)) InvalidateRect(Window(), &r, 0);
    else Repaint();
    return 1;
  }

  LRESULT GetText(WPARAM index, char* out) {
    Part* part = PartAt(index);
    if (part == nullptr) return 0;
    if (out) {
      std::copy(part->text.begin(), part->text.end(), out);
      out[part->text.size()] = '\0';
    }
    return MAKELPARAM(static_cast<int>(part->text.size()), static_cast<int>(part->type));
  }

  LRESULT GetRect(int index, RECT* out) const {
    if (out == nullptr || index < 0 || index >= static_cast<int>(parts_.size())) return 0;
    RECT c;
    GetClientRect(Window(), &c);
    const int end = c.right - (HasGrip() ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    int left = 0;
    for (int i = 0; i <= index; ++i) {
      const int right = parts_[i].right < 0 ? end : std::min<int>(parts_[i].right, c.right);
      if (i == index) {
        *out = RECT{left, kBorder, std::max(left, right), c.bottom};
        return 1;
      }
      left = std::max(left, right) + kGap;
    }
    return 0;
  }

  int PartUnder(POINT p) const {
    if (simple_) return static_cast<int>(SB_SIMPLEID);
    for (int i = 0; i < static_cast<int>(parts_.size()); ++i) {
      RECT r;
      if (GetRect(i, &r) && p.x >= r.left && p.x < r.right) return i;
    }
    return -1;
  }

  void MouseNotify(UINT code, LPARAM l) {
    NMMOUSE mouse;
    mouse.pt = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    const int part = PartUnder(mouse.pt);
    mouse.dwItemSpec = static_cast<UINT_PTR>(part < 0 ? -1 : part);
    SendNotify(Window(), code, &mouse.hdr);
  }

  void Paint() {
    PaintScope paint(*this);
    HDC dc = paint.dc();
    if (dc == nullptr) return;
    FillRect(dc, &paint.client(), GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    if (simple_) {
      RECT r{0, kBorder, paint.client().right, paint.client().bottom};
      PaintPart(dc, SB_SIMPLEID, simplePart_, r);
    } else {
      for (size_t i = 0; i < parts_.size(); ++i) {
        RECT r;
        if (GetRect(static_cast<int>(i), &r)) PaintPart(dc, i, parts_[i], r);
      }
    }
    if (HasGrip()) PaintGrip(dc);
  }

  void PaintPart(HDC dc, WPARAM index, const Part& part, RECT r) {
    if (!(part.type & SBT_NOBORDERS))
      DrawEdge(dc, &r, (part.type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (part.type & SBT_OWNERDRAW) {
      DRAWITEMSTRUCT item;
      item.CtlID = Id();
      item.itemID = static_cast<UINT>(index);
      item.itemAction = ODA_DRAWENTIRE;
      item.hwndItem = Window();
      item.hDC = dc;
      item.rcItem = r;
      item.itemData = static_cast<UINT_PTR>(part.data);
      if (HWND parent = GetParent(Window())) SendMessage(parent, WM_DRAWITEM, Id(), reinterpret_cast<LPARAM>(&item));
      return;
    }
    // Leading tabs centre (one) or right-align (two) the text.
    std::string_view text = part.text;
    unsigned align = DT_LEFT;
    if (text.starts_with("\t\t")) {
      align = DT_RIGHT;
      text.remove_prefix(2);
    } else if (text.starts_with('\t')) {
      align = DT_CENTER;
      text.remove_prefix(1);
    }
    InflateRect(&r, -2, 0);
    DrawText(dc, text, &r, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  // Three diagonal ridges in the corner.
  void PaintGrip(HDC dc) {
    const RECT g = GripRect();
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = SelectObject(dc, dark);
    for (int k = 2; k < g.right - g.left; k += 4) {
      for (int line = 0; line < 2; ++line) {
        SelectObject(dc, line == 0 ? dark : light);
        const int d = k + line;
        MoveToEx(dc, g.right - 1, g.bottom - 1 - d, nullptr);
        LineTo(dc, g.right - 1 - d, g.bottom - 1);
      }
    }
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
  }

  std::vector<Part> parts_;
  Part simplePart_;
  bool simple_ = false;
  bool aligning_ = false;
  int minHeight_ = 0;
};

}  // namespace

void RegisterStatusBarClass() { RegisterControlClass<StatusBar>(STATUSCLASSNAME, CS_DBLCLKS); }

}  // namespace qelo::win::controls
