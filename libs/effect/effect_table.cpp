#include "effect_table.h"

#include <string.h>

#include <algorithm>
#include <array>
#include <new>
#include <string_view>

#include "distortion.h"
#include "lut_effects.h"
#include "pixel_effects.h"

namespace qelo::effect {
namespace {

struct ParamSpec {
  const char16_t* name;
  int32_t defaultValue;
};

using MakeFn = std::unique_ptr<EffectPass> (*)(const EffectRecord& record, const PassContext& context);

// One effect. An entry without a name is built by the factory but not
// listed.
struct EffectEntry {
  int32_t id;
  const char16_t* name;
  int paramCount;
  std::array<ParamSpec, 2> params;
  MakeFn make;
};

template <typename Effect, typename... Settings>
std::unique_ptr<EffectPass> Make(const PassContext& context, Settings... settings) {
  return std::make_unique<PassOf<Effect>>(context, settings...);
}

// Settings from parameters. The divisions of the table are exact here:
// param x 200 / 100 instead of param / 100 x 200 in floating point, which
// would lose one step for values such as 29.
int64_t Scaled(int32_t param, int64_t range) { return int64_t{param} * range / 100; }

int LevelK(int32_t param) {
  return static_cast<int>(std::clamp<int64_t>(Scaled(param, 200), 0, 200)) - 100;
}

int ByteThreshold(int32_t param) {
  return static_cast<int>(std::clamp<int64_t>(Scaled(param, 255), 0, 255));
}

int AtLeastOne(int32_t param) { return std::max(param, 1); }

// A gamma of 0 or below has no exponent 1 / gamma; it is taken as the
// smallest gamma the parameter can express, 0.1.
double GammaFrom(int32_t param) { return AtLeastOne(param) / 10.0; }

int PosterizeLevels(int32_t param) {
  return static_cast<int>(std::max<int64_t>(Scaled(param, 20) + 2, 2));
}

constexpr Rgb kToneColor{109, 90, 0};
constexpr int kVideoPattern = 2;

constexpr ParamSpec kNoParam{nullptr, 0};

constexpr EffectEntry kEffects[EFFECT_ID_COUNT] = {
    {EFFECT_GRAY, u"Gray", 0, {kNoParam, kNoParam},
     [](const EffectRecord&, const PassContext& c) { return Make<FCPixelGrayscale>(c); }},
    {EFFECT_INVERT, u"Invert", 0, {kNoParam, kNoParam},
     [](const EffectRecord&, const PassContext& c) { return Make<FCPixelInvert>(c); }},
    {EFFECT_BRIGHTNESS, u"Brightness", 1, {ParamSpec{u"Brightness", 50}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) { return Make<FCPixelBrightness>(c, LevelK(r.param1)); }},
    {EFFECT_CONTRAST, u"Contrast", 1, {ParamSpec{u"Contrast", 50}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) { return Make<FCPixelContrast>(c, LevelK(r.param1)); }},
    {EFFECT_GAMMA, u"Gamma", 1, {ParamSpec{u"Gamma", 50}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) { return Make<FCPixelGamma>(c, GammaFrom(r.param1)); }},
    {EFFECT_COLOR_TONE, u"ColorTone", 0, {kNoParam, kNoParam},
     [](const EffectRecord&, const PassContext& c) { return Make<FCPixelColorTone>(c, kToneColor); }},
    {EFFECT_EMBOSS, u"Emboss", 1, {ParamSpec{u"Emboss", 5}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) { return Make<FCPixelEmboss>(c, int{r.param1}); }},
    {EFFECT_FLIP_HORIZONTAL, u"Filp Horizontal", 0, {kNoParam, kNoParam},
     [](const EffectRecord&, const PassContext& c) { return Make<FCPixelFlipHorizontal>(c); }},
    {EFFECT_FLIP_VERTICAL, u"Filp Vertical", 0, {kNoParam, kNoParam},
     [](const EffectRecord&, const PassContext& c) { return Make<FCPixelFlipVertical>(c); }},
    {EFFECT_3D_GRID, u"3DGrid", 2, {ParamSpec{u"Size", 50}, ParamSpec{u"Depth", 20}},
     [](const EffectRecord& r, const PassContext& c) {
       return Make<FCPixel3DGrid>(c, AtLeastOne(r.param1), int{r.param2});
     }},
    {EFFECT_NOISIFY, u"Noisify", 1, {ParamSpec{u"Level", 50}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) {
       return Make<FCPixelNoisify>(c, std::clamp(int{r.param1}, 0, 100), c.noiseSeed);
     }},
    {EFFECT_POSTERIZE, u"Posterize", 1, {ParamSpec{u"Level", 10}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) {
       return Make<FCPixelPosterize>(c, PosterizeLevels(r.param1));
     }},
    {EFFECT_SOLARIZE, u"Solarize", 1, {ParamSpec{u"Threshold", 10}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) {
       return Make<FCPixelSolarize>(c, ByteThreshold(r.param1));
     }},
    {EFFECT_THRESHOLD, u"Threshold", 1, {ParamSpec{u"Level", 10}, kNoParam},
     [](const EffectRecord& r, const PassContext& c) {
       return Make<FCPixelThreshold>(c, ByteThreshold(r.param1));
     }},
    {EFFECT_VIDEO, u"Video", 0, {kNoParam, kNoParam},
     [](const EffectRecord&, const PassContext& c) { return Make<FCPixelVideo>(c, kVideoPattern); }},
    {EFFECT_WAVE, nullptr, 0, {kNoParam, kNoParam},
     [](const EffectRecord& r, const PassContext& c) {
       return Make<FCPixelWave>(c, 2.0 * AtLeastOne(r.param1), static_cast<double>(AtLeastOne(r.param2)));
     }},
    {EFFECT_HALFTONE, u"Halftonem", 0, {kNoParam, kNoParam},
     [](const EffectRecord&, const PassContext& c) { return Make<FCPixelHalftoneM3>(c); }},
};

constexpr bool IdsMatchIndexes() {
  for (int i = 0; i < EFFECT_ID_COUNT; ++i) {
    if (kEffects[i].id != i) return false;
  }
  return true;
}
static_assert(IdsMatchIndexes(), "the factory looks effects up by id");

const EffectEntry* FindEffect(int effectId) {
  if (effectId < 0 || effectId >= EFFECT_ID_COUNT) return nullptr;
  return &kEffects[effectId];
}

void CopyName(char16_t (&target)[QELO_EFFECT_NAME_CHARS], const char16_t* name) {
  const std::u16string_view text(name);
  const size_t length = std::min<size_t>(text.size(), QELO_EFFECT_NAME_CHARS - 1);
  memcpy(target, text.data(), length * sizeof(char16_t));
}

}  // namespace

bool AddressableFrame(const VideoFrame& frame) {
  if (frame.width < 0 || frame.height < 0) return false;
  if (frame.width == 0 || frame.height == 0) return true;
  const int64_t rowBytes = int64_t{frame.width} * 4;
  if (frame.pixels == nullptr || frame.stride < rowBytes) return false;
  return int64_t{frame.height - 1} * frame.stride + rowBytes <= frame.bufferSize;
}

void EnumerateEffects(EnumEffectCallback callback, void* user) {
  if (callback == nullptr) return;
  for (const EffectEntry& entry : kEffects) {
    if (entry.name == nullptr) continue;
    EffectInfo info{};
    info.effectId = entry.id;
    CopyName(info.name, entry.name);
    info.enumParams = entry.paramCount > 0 ? EnumerateEffectParams : nullptr;
    if (!callback(&info, user)) return;
  }
}

void EnumerateEffectParams(int effectId, EnumEffectParamCallback callback, void* user) {
  const EffectEntry* entry = FindEffect(effectId);
  if (callback == nullptr || entry == nullptr) return;
  for (int i = 0; i < entry->paramCount; ++i) {
    EffectParamInfo info{};
    info.effectId = effectId;
    CopyName(info.name, entry->params[i].name);
    info.defaultValue = entry->params[i].defaultValue;
    callback(&info, user);
  }
}

std::unique_ptr<EffectPass> MakeEffectPass(const EffectRecord& record, VideoFrame& frame, Form form,
                                           uint32_t noiseSeed) {
  const EffectEntry* entry = FindEffect(record.effectId);
  if (entry == nullptr || frame.width == 0 || frame.height == 0) return nullptr;
  return entry->make(record, PassContext{frame, form, noiseSeed});
}

bool ApplyEffect(const EffectRecord* record, VideoFrame* frame) {
  if (record == nullptr || frame == nullptr || !AddressableFrame(*frame)) return false;
  try {
    if (auto pass = MakeEffectPass(*record, *frame, ActiveForm(), NextNoiseSeed())) pass->RunBand(0, frame->height);
  } catch (const std::bad_alloc&) {
    // Effects allocate before they write a pixel: the frame is as it was.
  }
  return true;
}

}  // namespace qelo::effect
