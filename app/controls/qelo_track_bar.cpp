#include "qelo_track_bar.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "png_parts.h"

namespace qelo::controls {

using namespace vcl;

namespace {

// Rounds half to even into 64 bits, saturating far outside the range.
int64_t RoundToInt64(double value) {
  const double r = std::nearbyint(value);
  if (!(r > -9.2e18)) return std::numeric_limits<int64_t>::min();
  if (!(r < 9.2e18)) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(r);
}

// Offsets far outside the bar (a position left above a lowered Max) stay
// small enough for rectangle arithmetic.
constexpr double kFarAway = 1 << 28;

}  // namespace

const ClassInfo& TQeloTrackBar::StaticClass() {
  using T = TQeloTrackBar;
  static const ClassInfo info = [] {
    ClassBuilder<T> builder("TQeloTrackBar", TCustomControl::StaticClass());
    // Form files name the pictures by their resource names.
    const std::pair<const char*, TPicture* T::*> pictures[] = {
        {"BitmapTrack", &T::track_}, {"BitmapBG", &T::bg_},     {"BitmapStart", &T::start_},
        {"BitmapEnd", &T::end_},     {"BitmapClip", &T::clip_}, {"BitmapClipBG", &T::clipBg_}};
    for (const auto& [name, member] : pictures) {
      builder.Image(
          name, [member](const T& t) { return (t.*member)->ResourceName(); },
          [member](T& t, const std::string& resource) { (t.*member)->SetResourceName(resource); });
    }
    return builder.Integer("SpaceTrack", &T::SpaceTrack, &T::SetSpaceTrack)
        .Integer("SpaceBG", &T::SpaceBG, &T::SetSpaceBG)
        .Integer("SpaceStart", &T::SpaceStart, &T::SetSpaceStart)
        .Integer("StartPos", &T::StartPos, &T::SetStartPos)
        .Integer("EndPos", &T::EndPos, &T::SetEndPos)
        .Integer("Position", &T::Position, &T::SetPosition)
        .Integer("Max", &T::Max, &T::SetMax)
        .Boolean("CutVisible", &T::CutVisible, &T::SetCutVisible)
        .Integer("ClipHeight", &T::ClipHeight, &T::SetClipHeight)
        .Integer("ClipSpace", &T::ClipSpace, &T::SetClipSpace)
        .Color("ColorBG", &T::ColorBG, &T::SetColorBG)
        .Boolean("UseColorBg", &T::UseColorBg, &T::SetUseColorBg)
        .Event("OnTrackChange", &T::OnTrackChange)
        .Event("OnSetStartChange", &T::OnSetStartChange)
        .Event("OnSetEndChange", &T::OnSetEndChange)
        .Done();
  }();
  return info;
}

TQeloTrackBar::TQeloTrackBar(TComponent* owner)
    : TCustomControl(owner),
      track_(new TPicture),
      bg_(new TPicture),
      start_(new TPicture),
      end_(new TPicture),
      clip_(new TPicture),
      clipBg_(new TPicture) {
  SetDoubleBuffered(true);
  SetParentColor(false);
  SetBounds(0, 0, 200, 24);
  for (TPicture* p : {track_, bg_, start_, end_, clip_, clipBg_}) p->OnChange = [this](TObject*) { Invalidate(); };
}

TQeloTrackBar::~TQeloTrackBar() {
  for (TPicture* p : {track_, bg_, start_, end_, clip_, clipBg_}) delete p;
}

template <class T>
void TQeloTrackBar::Store(T& field, T value) {
  if (field == value) return;
  field = value;
  Invalidate();
}

void TQeloTrackBar::SetSpaceTrack(int value) { Store(spaceTrack_, value); }
void TQeloTrackBar::SetSpaceBG(int value) { Store(spaceBg_, value); }
void TQeloTrackBar::SetSpaceStart(int value) { Store(spaceStart_, value); }
void TQeloTrackBar::SetClipHeight(int value) { Store(clipHeight_, value); }
void TQeloTrackBar::SetClipSpace(int value) { Store(clipSpace_, value); }
void TQeloTrackBar::SetCutVisible(bool value) { Store(cutVisible_, value); }
void TQeloTrackBar::SetUseColorBg(bool value) { Store(useColorBg_, value); }

void TQeloTrackBar::SetColorBG(TColor value) {
  colorBg_ = value;
  Invalidate();
}

void TQeloTrackBar::SetPosition(int64_t value) {
  if (value < 0) value = 0;
  if (value > max_) value = max_;
  if (value == position_) return;
  position_ = value;
  Invalidate();
  if (OnTrackChange) OnTrackChange(this, value);
}

void TQeloTrackBar::SetStartPos(int64_t value) {
  if (value < 0) value = 0;
  if (value > endPos_) value = endPos_;
  if (value == startPos_) return;
  startPos_ = value;
  Invalidate();
  if (OnSetStartChange) OnSetStartChange(this, value);
}

void TQeloTrackBar::SetEndPos(int64_t value) {
  if (value < startPos_) value = startPos_;
  if (value > max_) value = max_;
  if (value == endPos_) return;
  endPos_ = value;
  Invalidate();
  if (OnSetEndChange) OnSetEndChange(this, value);
}

void TQeloTrackBar::SetMax(int64_t value) { Store(max_, value); }

int TQeloTrackBar::TrackMargin() const {
  if (cutVisible_ && start_->Graphic() && !start_->Graphic()->Empty()) return start_->Width();
  return RoundHalfEven(track_->Width() / 2.0);
}

int TQeloTrackBar::Offset(int64_t value) const {
  if (max_ == 0) return 0;
  const double usable = Width() - 2.0 * TrackMargin();
  const double offset = std::nearbyint(usable * static_cast<double>(value) / static_cast<double>(max_));
  return static_cast<int>(std::clamp(offset, -kFarAway, kFarAway));
}

TRect TQeloTrackBar::GetPartRect(const TPicture* picture) const {
  const int m = TrackMargin();
  const int w = Width();
  const int pw = picture->Width(), ph = picture->Height();
  if (picture == bg_) return Rect(0, 0, w, ph);
  if (picture == clipBg_) return Rect(m, spaceBg_, w - m, spaceBg_ + ph);
  if (picture == track_) {
    const int left = m + Offset(position_) - RoundHalfEven(pw / 2.0);
    return Rect(left, spaceTrack_, left + pw, spaceTrack_ + ph);
  }
  if (picture == start_) {
    const int left = Offset(startPos_);
    return Rect(left, spaceStart_, left + pw, spaceStart_ + ph);
  }
  if (picture == end_) {
    const int left = m + Offset(endPos_);
    return Rect(left, spaceStart_, left + pw, spaceStart_ + ph);
  }
  if (picture == clip_) {
    if (cutVisible_) return Rect(m + Offset(startPos_), clipSpace_, m + Offset(endPos_), clipSpace_ + clipHeight_);
    return Rect(m, clipSpace_, m + Offset(position_), clipSpace_ + clipHeight_);
  }
  return Rect(0, 0, 0, 0);
}

int64_t TQeloTrackBar::ValueAt(int x) const {
  const int m = TrackMargin();
  const int usable = Width() - 2 * m;
  if (usable <= 0 || max_ == 0) return 0;
  return RoundToInt64(static_cast<double>(max_) * (x - m) / usable);
}

void TQeloTrackBar::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.Pen()->SetStyle(psClear);
  canvas.Brush()->SetColor(0);
  canvas.Brush()->SetStyle(bsClear);
  if (useColorBg_) {
    canvas.Brush()->SetColor(colorBg_);
    canvas.FillRect(ClientRect());
  }
  for (TPicture* p : {bg_, clipBg_, clip_, start_, end_, track_}) {
    if ((p == start_ || p == end_) && !cutVisible_) continue;
    if (p->Graphic() && !p->Graphic()->Empty()) canvas.StretchDraw(GetPartRect(p), p->Graphic());
  }
}

