#include "edit_window_effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "edit_window_entry.h"
#include "win/codepage.h"

namespace qelo::app {

namespace {

std::string NameOf(const char16_t* field, size_t capacity) {
  return win::Utf16ToUtf8(win::Utf16Field(field, capacity));
}

// Parameters whose sliders start at 1: below it the effect takes 1 anyway.
struct RangeRule {
  int32_t effectId;
  size_t param;
  int32_t minValue;
};
constexpr RangeRule kRangeRules[] = {{EFFECT_GAMMA, 0, 1}, {EFFECT_3D_GRID, 0, 1}};

void ApplyRange(TEffectChoice& effect) {
  for (const RangeRule& rule : kRangeRules) {
    if (rule.effectId == effect.id && rule.param < effect.params.size())
      effect.params[rule.param].minValue = rule.minValue;
  }
}

void CollectParam(const EffectParamInfo* info, void* user) {
  auto& effect = *static_cast<TEffectChoice*>(user);
  if (!info || effect.params.size() >= 2) return;
  effect.params.push_back(
      TEffectParam{NameOf(info->name, QELO_EFFECT_NAME_CHARS), info->defaultValue, 0, 100});
}

bool CollectEffect(const EffectInfo* info, void* user) {
  auto& effects = *static_cast<std::vector<TEffectChoice>*>(user);
  if (!info) return true;
  TEffectChoice effect{info->effectId, NameOf(info->name, QELO_EFFECT_NAME_CHARS), {}};
  if (info->enumParams) info->enumParams(info->effectId, CollectParam, &effect);
  ApplyRange(effect);
  effects.push_back(std::move(effect));
  return true;
}

// The whole pixels of the frame that the crop touches: the player cuts the
// output pane's picture at fractions of a pixel, and a part-pixel at an edge
// shows too. Empty when nothing of the frame is left.
struct PixelBox {
  int x, y, w, h;
};
PixelBox CropBox(const RelativeRect& crop, int width, int height) {
  const int x = std::clamp(static_cast<int>(std::floor(width * crop.left)), 0, width);
  const int y = std::clamp(static_cast<int>(std::floor(height * crop.top)), 0, height);
  const int right = std::clamp(static_cast<int>(std::ceil(width * (crop.left + crop.width))), x, width);
  const int bottom = std::clamp(static_cast<int>(std::ceil(height * (crop.top + crop.height))), y, height);
  return PixelBox{x, y, right - x, bottom - y};
}

void RunEffects(VideoFrame& frame, const std::vector<EffectRecord>& effects) {
  for (const EffectRecord& effect : effects) {
    if (!QeloDoEffect(&frame, &effect, 0)) return;
  }
}

}  // namespace

std::vector<TEffectChoice> ListEffects() {
  std::vector<TEffectChoice> effects;
  QeloEnumEffect(CollectEffect, &effects);
  return effects;
}

const TEffectChoice* FindEffect(const std::vector<TEffectChoice>& effects, int32_t id) {
  for (const TEffectChoice& effect : effects) {
    if (effect.id == id) return &effect;
  }
  return nullptr;
}

EffectRecord DefaultEffectRecord(const TEffectChoice& effect) {
  EffectRecord record{};
  record.effectId = effect.id;
  if (effect.params.size() > 0) record.param1 = ClampParam(effect.params[0], effect.params[0].defaultValue);
  if (effect.params.size() > 1) record.param2 = ClampParam(effect.params[1], effect.params[1].defaultValue);
  return record;
}

int32_t ClampParam(const TEffectParam& param, int32_t value) {
  return std::clamp(value, param.minValue, std::max(param.minValue, param.maxValue));
}

// ---- the live hook -------------------------------------------------------------------------

void TLiveEffects::Set(const SourceEntry& entry) {
  std::lock_guard guard(lock_);
  effects_.assign(entry.effects, entry.effects + EffectCount(entry));
  crop_ = EffectiveCrop(entry);
}

void TLiveEffects::SetNotifyWindow(win::HWND window) {
  std::lock_guard guard(lock_);
  window_ = window;
}

void TLiveEffects::Hook(VideoFrame* frame, void* self) {
  if (frame && self) static_cast<TLiveEffects*>(self)->Apply(*frame);
}

void TLiveEffects::Apply(VideoFrame& frame) {
  std::vector<EffectRecord> effects;
  RelativeRect crop;
  win::HWND window;
  {
    std::lock_guard guard(lock_);
    effects = effects_;
    crop = crop_;
    window = window_;
  }
  if (!effects.empty() && frame.pixels && frame.width > 0 && frame.height > 0 &&
      frame.stride >= 4 * frame.width) {
    if (IsWholeFrame(crop)) {
      RunEffects(frame, effects);
    } else if (const PixelBox box = CropBox(crop, frame.width, frame.height); box.w > 0 && box.h > 0) {
      // The effects see the cropped part as a frame of its own, as the
      // engine's effects see the cropped picture.
      const size_t row = static_cast<size_t>(box.w) * 4;
      scratch_.resize(row * static_cast<size_t>(box.h));
      uint8_t* origin = frame.pixels + static_cast<size_t>(box.y) * frame.stride + static_cast<size_t>(box.x) * 4;
      for (int y = 0; y < box.h; ++y) std::memcpy(&scratch_[row * y], origin + static_cast<size_t>(y) * frame.stride, row);
      VideoFrame part{scratch_.data(), box.w, box.h, static_cast<int32_t>(row), static_cast<int32_t>(scratch_.size()),
                      frame.pts, frame.nextPts};
      RunEffects(part, effects);
      for (int y = 0; y < box.h; ++y) std::memcpy(origin + static_cast<size_t>(y) * frame.stride, &scratch_[row * y], row);
    }
  }
  if (window) {
    const uint64_t bits = static_cast<uint64_t>(frame.pts);
    win::PostMessage(window, WM_EDIT_FRAME_SHOWN, win::WPARAM(uint32_t(bits >> 32)),
                     win::LPARAM(uint32_t(bits & 0xFFFFFFFFu)));
  }
}

}  // namespace qelo::app
