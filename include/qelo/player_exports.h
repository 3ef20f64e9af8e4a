// QeloPlayer: the preview player's exported functions. A host makes up to
// eight instances, each a child window over a host window; the instance
// index always comes last, and an index outside the table makes a call do
// nothing and return 0. Commands are posted to the instance's window
// (frame steps are sent and return after the step); the instance answers by
// posting WM_PLAYER_* messages to the window named by QeloSetMsgHandle.
#pragma once

#include <stdint.h>

#include "qelo/export.h"
#include "qelo/media.h"
#include "qelo/player.h"
#include "qelo/watermark.h"

#ifdef __cplusplus
namespace qelo::win {
struct WindowHandle;
}
typedef qelo::win::WindowHandle* QeloWindow;
#else
typedef void* QeloWindow;
#endif

QELO_EXPORT int InitializeQeloPlayer(LogCallback callback);
QELO_EXPORT int DeInitializeQeloPlayer(void);

// The new instance's index, or -1 (eight exist already).
QELO_EXPORT int QeloCreatePlayerInstance(QeloWindow parent, uint8_t twoPane);
QELO_EXPORT int QeloDestroyPlayerInstance(int index);
QELO_EXPORT int QeloInitStream(int flag, int index);

// 1 opened, 0 failed. *info receives the instance's MediaInfo, valid until
// the file is closed; the caller must not free it.
QELO_EXPORT int QeloInitFile(const char16_t* path, MediaInfo** info, int index);
QELO_EXPORT int QeloDeInitFile(int index);

QELO_EXPORT int QeloPlay(int index);
QELO_EXPORT int QeloPause(int index);
QELO_EXPORT int QeloStop(int index);
// The position in 100-ns units, split into its low and high 32 bits.
QELO_EXPORT int QeloSeek(uint32_t low, int32_t high, int index);
QELO_EXPORT int QeloResizeWnd(int width, int height, int index);
QELO_EXPORT int QeloNextFrame(int index);
QELO_EXPORT int QeloPreviousFrame(int index);
QELO_EXPORT int QeloSetCallBack(FrameCallback callback, int value, void* userData, int index);
QELO_EXPORT int QeloSetMsgHandle(QeloWindow window, int index);

QELO_EXPORT int QeloSetCrop(const RelativeRect* crop, int index);
QELO_EXPORT int QeloGetCrop(RelativeRect* crop, int index);
QELO_EXPORT int QeloEnableCrop(int enable, int index);
QELO_EXPORT int QeloForceClipAspect(int aspect, int index);

// Saves the shown frame as a JPEG file; nothing without a file open.
QELO_EXPORT int QeloSnapshot(const char16_t* path, int index);

QELO_EXPORT int QeloEnableWatermark(const WatermarkState* state, int index);
QELO_EXPORT int QeloGetWatermark(WatermarkState* state, int index);
QELO_EXPORT int QeloSetWatermarkImage(const ImageWatermark* image, int index);
QELO_EXPORT int QeloSetWatermarkText(const TextWatermark* text, int index);
QELO_EXPORT int QeloSetWatermarkRegion(const RelativeRect* region, int index);
QELO_EXPORT int QeloGetWatermarkRegion(RelativeRect* region, int index);
QELO_EXPORT int QeloSetWatermarkFont(const WatermarkFont* font, int index);
QELO_EXPORT int QeloSetWatermarkTransparent(int alpha, int index);
