// What happens to every frame of a source before it is encoded: the crop,
// the text or picture watermark, the effects; and the scaling of a frame to
// the output size. Drawing goes through the 2-D layer straight on the
// frame's own pixels.
#pragma once

#include <memory>
#include <string>

#include "owned_frame.h"
#include "qelo/convertor.h"

namespace qelo::gdiplus {
class Bitmap;
}

namespace qelo::convertor {

// A picture of sw x sh fitted into a box of bw x bh, aspect kept, centred.
struct FittedRect {
  int left = 0, top = 0, width = 0, height = 0;
};
FittedRect Fit(int sourceWidth, int sourceHeight, int boxWidth, int boxHeight);

// The watermark picture of a group, made once per image file and region
// size. The alpha is not part of the match: the picture keeps the alpha it
// was made with.
struct WatermarkImageCache {
  WatermarkImageCache();
  ~WatermarkImageCache();
  std::u16string path;
  int alpha = 255;
  std::unique_ptr<gdiplus::Bitmap> picture;
};

// The `rect` part of `src` enlarged into a frame of src's size, aspect kept,
// on transparent black bars.
bool CropFrame(const RelativeRect& rect, OwnedFrame* dst, const VideoFrame& src);
// `src` fitted into `dst` on opaque black; false when dst has no pixels.
bool ScaleToOutput(VideoFrame* dst, const VideoFrame& src);
bool DrawTextWatermark(const char16_t* text, const WatermarkFont& font, int alpha, const RelativeRect& region,
                       VideoFrame* frame);
bool DrawImageWatermark(VideoFrame* frame, const RelativeRect& region, WatermarkImageCache* cache,
                        const char16_t* path, int alpha);
bool LoadWatermarkImage(WatermarkImageCache* cache, const char16_t* path, int alpha, int width, int height);

class EffectBandPool;

// How many bands a frame's effects are cut into with `helpers` threads to
// help: one for small frames, else up to one per thread, each band at least
// kBandPixels pixels.
constexpr int64_t kBandPixels = 128 * 1024;
int EffectBandCount(const VideoFrame& frame, int helpers);

// The source's effects in order, over bands of the frame on the pool when
// it is large (with a null pool, on this thread). At the first effect that
// fails, "Warning: Failed to do effect." and the rest are skipped.
void ApplyEffects(const SourceEntry& source, VideoFrame* frame, EffectBandPool* pool);

// The chain on one frame of `source`: the crop (through the scratch
// `cropFrame`), the text or else the picture watermark (through
// `imageCache`), then the effects (on `pool` when given). Failures are
// logged; the frame goes on as the earlier steps left it.
void CompositeFrame(const SourceEntry& source, VideoFrame* frame, OwnedFrame* cropFrame,
                    WatermarkImageCache* imageCache, EffectBandPool* pool);

}  // namespace qelo::convertor
