// The effects the edit window offers: what QeloEnumEffect lists, in its
// order, with each parameter's name, default and the range its slider
// covers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qelo/effect.h"

namespace qelo::app {

struct TEffectParam {
  std::string name;
  int32_t defaultValue = 0;
  int32_t minValue = 0;
  int32_t maxValue = 100;
};

struct TEffectChoice {
  int32_t id = 0;
  std::string name;
  std::vector<TEffectParam> params;  // at most two: param1, param2
};

// Every listed effect; the sliders run 0 to 100 (the parameters' scale)
// except where a value below 1 means nothing to the effect (Gamma, the
// grid's size), which start at 1.
std::vector<TEffectChoice> ListEffects();
// Null for an id not in the list.
const TEffectChoice* FindEffect(const std::vector<TEffectChoice>& effects, int32_t id);
// The effect with its parameters at their defaults.
EffectRecord DefaultEffectRecord(const TEffectChoice& effect);
// A parameter kept within its slider's range.
int32_t ClampParam(const TEffectParam& param, int32_t value);

}  // namespace qelo::app
