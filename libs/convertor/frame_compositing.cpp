#include "frame_compositing.h"

#include <algorithm>
#include <cstring>

#include "convertor_log.h"
#include "effect_band_pool.h"
#include "gdiplus/bitmap.h"
#include "gdiplus/brush.h"
#include "gdiplus/font.h"
#include "gdiplus/graphics.h"
#include "qelo/effect.h"
#include "qelo/effect_passes.h"
#include "win/codepage.h"
#include "work_group.h"

namespace qelo::convertor {
namespace {

using gdiplus::Bitmap;
using gdiplus::Graphics;
using gdiplus::PixelFormat;
using gdiplus::RectF;
using gdiplus::Status;

constexpr gdiplus::Color kOpaqueBlack{0xFF000000u};
constexpr gdiplus::Color kTransparentBlack{0u};

bool HasPixels(const VideoFrame& frame) { return frame.pixels && frame.width > 0 && frame.height > 0; }

Bitmap Wrap(const VideoFrame& frame) {
  return Bitmap(frame.width, frame.height, frame.stride, PixelFormat::Argb32, frame.pixels);
}

RectF ToRectF(const FittedRect& r) { return RectF{float(r.left), float(r.top), float(r.width), float(r.height)}; }

// A relative rectangle in a frame's pixels, each value truncated.
FittedRect InPixels(const RelativeRect& rect, int width, int height) {
  return FittedRect{int(width * rect.left), int(height * rect.top), int(width * rect.width),
                    int(height * rect.height)};
}

std::u16string TextOf(const char16_t* text, size_t limit) {
  return text ? std::u16string(win::Utf16Field(text, limit)) : std::u16string();
}

void ClearFrame(const VideoFrame& frame, gdiplus::Color color) {
  Bitmap bitmap = Wrap(frame);
  Graphics graphics(&bitmap);
  graphics.Clear(color);
}

}  // namespace

WatermarkImageCache::WatermarkImageCache() = default;
WatermarkImageCache::~WatermarkImageCache() = default;

FittedRect Fit(int sw, int sh, int bw, int bh) {
  if (sw <= 0 || sh <= 0) return FittedRect{};
  if (int64_t(sw) * bh > int64_t(sh) * bw) {
    const int height = int(double(int64_t(sh) * bw) / sw);
    return FittedRect{0, (bh - height) / 2, bw, height};
  }
  const int width = int(double(int64_t(sw) * bh) / sh);
  return FittedRect{(bw - width) / 2, 0, width, bh};
}

bool CropFrame(const RelativeRect& rect, OwnedFrame* dst, const VideoFrame& src) {
  if (!dst->frame.pixels || dst->frame.bufferSize != src.bufferSize) {
    dst->Reserve(src.bufferSize);
    dst->frame.width = src.width;
    dst->frame.height = src.height;
    dst->frame.stride = src.stride;
  }
  if (dst->frame.pixels) std::memset(dst->frame.pixels, 0, size_t(dst->frame.bufferSize));
  const FittedRect crop = InPixels(rect, src.width, src.height);
  if (!HasPixels(src) || !HasPixels(dst->frame) || crop.width <= 0 || crop.height <= 0) return true;
  Bitmap source = Wrap(src);
  Bitmap target = Wrap(dst->frame);
  Graphics graphics(&target);
  graphics.DrawImage(source, ToRectF(Fit(crop.width, crop.height, dst->frame.width, dst->frame.height)),
                     ToRectF(crop));
  return true;
}

bool ScaleToOutput(VideoFrame* dst, const VideoFrame& src) {
  if (!dst->pixels) return false;
  if (src.width == dst->width && src.height == dst->height) return true;
  ClearFrame(*dst, kOpaqueBlack);
  if (!HasPixels(src)) return true;
  Bitmap source = Wrap(src);
  Bitmap target = Wrap(*dst);
  Graphics graphics(&target);
  graphics.DrawImage(source, ToRectF(Fit(src.width, src.height, dst->width, dst->height)));
  return true;
}

bool DrawTextWatermark(const char16_t* text, const WatermarkFont& font, int alpha, const RelativeRect& region,
                       VideoFrame* frame) {
  if (!text) return false;
  const std::string utf8 = win::Utf16ToUtf8(TextOf(text, QELO_WATERMARK_TEXT_CHARS));
  if (utf8.empty()) return true;
  if (!HasPixels(*frame)) return false;
  Bitmap bitmap = Wrap(*frame);
  Graphics graphics(&bitmap);
  if (graphics.GetLastStatus() != Status::Ok) return false;

  const gdiplus::FontFamily named(win::Utf16ToUtf8(TextOf(font.faceName, 32)));
  const gdiplus::FontFamily* family =
      named.GetLastStatus() == Status::Ok ? &named : gdiplus::FontFamily::GenericSansSerif();
  auto made = std::make_unique<gdiplus::Font>(family, float(font.size), font.style, gdiplus::Unit::Point);
  if (made->GetLastStatus() != Status::Ok && family != gdiplus::FontFamily::GenericSansSerif())
    made = std::make_unique<gdiplus::Font>(gdiplus::FontFamily::GenericSansSerif(), float(font.size), font.style,
                                           gdiplus::Unit::Point);

  // The watermark's opacity replaces the colour's top byte.
  const uint32_t opacity = uint32_t(std::clamp(alpha, 0, 255)) << 24;
  const gdiplus::SolidBrush brush(gdiplus::Color((font.color & 0xFFFFFFu) | opacity));
  const gdiplus::PointF origin{float(frame->width * region.left), float(frame->height * region.top)};
  return graphics.DrawString(utf8, *made, origin, brush) == Status::Ok;
}

bool DrawImageWatermark(VideoFrame* frame, const RelativeRect& region, WatermarkImageCache* cache,
                        const char16_t* path, int alpha) {
  if (!frame->pixels || !path || !path[0]) return false;
  Bitmap bitmap = Wrap(*frame);
  Graphics graphics(&bitmap);
  const FittedRect box = InPixels(region, frame->width, frame->height);
  if (!LoadWatermarkImage(cache, path, alpha, box.width, box.height)) return false;
  return graphics.DrawImage(*cache->picture, float(box.left), float(box.top)) == Status::Ok;
}

bool LoadWatermarkImage(WatermarkImageCache* cache, const char16_t* path, int alpha, int width, int height) {
  const std::u16string wanted = TextOf(path, QELO_PATH_CHARS);
  if (wanted == cache->path && cache->picture && cache->picture->GetWidth() == width &&
      cache->picture->GetHeight() == height)
    return true;
  cache->picture.reset();
  cache->path = wanted;
  cache->alpha = alpha;
  if (width <= 0 || height <= 0) return false;
  // A file that cannot be read gives no picture (and the warning) instead
  // of a fit into a zero-sized image.
  const Bitmap image(win::Utf16ToUtf8(wanted));
  if (image.GetLastStatus() != Status::Ok || image.GetWidth() <= 0 || image.GetHeight() <= 0) return false;

  auto picture = std::make_unique<Bitmap>(width, height);
  if (picture->GetLastStatus() != Status::Ok) return false;
  const FittedRect fitted = Fit(image.GetWidth(), image.GetHeight(), width, height);
  {
    Graphics graphics(picture.get());
    graphics.DrawImage(image, ToRectF(fitted));
  }
  if (alpha != 255) {
    const uint8_t opacity = uint8_t(std::clamp(alpha, 0, 255));
    for (int y = fitted.top; y < fitted.top + fitted.height; ++y)
      for (int x = fitted.left; x < fitted.left + fitted.width; ++x)
        picture->Scan0()[size_t(y) * picture->Stride() + size_t(x) * 4 + 3] = opacity;
  }
  cache->picture = std::move(picture);
  return true;
}

int EffectBandCount(const VideoFrame& frame, int helpers) {
  if (frame.width <= 0 || frame.height <= 0) return 1;
  const int64_t byPixels = int64_t{frame.width} * frame.height / kBandPixels;
  return static_cast<int>(std::clamp<int64_t>(std::min<int64_t>(byPixels, frame.height), 1, helpers + 1));
}

namespace {

// One effect over `bands` bands of nearly equal height, on the pool.
bool ApplyInBands(const EffectRecord& effect, VideoFrame* frame, EffectBandPool& pool, int bands) {
  QeloEffectPass* pass = QeloBeginEffectPass(frame, &effect);
  if (!pass) return false;
  const int64_t height = frame->height;
  pool.Run(bands, [&](int band) {
    const int first = static_cast<int>(height * band / bands);
    const int end = static_cast<int>(height * (band + 1) / bands);
    QeloRunEffectPass(pass, first, end - first);
  });
  QeloEndEffectPass(pass);
  return true;
}

}  // namespace

void ApplyEffects(const SourceEntry& source, VideoFrame* frame, EffectBandPool* pool) {
  const int bands = pool ? EffectBandCount(*frame, pool->Threads()) : 1;
  for (int j = 0; j < EffectCount(source); ++j) {
    const bool done = bands > 1 ? ApplyInBands(source.effects[j], frame, *pool, bands)
                                : QeloDoEffect(frame, &source.effects[j], 0);
    if (!done) {
      gLog.Write("Warning: Failed to do effect.");
      break;
    }
  }
}

void CompositeFrame(const SourceEntry& source, VideoFrame* frame, OwnedFrame* cropFrame,
                    WatermarkImageCache* imageCache, EffectBandPool* pool) {
  if (source.cropEnabled == 1 && CropFrame(source.cropRect, cropFrame, *frame) && frame->pixels &&
      cropFrame->frame.bufferSize == frame->bufferSize)
    std::memcpy(frame->pixels, cropFrame->frame.pixels, size_t(frame->bufferSize));
  if (source.textWatermarkEnabled == 1) {
    if (!frame->pixels || !DrawTextWatermark(source.watermarkText, source.watermarkFont, source.watermarkAlpha,
                                             source.watermarkRegion, frame))
      gLog.Write("Warning: failed to draw watermark text");
  } else if (source.imageWatermarkEnabled == 1) {
    if (!DrawImageWatermark(frame, source.watermarkRegion, imageCache, source.watermarkImagePath,
                            source.watermarkAlpha))
      gLog.Write("Warning: failed to draw watermark image");
  }
  ApplyEffects(source, frame, pool);
}

}  // namespace qelo::convertor
