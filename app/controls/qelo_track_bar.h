// TQeloTrackBar: the seek bar of the main window and the trim bar of the
// edit window. A thumb shows and sets a position in 0..Max; two markers and
// the fill between them show and set a clip range. Everything is drawn from
// six pictures the form supplies, stretched into their part rectangles.
//
// The bar's window is not made transparent (WS_EX_TRANSPARENT): the window
// system lets the pointer pass through transparent windows, and the bar must
// take the mouse. It paints its whole area itself (ColorBG, BitmapBG).
#pragma once

#include <cstdint>
#include <functional>

#include "vcl/controls/controls.h"
#include "vcl/graphics/picture.h"

namespace qelo::controls {

using TNotifyChangeEvent = std::function<void(vcl::TObject* sender, int64_t value)>;

class TQeloTrackBar : public vcl::TCustomControl {
  QELO_VCL_CLASS()
 public:
  // What a press of the left button took hold of.
  enum TDragPart { dpTrack = 0, dpStart = 1, dpEnd = 2, dpBackground = 3, dpNone = 4 };

  explicit TQeloTrackBar(vcl::TComponent* owner);
  ~TQeloTrackBar() override;

  // The pictures; a change of any repaints.
  vcl::TPicture* BitmapTrack() const { return track_; }
  vcl::TPicture* BitmapBG() const { return bg_; }
  vcl::TPicture* BitmapStart() const { return start_; }
  vcl::TPicture* BitmapEnd() const { return end_; }
  vcl::TPicture* BitmapClip() const { return clip_; }
  vcl::TPicture* BitmapClipBG() const { return clipBg_; }

  int SpaceTrack() const { return spaceTrack_; }
  void SetSpaceTrack(int value);
  int SpaceBG() const { return spaceBg_; }
  void SetSpaceBG(int value);
  int SpaceStart() const { return spaceStart_; }
  void SetSpaceStart(int value);
  int ClipHeight() const { return clipHeight_; }
  void SetClipHeight(int value);
  int ClipSpace() const { return clipSpace_; }
  void SetClipSpace(int value);
  bool CutVisible() const { return cutVisible_; }
  void SetCutVisible(bool value);
  vcl::TColor ColorBG() const { return colorBg_; }
  void SetColorBG(vcl::TColor value);
  bool UseColorBg() const { return useColorBg_; }
  void SetUseColorBg(bool value);

  // Kept within 0..Max; the event fires after every change, by any cause.
  int64_t Position() const { return position_; }
  void SetPosition(int64_t value);
  // Kept within 0..EndPos.
  int64_t StartPos() const { return startPos_; }
  void SetStartPos(int64_t value);
  // Kept within StartPos..Max.
  int64_t EndPos() const { return endPos_; }
  void SetEndPos(int64_t value);
  // Clamps nothing: a position above a lowered Max stays until next set.
  int64_t Max() const { return max_; }
  void SetMax(int64_t value);

  // x of value 0: the start marker's width while it is shown, else half the
  // thumb's.
  int TrackMargin() const;
  // Where `picture` (one of the six) is drawn; empty for any other.
  vcl::TRect GetPartRect(const vcl::TPicture* picture) const;
  // The value under x; 0 while the bar has no range (Max 0, or no wider
  // than its two margins).
  int64_t ValueAt(int x) const;
  TDragPart DragPart() const { return dragPart_; }

  TNotifyChangeEvent OnTrackChange;
  TNotifyChangeEvent OnSetStartChange;
  TNotifyChangeEvent OnSetEndChange;

 protected:
  void Paint() override;
  void Dispatch(vcl::TMessage& message) override;

 private:
  // f(v): the offset of value v from the margin; 0 while Max is 0.
  int Offset(int64_t value) const;
  void LeftButtonDown(int x, int y);
  void DragTo(int x);
  void LeftButtonUp();
  template <class T>
  void Store(T& field, T value);

  vcl::TPicture* track_;
  vcl::TPicture* bg_;
  vcl::TPicture* start_;
  vcl::TPicture* end_;
  vcl::TPicture* clip_;
  vcl::TPicture* clipBg_;
  int spaceTrack_ = 0;
  int spaceBg_ = 10;
  int spaceStart_ = 0;
  int64_t startPos_ = 0;
  int64_t endPos_ = 100;
  int64_t position_ = 0;
  int64_t max_ = 1000;
  bool cutVisible_ = true;
  int clipHeight_ = 8;
  int clipSpace_ = 5;
  vcl::TColor colorBg_ = 0;
  bool useColorBg_ = true;
  TDragPart dragPart_ = dpNone;
  bool dragging_ = false;
};

}  // namespace qelo::controls