void TQeloTrackBar::LeftButtonDown(int x, int y) {
  dragging_ = true;
  win::SetCapture(Handle());
  const TPoint point = Point(x, y);
  const auto hits = [&](TPicture* p) {
    const TRect r = GetPartRect(p);
    return win::PtInRect(&r, point);
  };
  // The markers are usable only while they are shown.
  if (hits(track_)) {
    dragPart_ = dpTrack;
  } else if (cutVisible_ && hits(start_)) {
    dragPart_ = dpStart;
  } else if (cutVisible_ && hits(end_)) {
    dragPart_ = dpEnd;
  } else if (hits(bg_)) {
    dragPart_ = dpBackground;
    SetPosition(ValueAt(x));
  }
}

void TQeloTrackBar::DragTo(int x) {
  if (!dragging_) return;
  const int64_t v = ValueAt(x);
  switch (dragPart_) {
    case dpTrack: SetPosition(v); break;
    case dpStart:
      SetStartPos(v);
      SetPosition(v);
      break;
    case dpEnd:
      SetPosition(v);
      SetEndPos(v);
      break;
    default: break;
  }
}

void TQeloTrackBar::LeftButtonUp() {
  if (win::GetCapture() == WindowHandle()) win::ReleaseCapture();
  dragging_ = false;
  dragPart_ = dpNone;
}

void TQeloTrackBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_LBUTTONDOWN: LeftButtonDown(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)); break;
    case win::WM_MOUSEMOVE: DragTo(win::GET_X_LPARAM(m.LParam)); break;
    case win::WM_LBUTTONUP: LeftButtonUp(); break;
    default: break;
  }
  TCustomControl::Dispatch(m);
}

}  // namespace qelo::controls
