// Records, callback and message numbers that the preview player shares with
// its host: watermark settings, the clip aspect, the frame hook, the
// messages to the player window and the messages it posts to the host.
#pragma once

#include <stdint.h>

#include "qelo/media.h"
#include "qelo/watermark.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MAX_PLAYER_INSTANCES 8
#define QELO_WATERMARK_TEXT_CHARS 256

enum WatermarkKind { WATERMARK_NONE = 0, WATERMARK_TEXT = 1, WATERMARK_IMAGE = 2 };

// Crop edge drags treat any non-zero value other than 1 and 2 as the
// picture's own aspect.
enum ClipAspect { CLIP_ASPECT_FREE = 0, CLIP_ASPECT_16_9 = 1, CLIP_ASPECT_4_3 = 2, CLIP_ASPECT_PICTURE = 3 };

typedef struct TextWatermark {
  char16_t text[QELO_WATERMARK_TEXT_CHARS];  // zero-terminated; empty draws nothing
  WatermarkFont font;
  RelativeRect region;  // left and top place the text; width and height unused
  int32_t alpha;        // 0 transparent .. 255 opaque
} TextWatermark;

typedef struct ImageWatermark {
  char16_t imagePath[QELO_PATH_CHARS];  // a PNG, JPEG or BMP file
  RelativeRect region;                  // the picture is fitted into this part of the frame
  int32_t alpha;                        // 0..255; 255 leaves the picture's own alpha
} ImageWatermark;

typedef struct WatermarkState {
  int32_t kind;  // WatermarkKind
  union {
    TextWatermark text;    // kind 1
    ImageWatermark image;  // kind 2
  };
} WatermarkState;

// Called on the player's window thread, under the instance lock, with each
// frame shown; it may change the pixels, which the second pane then shows.
typedef void (*FrameCallback)(VideoFrame* frame, void* userData);

// QeloSetCallBack's value. 0: the player crops the hook's frame into the
// second pane and draws the watermark on it. QELO_HOOK_DRAWS_OUTPUT: the
// hook makes the second pane's whole picture (crop, watermark, effects) on
// the frame it is given, and the pane shows that frame as the hook left it
// (each pixel's colour, as an encoder takes it), with only the outline of
// the watermark being placed drawn over it.
#define QELO_HOOK_DRAWS_OUTPUT 1

// Messages to the player window (WM_USER + n).
enum PlayerWindowMessage {
  WM_PLAYWND_PLAY = 1024,
  WM_PLAYWND_PAUSE = 1025,
  WM_PLAYWND_STOP = 1026,
  WM_PLAYWND_SEEK = 1027,  // wParam high half, lParam low half of the position
  WM_PLAYWND_AUDIO_DRAINED = 1028,
  WM_PLAYWND_RESIZE = 1030,  // wParam width, lParam height
  WM_PLAYWND_PREV_FRAME = 1031,
  WM_PLAYWND_NEXT_FRAME = 1032,
  WM_PLAYWND_FORCE_ASPECT = 1033,
  WM_PLAYWND_CROP_CHANGED = 1034,
  WM_PLAYWND_REDRAW = 1035,
};

// Messages the player posts to the window named by QeloSetMsgHandle.
enum PlayerHostMessage {
  // wParam high 32 bits, lParam low 32 bits of the position (100 ns).
  WM_PLAYER_POSITION = 1224,
  WM_PLAYER_END = 1225,
  // wParam left << 16 | (top & 0xFFFF), lParam width << 16 | (height & 0xFFFF),
  // in the file's display pixels.
  WM_PLAYER_CROP_RECT = 1226,
  // wParam x, lParam y: the watermark's top-left corner in display pixels.
  WM_PLAYER_WATERMARK_MOVED = 1227,
};

#ifdef __cplusplus
}  // extern "C"
#endif
