// QeloVideoConvertor: converts work groups (one output file each, made of up
// to 128 sources end to end on one timeline) on a thread of its own and
// reports progress through a callback.
#pragma once

#include <stdint.h>

#include "qelo/effect.h"
#include "qelo/export.h"
#include "qelo/media.h"
#include "qelo/watermark.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MAX_WORK_GROUPS 128
#define MAX_GROUP_SOURCES 128
#define MAX_SOURCE_EFFECTS 8
#define QELO_WATERMARK_TEXT_CHARS 256

typedef struct SourceEntry {
  char16_t path[QELO_PATH_CHARS];
  char16_t watermarkText[QELO_WATERMARK_TEXT_CHARS];
  char16_t watermarkImagePath[QELO_PATH_CHARS];
  int32_t hasMediaInfo;  // the media facts below were filled by the program
  int32_t videoWidth;
  int32_t videoHeight;
  double frameRate;
  int32_t sourceBitRate;
  int32_t audioSampleRate;
  int32_t audioChannels;
  int32_t sourceAudioBitRate;
  int64_t sourceDuration;  // 100-ns units
  uint8_t trimEnabled;
  int64_t trimStart;  // source time, 100-ns units
  int64_t trimEnd;
  uint8_t cropEnabled;
  RelativeRect cropRect;
  uint8_t textWatermarkEnabled;  // wins over the image watermark
  WatermarkFont watermarkFont;
  uint8_t imageWatermarkEnabled;
  int32_t watermarkAlpha;  // 0 invisible .. 255 opaque
  RelativeRect watermarkRegion;
  int32_t effectCount;  // 0..MAX_SOURCE_EFFECTS
  EffectRecord effects[MAX_SOURCE_EFFECTS];
} SourceEntry;

typedef struct WorkGroup {
  int32_t sourceCount;  // 0..MAX_GROUP_SOURCES
  SourceEntry* sources[MAX_GROUP_SOURCES];
  FormatSettings format;  // handed to QeloInitializeEncoder unchanged
} WorkGroup;

enum ConvertState {
  ConvertAllDone = 0,
  ConvertError = 1,
  ConvertGroupStarted = 2,
  ConvertGroupDone = 3,
  ConvertProgress = 4,
  ConvertStopped = 5
};

// Called on the conversion thread; must never wait for the thread that
// calls QeloRunWorkGroup, QeloClearWorkGroup or QeloStopWorkGroup.
typedef void (*ConvertCallback)(int32_t groupIndex, double filePercent, double totalPercent,
                                int32_t state, void* userData);

// The conversion thread of a run; owned and closed by the engine.
typedef void* QeloThreadHandle;

QELO_EXPORT int InitializeVideoConvertor(LogCallback log);
QELO_EXPORT void DeInitializeVideoConvertor(void);
QELO_EXPORT void RegisterCallBackPorcess(ConvertCallback callback, void* userData);
QELO_EXPORT int32_t QeloCreateWorkGroup(const WorkGroup* group);
QELO_EXPORT void QeloClearWorkGroup(void);
QELO_EXPORT QeloThreadHandle QeloRunWorkGroup(void);
QELO_EXPORT void QeloStopWorkGroup(void);

// Draws on `frame`, in place, what the engine draws on every frame of
// `source` before it is encoded: the crop, the text or else the picture
// watermark, then the source's effects in order. A preview calls it to show
// the output as the engine will write it. 0 for a null argument.
QELO_EXPORT int QeloCompositeFrame(const SourceEntry* source, VideoFrame* frame);

#ifdef __cplusplus
}  // extern "C"
#endif
