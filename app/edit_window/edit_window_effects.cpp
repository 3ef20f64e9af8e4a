#include "edit_window_effects.h"

#include <algorithm>

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

}  // namespace qelo::app
