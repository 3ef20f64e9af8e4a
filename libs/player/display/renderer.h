// Shows frames in the player window through drawing surfaces: a primary
// surface clipped to the window, a back surface of the window's size on which
// the picture is composed, and one off-screen surface per pane at the frame's
// size, made over the frame's own pixels where the drawing surfaces allow
// it, so a frame shown as it is is not copied to be shown.
#pragma once

#include <memory>

#include "ddraw/ddraw.h"
#include "qelo/media.h"
#include "win/window/window.h"

namespace qelo::player {

class DDrawRenderer {
 public:
  // Sets the surfaces up for `window`; logs the step that failed and returns
  // null then.
  static std::unique_ptr<DDrawRenderer> Create(win::HWND window, int windowWidth, int windowHeight,
                                               bool twoPane);
  ~DDrawRenderer();
  DDrawRenderer(const DDrawRenderer&) = delete;
  DDrawRenderer& operator=(const DDrawRenderer&) = delete;

  // The frame size, then the pane rectangles for it (logs both sizes).
  void SetVideoSize(int width, int height);
  void LayoutPanes(bool twoPane);

  bool PresentOnePane(const VideoFrame& frame);
  bool PresentTwoPanes(const VideoFrame& first, const VideoFrame& second);
  // The background alone (and the gap between two panes): a file without
  // pictures.
  bool PresentBlank();

  const win::RECT& paneRect1() const { return paneRect1_; }
  const win::RECT& paneRect2() const { return paneRect2_; }

 private:
  DDrawRenderer(win::HWND window, int windowWidth, int windowHeight, bool twoPane);
  bool InitDirectDraw();
  // A pane's surface and the frame pixels it was made over (null: its own
  // pixels, which each frame is copied into).
  struct VideoSurface {
    ddraw::IDirectDrawSurface7* surface = nullptr;
    const uint8_t* over = nullptr;
  };
  bool UpdateVideoSurface(VideoSurface* target, const VideoFrame& frame);
  bool CreateVideoSurface(VideoSurface* target, const VideoFrame& frame);
  // The background (and the gap between two panes): around the panes'
  // pictures, or everywhere.
  bool FillBack(bool withGap, bool aroundPictures);
  bool BlitToScreen();

  ddraw::IDirectDraw7* directDraw_ = nullptr;
  ddraw::IDirectDrawSurface7* primarySurface_ = nullptr;
  ddraw::IDirectDrawSurface7* backSurface_ = nullptr;
  ddraw::IDirectDrawClipper* clipper_ = nullptr;
  VideoSurface videoSurface1_, videoSurface2_;
  win::HWND window_;
  int windowWidth_, windowHeight_;
  win::RECT screenRect_{};
  int videoWidth_ = 0, videoHeight_ = 0;
  bool twoPane_;
  win::RECT paneRect1_{}, paneRect2_{};
  win::HBRUSH blackBrush_ = nullptr;
  win::HBRUSH gapBrush_ = nullptr;
};

}  // namespace qelo::player
