// The picture half of a player instance: pane layout, frames, renderer, crop
// editor, watermark layer and idle pictures, composed into what the window
// shows, and the mouse editing of the crop and the watermark.
//
// The player core owns one per instance and calls every member with the
// instance lock held (the display has no lock of its own). Members that touch
// the window run on the instance's window thread; the crop and watermark
// setters may run on the host's thread.
#pragma once

#include <memory>
#include <string>

#include "crop_editor.h"
#include "frame_set.h"
#include "gdiplus/bitmap.h"
#include "gdiplus/brush.h"
#include "pane_geometry.h"
#include "renderer.h"
#include "watermark_layer.h"
#include "win/window/window.h"

namespace qelo::player {

// What a mouse edit needs from the instance.
struct EditContext {
  win::HWND notifyWindow = nullptr;  // host window for WM_PLAYER_*; null: none
  bool playing = false;              // a playing instance repaints on its next frame
};

class PlayerDisplay {
 public:
  PlayerDisplay(bool twoPane, int windowWidth, int windowHeight);
  ~PlayerDisplay();
  PlayerDisplay(const PlayerDisplay&) = delete;
  PlayerDisplay& operator=(const PlayerDisplay&) = delete;

  const PaneLayout& layout() const { return layout_; }
  // The frame size the reader should decode at (see PaneLayout).
  win::SIZE DecodeSize() const { return layout_.DecodeSize(); }

  // Window thread: sets the renderer up for the instance window (logging
  // what failed; the display then only invalidates), and frees it when the
  // thread ends.
  void CreateRenderer(win::HWND window);
  void FreeRenderer();
  bool HasRenderer() const { return renderer_ != nullptr; }
  win::HWND window() const { return window_; }

  // A file with video was opened: frames of frameWidth x frameHeight (the
  // decoded size), source display size for the host messages. Allocates the
  // frames, lays the picture, crop, watermark and renderer panes out.
  bool OpenVideo(int frameWidth, int frameHeight, int32_t bufferSize, int sourceWidth, int sourceHeight);
  // The file was closed: drops the bitmaps, resets crop and watermark.
  void CloseVideo();
  // Instance teardown: frees the frame buffers too.
  void FreeFrames();

  FrameSet& frames() { return frames_; }
  const FrameSet& frames() const { return frames_; }
  // After each frame taken into frames().decodedFrame(): the copies the frame
  // hook (`forHook`) and the second pane work on.
  void CopyFramePanes(bool forHook) { frames_.CopyFramePanes(forHook || layout_.twoPane, layout_.twoPane); }

  // The frame hook makes the second pane's whole picture (see
  // QELO_HOOK_DRAWS_OUTPUT).
  void SetHookDrawsOutput(bool draws) { hookDrawsOutput_ = draws; }

  CropEditor& crop() { return crop_; }
  const CropEditor& crop() const { return crop_; }
  WatermarkLayer& watermark() { return watermark_; }
  const WatermarkLayer& watermark() const { return watermark_; }

  const gdiplus::RectF& videoRect() const { return videoRects_.videoRect; }
  const gdiplus::RectF& videoRect2() const { return videoRects_.videoRect2; }
  int sourceWidth() const { return sourceWidth_; }
  int sourceHeight() const { return sourceHeight_; }

  // WM_PLAYWND_CROP_CHANGED and every crop change.
  void UpdateCropGeometry();
  // WM_PLAYWND_FORCE_ASPECT: forces the crop's aspect (no host message).
  void ApplyClipAspect(bool playing);

  // Puts the current frame on the screen (two panes: composed with the crop
  // overlay and the cropped, watermarked second pane); the background alone
  // for a file without video. Without a renderer the window is only
  // invalidated.
  void RepaintVideo();
  // WM_PAINT: the frame while a file is open, else the idle picture.
  void OnPaint(bool fileOpen);

  // WM_LBUTTONDOWN, WM_MOUSEMOVE and WM_LBUTTONUP while editing (crop
  // editing on or the watermark on). Returns false, doing nothing, for
  // other messages or while nothing is being edited.
  bool OnMouseMessage(win::UINT message, win::LPARAM position, const EditContext& context);
  bool EditingActive() const { return crop_.cropEditing() || watermark_.watermarkOn(); }
  DragMode dragMode() const { return dragMode_; }
  bool dragging() const { return dragging_; }

  // Saves the first pane's frame as a JPEG file; false when nothing was
  // written (no frame, no encoder, a failed write).
  bool SaveSnapshot(const std::string& path) const;

  const gdiplus::Bitmap* idlePicture() const;

 private:
  void ComputeVideoRect();
  void ComposePanes();
  void OnLButtonDown(int x, int y);
  void OnMouseMove(int x, int y, const EditContext& context);
  void OnLButtonUp();
  DragMode ZoneAt(int x, int y) const;
  void SetCursorFor(DragMode zone) const;
  void PostCropRect(win::HWND notifyWindow) const;
  void PostWatermarkMoved(win::HWND notifyWindow, WatermarkLayer::Offset offset) const;

  PaneLayout layout_;
  win::HWND window_ = nullptr;
  std::unique_ptr<DDrawRenderer> renderer_;
  FrameSet frames_;
  VideoRects videoRects_;
  int videoWidth_ = 0, videoHeight_ = 0;
  int sourceWidth_ = 0, sourceHeight_ = 0;
  CropEditor crop_;
  WatermarkLayer watermark_;
  gdiplus::Pen framePen_;
  gdiplus::SolidBrush shadeBrush_;
  std::unique_ptr<gdiplus::Bitmap> idlePictureTwo_, idlePictureOne_;
  bool hookDrawsOutput_ = false;
  bool dragging_ = false;
  DragMode dragMode_ = DragMode::None;
  int dragStartX_ = 0, dragStartY_ = 0;
};

}  // namespace qelo::player
