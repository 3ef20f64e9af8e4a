// QeloCodecs: opens media files and reports their streams, decodes them into
// 32-bit frames and PCM chunks, seeks, and writes output files.
//
// Results are 1 or 0, or a handle or -1; every failure is also one line
// through the LogCallback handed to QeloInitializeCodecs. Media handles are
// 0..255, encoder handles 0..15; a handle stays the same for as long as its
// file is open.
#pragma once

#include "qelo/export.h"
#include "qelo/media.h"

// Pixel format of QeloAddVideoFrame: 32-bit, bytes B G R A.
#define QELO_PIXEL_FORMAT_ARGB32 1

// Each user of the library (the program, the player, the engine) initialises
// it once and de-initialises it once. The first of the users alive at a time
// gets 1 and its callback is kept; the others get 2. Each de-initialise
// releases one user; the last one closes every file and encoder still open.
QELO_EXPORT int QeloInitializeCodecs(LogCallback callback);
QELO_EXPORT int QeloDeInitializeCodecs(int unused);

QELO_EXPORT MediaInfo* QeloMallocFileFormatInfo(MediaInfo** info);
QELO_EXPORT void QeloFreeFileFormatInfo(MediaInfo* info);

QELO_EXPORT int QeloLoadMediaFile(const char16_t* path, MediaInfo* info);
QELO_EXPORT int QeloUnloadMediaFile(int handle);
QELO_EXPORT int QeloGetVideoBuffersize(int handle);
QELO_EXPORT int QeloGetNextVideoFrame(VideoFrame* frame, int handle);
QELO_EXPORT int QeloGetNextAudioFrame(AudioFrame* frame, int handle);
QELO_EXPORT int QeloFlushAudio(int handle);
QELO_EXPORT int QeloFlushVideo(int handle);
QELO_EXPORT int QeloResizeVideoSize(int32_t* width, int32_t* height, int handle);
QELO_EXPORT int QeloResample(int sampleRate, int bitsPerSample, int channels, int handle);
QELO_EXPORT int QeloSeekMediaFile(int64_t time, int handle);
// 1 when the file's packet reader stopped on a failure other than the end of
// the file (a read error, a file that became shorter while it was read): the
// frames and chunks that ended with it were not all of the file. Else 0.
QELO_EXPORT int QeloMediaReadFailed(int handle);

QELO_EXPORT int QeloInitializeEncoder(const FormatSettings* settings);
QELO_EXPORT int QeloAddVideoFrame(int width, int height, int pixelFormat, const uint8_t* pixels,
                                  int size, int handle);
QELO_EXPORT int QeloCloseVideo(int handle);
QELO_EXPORT int QeloAddAudioFrame(const uint8_t* pcm, int byteCount, int handle);
QELO_EXPORT int QeloCloseAudio(int handle);
QELO_EXPORT int QeloDeInitializeEncoder(int handle);
QELO_EXPORT int QeloGetDefaultFmtContext(int formatId, FormatSettings* settings);
QELO_EXPORT int QeloCheckFmtContext(FormatSettings* settings);
