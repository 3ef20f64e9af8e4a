// The effect table: every effect's id, display name and parameters, and the
// factory that turns an EffectRecord into an effect run over a frame.
#pragma once

#include <memory>

#include "effect_pass.h"
#include "qelo/effect.h"

namespace qelo::effect {

// Calls back with each listed effect, in table order, until told to stop.
void EnumerateEffects(EnumEffectCallback callback, void* user);

// The enumParams of every effect with parameters: one call per parameter.
void EnumerateEffectParams(int effectId, EnumEffectParamCallback callback, void* user);

// Every pixel the effect may touch lies inside the buffer: rows of at least
// 4 x width bytes, the last one ending within bufferSize.
bool AddressableFrame(const VideoFrame& frame);

// The record's effect prepared for `frame` (which must be addressable), in
// `form`, the noise drawn from `noiseSeed`; null when it would change
// nothing: an unknown id or an empty frame. Throws std::bad_alloc before
// it changes a pixel.
std::unique_ptr<EffectPass> MakeEffectPass(const EffectRecord& record, VideoFrame& frame, Form form,
                                           uint32_t noiseSeed);

// Applies the record's effect to the frame in place, in the active form.
// False for a null record or a frame whose size, stride or buffer cannot be
// addressed safely; true otherwise, also for an empty frame and an unknown
// id, which change nothing.
bool ApplyEffect(const EffectRecord* record, VideoFrame* frame);

}  // namespace qelo::effect
