// QeloEffect's entries beyond the four of its interface, for the engine,
// the tests and the benchmarks: an effect prepared once for a frame and
// applied over bands of its rows, on several threads at once; and the
// choice of the instruction-set form the effects run in.
#pragma once

#include <stdbool.h>

#include "qelo/effect.h"
#include "qelo/export.h"
#include "qelo/media.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct QeloEffectPass QeloEffectPass;

// The record's effect prepared for `frame`: tables made, a copy taken where
// the effect reads other rows. Null exactly where QeloDoEffect answers
// false (a null record or frame, a frame that cannot be addressed safely).
// Until the pass ends, the frame's pixels change only through the pass.
QELO_EXPORT QeloEffectPass* QeloBeginEffectPass(VideoFrame* frame, const EffectRecord* effect);
// Applies the pass to `rowCount` rows from row `firstRow` of the buffer
// (counted from its top; the part of a band outside the frame is ignored).
// Bands that do not overlap may run at once on several threads; once every
// row has been in exactly one band, the frame is what QeloDoEffect makes of
// it.
QELO_EXPORT void QeloRunEffectPass(QeloEffectPass* pass, int firstRow, int rowCount);
QELO_EXPORT void QeloEndEffectPass(QeloEffectPass* pass);

// The forms: the scalar reference rules, portable plain code, AVX2, AVX-512.
enum QeloEffectForm {
  QELO_EFFECT_FORM_BEST = -1,
  QELO_EFFECT_FORM_SCALAR = 0,
  QELO_EFFECT_FORM_PLAIN = 1,
  QELO_EFFECT_FORM_AVX2 = 2,
  QELO_EFFECT_FORM_AVX512 = 3
};

// Whether this processor runs `form`.
QELO_EXPORT bool QeloEffectFormAvailable(int form);
// Makes every later effect run in `form`; QELO_EFFECT_FORM_BEST returns to
// the processor's best. False, and no change, for a form it cannot run.
QELO_EXPORT bool QeloEffectUseForm(int form);
// The form effects run in now.
QELO_EXPORT int QeloEffectActiveForm(void);

#ifdef __cplusplus
}  // extern "C"
#endif
