#include "player_display.h"

#include <algorithm>

#include "gdiplus/dc_graphics.h"
#include "idle_pictures.h"
#include "snapshot.h"

namespace qelo::player {
namespace {

constexpr gdiplus::Argb kFramePenColor = 0xFF0000FF;
constexpr gdiplus::Argb kShadeColor = 0x80000000;
constexpr gdiplus::Argb kOpaqueBlack = 0xFF000000;

// `r` cut to the frame; a crop set by the host may reach past it.
gdiplus::RectF WithinFrame(const gdiplus::RectF& r, int width, int height) {
  const float left = std::max(r.X, 0.0f), top = std::max(r.Y, 0.0f);
  const float right = std::min(r.X + r.Width, static_cast<float>(width));
  const float bottom = std::min(r.Y + r.Height, static_cast<float>(height));
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

}  // namespace

PlayerDisplay::PlayerDisplay(bool twoPane, int windowWidth, int windowHeight)
    : layout_{windowWidth, windowHeight, twoPane},
      framePen_(gdiplus::Color(kFramePenColor), 1.0f),
      shadeBrush_(gdiplus::Color(kShadeColor)),
      idlePictureTwo_(LoadIdlePicture(kIdlePictureTwoPane)),
      idlePictureOne_(LoadIdlePicture(kIdlePictureOnePane)) {}

PlayerDisplay::~PlayerDisplay() = default;

void PlayerDisplay::CreateRenderer(win::HWND window) {
  window_ = window;
  renderer_ = DDrawRenderer::Create(window, layout_.windowWidth, layout_.windowHeight, layout_.twoPane);
  if (renderer_) renderer_->SetVideoSize(videoWidth_, videoHeight_);
}

void PlayerDisplay::FreeRenderer() { renderer_.reset(); }

bool PlayerDisplay::OpenVideo(int frameWidth, int frameHeight, int32_t bufferSize, int sourceWidth,
                              int sourceHeight) {
  if (!frames_.AllocateFrames(frameWidth, frameHeight, bufferSize)) return false;
  videoWidth_ = frameWidth;
  videoHeight_ = frameHeight;
  sourceWidth_ = sourceWidth;
  sourceHeight_ = sourceHeight;
  ComputeVideoRect();
  UpdateCropGeometry();
  if (renderer_) renderer_->SetVideoSize(frameWidth, frameHeight);
  return true;
}

void PlayerDisplay::CloseVideo() {
  frames_.DropBitmaps();
  crop_.Reset();
  watermark_.Reset();
  sourceWidth_ = sourceHeight_ = 0;
  dragging_ = false;
  dragMode_ = DragMode::None;
  UpdateCropGeometry();
}

void PlayerDisplay::FreeFrames() { frames_.Free(); }

void PlayerDisplay::ComputeVideoRect() {
  videoRects_ = ComputeVideoRects(layout_, videoWidth_, videoHeight_);
  watermark_.SetVideoRect(videoRects_.videoRect);
}

void PlayerDisplay::UpdateCropGeometry() { crop_.UpdateGeometry(videoRect(), videoWidth_, videoHeight_); }

void PlayerDisplay::ApplyClipAspect(bool playing) {
  if (crop_.clipAspect() == CLIP_ASPECT_FREE || !crop_.ApplyClipAspect()) return;
  UpdateCropGeometry();
  if (!playing) RepaintVideo();
}

// The first pane gets the crop overlay on a fresh copy of the frame, so an
// overlay is never drawn over the last one; the second pane gets the cropped
// picture fitted into it and the watermark, or the picture the hook made
// with the watermark's outline.
void PlayerDisplay::ComposePanes() {
  frames_.RestoreDecoded();
  if (crop_.cropEditing() && frames_.decodedBitmap()) {
    gdiplus::Graphics first(frames_.decodedBitmap());
    crop_.DrawOverlay(first, framePen_, shadeBrush_);
  }
  if (!frames_.outputBitmap() || !frames_.hookBitmap()) return;
  if (hookDrawsOutput_) {
    frames_.ShowHookAsOutput();
    gdiplus::Graphics second(frames_.outputBitmap());
    watermark_.DrawOutline(second, videoWidth_, videoHeight_, framePen_);
    return;
  }
  gdiplus::Graphics second(frames_.outputBitmap());
  second.Clear(gdiplus::Color(kOpaqueBlack));
  const gdiplus::RectF source = WithinFrame(crop_.geometry().cropPixels, videoWidth_, videoHeight_);
  const gdiplus::RectF& dest = crop_.geometry().cropDest;
  if (source.Width > 0 && dest.Width > 0 && dest.Height > 0) second.DrawImage(*frames_.hookBitmap(), dest, source);
  if (watermark_.state()) watermark_.DrawWatermark(second, videoWidth_, videoHeight_, framePen_);
}

void PlayerDisplay::RepaintVideo() {
  if (!renderer_) {
    if (window_) win::InvalidateRect(window_, nullptr, 0);
    return;
  }
  if (!frames_.decodedBitmap()) {  // a file without video: no frame of its own
    renderer_->PresentBlank();
    return;
  }
  if (!layout_.twoPane) {
    renderer_->PresentOnePane(frames_.decodedFrame());
    return;
  }
  ComposePanes();
  renderer_->PresentTwoPanes(frames_.decodedFrame(), frames_.outputFrame());
}

const gdiplus::Bitmap* PlayerDisplay::idlePicture() const {
  return layout_.twoPane ? idlePictureTwo_.get() : idlePictureOne_.get();
}

void PlayerDisplay::OnPaint(bool fileOpen) {
  if (fileOpen) {
    RepaintVideo();
    win::ValidateRect(window_, nullptr);
    return;
  }
  const gdiplus::Bitmap* picture = idlePicture();
  if (picture == nullptr) {
    win::DefWindowProc(window_, win::WM_PAINT, 0, 0);
    return;
  }
  win::PAINTSTRUCT paint;
  win::HDC dc = win::BeginPaint(window_, &paint);
  {
    gdiplus::DcGraphics graphics(dc);
    graphics.graphics().DrawImage(*picture, 0, 0);
  }
  win::EndPaint(window_, &paint);
}

bool PlayerDisplay::SaveSnapshot(const std::string& path) const {
  return player::SaveSnapshot(frames_.decodedBitmap(), path);
}

}  // namespace qelo::player
