// Progress bars: a range, a position kept inside it and a step; drawn as
// blocks, or as one band with PBS_SMOOTH, from the left (or the bottom).
#include "win/controls/progress.h"

#include <algorithm>
#include <utility>

#include "controls/control.h"

namespace qelo::win::controls {
namespace {

constexpr COLORREF kSystemColor = 0xFF000000;  // the common controls' CLR_DEFAULT

class Progress : public ControlBase {
 public:
  using ControlBase::ControlBase;

  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case PBM_SETRANGE:
        return SetRange(LOWORD(static_cast<uintptr_t>(l)), HIWORD(static_cast<uintptr_t>(l)));
      case PBM_SETRANGE32: return SetRange(static_cast<int32_t>(w), static_cast<int32_t>(l));
      case PBM_GETRANGE: return GetRange(w != 0, reinterpret_cast<PBRANGE*>(l));
      case PBM_SETPOS: return SetPos(static_cast<int32_t>(w));
      case PBM_DELTAPOS: return SetPos(static_cast<int64_t>(pos_) + static_cast<int32_t>(w));
      case PBM_GETPOS: return pos_;
      case PBM_SETSTEP: return std::exchange(step_, static_cast<int32_t>(w));
      case PBM_STEPIT: return StepIt();
      case PBM_SETBARCOLOR: Repaint(); return static_cast<LRESULT>(std::exchange(bar_, static_cast<COLORREF>(l)));
      case PBM_SETBKCOLOR: Repaint(); return static_cast<LRESULT>(std::exchange(back_, static_cast<COLORREF>(l)));
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

 private:
  LRESULT SetRange(int32_t low, int32_t high) {
    const LRESULT old = MAKELPARAM(low_, high_);
    low_ = low;
    high_ = high;
    SetPos(pos_);
    Repaint();
    return old;
  }

  LRESULT GetRange(bool low, PBRANGE* out) const {
    if (out) *out = PBRANGE{low_, high_};
    return low ? low_ : high_;
  }

  int32_t Clamp(int64_t pos) const {
    return static_cast<int32_t>(std::clamp<int64_t>(pos, std::min(low_, high_), std::max(low_, high_)));
  }

  LRESULT SetPos(int64_t pos) {
    const int32_t old = pos_;
    pos_ = Clamp(pos);
    if (pos_ != old) Repaint();
    return old;
  }

  // A step past the end starts over from the other end (in 64 bits, so a
  // large step or range cannot overflow).
  LRESULT StepIt() {
    const int32_t old = pos_;
    const int64_t span = static_cast<int64_t>(high_) - low_;
    int64_t next = static_cast<int64_t>(pos_) + step_;
    if (span > 0 && (next > high_ || next < low_)) next = low_ + (((next - low_) % span) + span) % span;
    pos_ = Clamp(next);
    Repaint();
    return old;
  }

  COLORREF Chosen(COLORREF value, int system) const { return value == kSystemColor ? GetSysColor(system) : value; }

  void Paint() {
    PaintScope paint(*this);
    HDC dc = paint.dc();
    if (dc == nullptr) return;
    RECT r = paint.client();
    HBRUSH back = CreateSolidBrush(Chosen(back_, COLOR_BTNFACE));
    FillRect(dc, &r, back);
    DeleteObject(back);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    InflateRect(&r, -1, -1);
    const int64_t span = static_cast<int64_t>(high_) - low_;
    if (span <= 0 || IsRectEmpty(&r)) return;
    const bool vertical = (Style() & PBS_VERTICAL) != 0;
    const int length = vertical ? r.bottom - r.top : r.right - r.left;
    const int filled = static_cast<int>(length * (static_cast<int64_t>(pos_) - low_) / span);
    HBRUSH bar = CreateSolidBrush(Chosen(bar_, COLOR_HIGHLIGHT));
    const int thickness = vertical ? r.right - r.left : r.bottom - r.top;
    const int block = (Style() & PBS_SMOOTH) ? filled : std::max(2, thickness * 2 / 3);
    const int gap = (Style() & PBS_SMOOTH) ? 0 : 2;
    for (int at = 0; at < filled; at += block + gap) {
      const int end = std::min(filled, at + block);
      RECT piece = vertical ? RECT{r.left, r.bottom - end, r.right, r.bottom - at}
                            : RECT{r.left + at, r.top, r.left + end, r.bottom};
      FillRect(dc, &piece, bar);
    }
    DeleteObject(bar);
  }

  int32_t low_ = 0;
  int32_t high_ = 100;
  int32_t pos_ = 0;
  int32_t step_ = 10;
  COLORREF bar_ = kSystemColor;
  COLORREF back_ = kSystemColor;
};

}  // namespace

void RegisterProgressClass() { RegisterControlClass<Progress>(PROGRESS_CLASS, 0); }

}  // namespace qelo::win::controls
