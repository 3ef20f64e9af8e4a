// The effect table: every effect's id, display name and parameters, and the
// factory that turns an EffectRecord into an effect run over a frame.
#pragma once

#include "qelo/effect.h"

namespace qelo::effect {

// Calls back with each listed effect, in table order, until told to stop.
void EnumerateEffects(EnumEffectCallback callback, void* user);

// The enumParams of every effect with parameters: one call per parameter.
void EnumerateEffectParams(int effectId, EnumEffectParamCallback callback, void* user);

// Applies the record's effect to the frame in place. False for a null record
// or a frame whose size, stride or buffer cannot be addressed safely; true
// otherwise, also for an empty frame and an unknown id, which change nothing.
bool ApplyEffect(const EffectRecord* record, VideoFrame* frame);

}  // namespace qelo::effect
