// QeloEffect: changes one 32-bit VideoFrame in place by one effect at a time
// and lists its effects with their parameters and defaults.
//
// The library has no log: a null record or an unusable frame is answered
// with false, an unknown effect id changes nothing and answers true.
#pragma once

#include <stdbool.h>
#include <stdint.h>

#include "qelo/export.h"
#include "qelo/media.h"

#ifdef __cplusplus
extern "C" {
#endif

#define QELO_EFFECT_NAME_CHARS 64

enum EffectId {
  EFFECT_GRAY = 0,
  EFFECT_INVERT = 1,
  EFFECT_BRIGHTNESS = 2,
  EFFECT_CONTRAST = 3,
  EFFECT_GAMMA = 4,
  EFFECT_COLOR_TONE = 5,
  EFFECT_EMBOSS = 6,
  EFFECT_FLIP_HORIZONTAL = 7,
  EFFECT_FLIP_VERTICAL = 8,
  EFFECT_3D_GRID = 9,
  EFFECT_NOISIFY = 10,
  EFFECT_POSTERIZE = 11,
  EFFECT_SOLARIZE = 12,
  EFFECT_THRESHOLD = 13,
  EFFECT_VIDEO = 14,
  EFFECT_WAVE = 15,  // built, but not listed by QeloEnumEffect
  EFFECT_HALFTONE = 16,
  EFFECT_ID_COUNT = 17
};

// One effect to apply: its id and two parameters as the parameter
// enumeration lists them (param2 is 0 for effects with one parameter).
typedef struct EffectRecord {
  int32_t effectId;  // EffectId
  int32_t param1;
  int32_t param2;
  int32_t reserved[9];  // zero, not read
} EffectRecord;

typedef struct EffectParamInfo {
  int32_t effectId;
  char16_t name[QELO_EFFECT_NAME_CHARS];  // zero-terminated
  int32_t defaultValue;
} EffectParamInfo;

typedef void (*EnumEffectParamCallback)(const EffectParamInfo* param, void* user);
// Calls the callback once per parameter of effectId, in order.
typedef void (*EnumEffectParams)(int effectId, EnumEffectParamCallback callback, void* user);

typedef struct EffectInfo {
  int32_t effectId;  // -1 ends the table
  char16_t name[QELO_EFFECT_NAME_CHARS];  // zero-terminated display name
  EnumEffectParams enumParams;  // null when the effect has no parameters
  int32_t reserved;
} EffectInfo;

// Answers false to stop the enumeration.
typedef bool (*EnumEffectCallback)(const EffectInfo* effect, void* user);

QELO_EXPORT void QeloEnumEffect(EnumEffectCallback callback, void* user);
QELO_EXPORT bool QeloDoEffect(VideoFrame* frame, const EffectRecord* effect, int unused);
QELO_EXPORT bool QeloDoEffectEx(VideoFrame* frame, int unused1, const EffectRecord* effect,
                                int unused2);
QELO_EXPORT void QeloEffectDestory(void);

#ifdef __cplusplus
}  // extern "C"
#endif
