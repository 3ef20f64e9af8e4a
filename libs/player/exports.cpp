// The flat entry points of QeloPlayer: index checks, then the instance's
// lock for field changes and posted (or, for frame steps, sent) messages for
// everything that touches the window or the playback state.
#include <memory>

#include "closing_files.h"
#include "gdiplus/startup.h"
#include "player_instance_table.h"
#include "playback.h"
#include "player_log.h"
#include "qelo/codecs.h"
#include "qelo/player_exports.h"
#include "win/codepage.h"

using qelo::player::FreePlayerInstance;
using qelo::player::PlayerInstanceTable;
using qelo::player::PlayerInstance;
using qelo::player::gLog;
using Guard = qelo::win::CriticalSectionLock;

namespace {

PlayerInstanceTable*& TablePointer() {
  static PlayerInstanceTable* table = nullptr;
  return table;
}

// Made on the first call that takes an index.
PlayerInstanceTable& Table() {
  PlayerInstanceTable*& table = TablePointer();
  if (!table) table = new PlayerInstanceTable;
  return *table;
}

uintptr_t gGdiplusToken = 0;

PlayerInstance* Find(int index) { return Table().Get(index); }

// An instance without a window takes no messages (a null window would post
// to the calling thread instead).
int PostToWindow(const PlayerInstance& instance, qelo::win::UINT message, qelo::win::WPARAM w = 0,
                 qelo::win::LPARAM l = 0) {
  qelo::win::HWND window = instance.window.load();
  return window && qelo::win::PostMessage(window, message, w, l) ? 1 : 0;
}

int Post(int index, qelo::win::UINT message, qelo::win::WPARAM w = 0, qelo::win::LPARAM l = 0) {
  PlayerInstance* instance = Find(index);
  return instance ? PostToWindow(*instance, message, w, l) : 0;
}

int Send(int index, qelo::win::UINT message) {
  PlayerInstance* instance = Find(index);
  if (!instance) return 0;
  if (qelo::win::HWND window = instance->window.load()) qelo::win::SendMessage(window, message, 0, 0);
  return 1;
}

// Runs `change` on the instance's display under its lock, then posts
// `message` to its window.
template <typename Change>
int ChangeDisplay(int index, qelo::win::UINT message, Change change) {
  PlayerInstance* instance = Find(index);
  if (!instance) return 0;
  {
    Guard guard(instance->lock);
    change(*instance);
  }
  PostToWindow(*instance, message);
  return 1;
}

template <typename Read>
int ReadDisplay(int index, Read read) {
  PlayerInstance* instance = Find(index);
  if (!instance) return 0;
  Guard guard(instance->lock);
  read(*instance);
  return 1;
}

}  // namespace

int InitializeQeloPlayer(LogCallback callback) {
  gLog.SetCallback(callback);
  QeloInitializeCodecs(callback);
  if (!gGdiplusToken) qelo::gdiplus::Startup(&gGdiplusToken);
  return 1;
}

int DeInitializeQeloPlayer() {
  // The instances still use the codec bridge, so they go first.
  if (PlayerInstanceTable* table = TablePointer()) {
    while (table->count() > 0) FreePlayerInstance(table->RemovePlayerInstance(table->count() - 1));
    delete table;
    TablePointer() = nullptr;
  }
  qelo::player::WaitForClosingFiles();
  QeloDeInitializeCodecs(0);
  if (gGdiplusToken) qelo::gdiplus::Shutdown(gGdiplusToken);
  gGdiplusToken = 0;
  return 1;
}

int QeloCreatePlayerInstance(QeloWindow parent, uint8_t twoPane) {
  PlayerInstanceTable& table = Table();
  if (table.Full()) {
    gLog.Write("too many player instance exist...");
    return -1;
  }
  auto instance = qelo::player::BuildPlayerInstance(parent, twoPane != 0);
  if (!instance) return -1;
  return table.Add(std::move(instance));
}

int QeloDestroyPlayerInstance(int index) {
  std::unique_ptr<PlayerInstance> instance = Table().RemovePlayerInstance(index);
  if (!instance) return 0;
  FreePlayerInstance(std::move(instance));
  return 1;
}

int QeloInitStream(int flag, int index) {
  PlayerInstance* instance = Find(index);
  if (!instance) return 0;
  if (flag) {
    Guard guard(instance->lock);
    instance->streamFlag = 1;
  } else {
    gLog.Write("Error parameter...");
  }
  return 0;
}

int QeloInitFile(const char16_t* path, MediaInfo** info, int index) {
  PlayerInstance* instance = Find(index);
  if (!instance || !path) return 0;
  return qelo::player::OpenInstanceFile(*instance, path, info) ? 1 : 0;
}

int QeloDeInitFile(int index) {
  PlayerInstance* instance = Find(index);
  if (!instance) return 0;
  qelo::player::CloseMedia(*instance);
  return 1;
}

int QeloPlay(int index) { return Post(index, WM_PLAYWND_PLAY); }
int QeloPause(int index) { return Post(index, WM_PLAYWND_PAUSE); }
int QeloStop(int index) { return Post(index, WM_PLAYWND_STOP); }

int QeloSeek(uint32_t low, int32_t high, int index) {
  return Post(index, WM_PLAYWND_SEEK, qelo::win::WPARAM(uint32_t(high)), qelo::win::LPARAM(low));
}

int QeloResizeWnd(int width, int height, int index) {
  return Post(index, WM_PLAYWND_RESIZE, qelo::win::WPARAM(width), qelo::win::LPARAM(height));
}

int QeloNextFrame(int index) { return Send(index, WM_PLAYWND_NEXT_FRAME); }
int QeloPreviousFrame(int index) { return Send(index, WM_PLAYWND_PREV_FRAME); }

int QeloSetCallBack(FrameCallback callback, int value, void* userData, int index) {
  return ReadDisplay(index, [&](PlayerInstance& instance) {
    instance.frameCallback = callback;
    instance.hookValue = value;
    instance.hookUserData = userData;
    instance.display.SetHookDrawsOutput(callback && value == QELO_HOOK_DRAWS_OUTPUT);
  });
}

int QeloSetMsgHandle(QeloWindow window, int index) {
  return ReadDisplay(index, [&](PlayerInstance& instance) { instance.notifyWindow = window; });
}

int QeloSetCrop(const RelativeRect* crop, int index) {
  if (!Find(index)) return 0;
  if (!crop) return 1;
  return ChangeDisplay(index, WM_PLAYWND_CROP_CHANGED,
                       [&](PlayerInstance& instance) { instance.display.crop().SetCrop(*crop); });
}

int QeloGetCrop(RelativeRect* crop, int index) {
  return ReadDisplay(index, [&](PlayerInstance& instance) {
    if (crop) *crop = instance.display.crop().crop();
  });
}

int QeloEnableCrop(int enable, int index) {
  return ChangeDisplay(index, WM_PLAYWND_CROP_CHANGED, [&](PlayerInstance& instance) {
    instance.display.crop().SetCropEditing(enable != 0);
  });
}

int QeloForceClipAspect(int aspect, int index) {
  return ChangeDisplay(index, WM_PLAYWND_FORCE_ASPECT, [&](PlayerInstance& instance) {
    instance.display.crop().SetClipAspect(aspect);
  });
}

int QeloSnapshot(const char16_t* path, int index) {
  return ReadDisplay(index, [&](PlayerInstance& instance) {
    if (path && instance.FileOpen()) instance.display.SaveSnapshot(qelo::win::Utf16ToUtf8(path));
  });
}

int QeloEnableWatermark(const WatermarkState* state, int index) {
  return ChangeDisplay(index, WM_PLAYWND_REDRAW,
                       [&](PlayerInstance& instance) { instance.display.watermark().Enable(state); });
}

int QeloGetWatermark(WatermarkState* state, int index) {
  return ReadDisplay(index, [&](PlayerInstance& instance) {
    if (state) instance.display.watermark().GetState(state);
  });
}

int QeloSetWatermarkImage(const ImageWatermark* image, int index) {
  return ChangeDisplay(index, WM_PLAYWND_REDRAW, [&](PlayerInstance& instance) {
    if (image) instance.display.watermark().SetImage(*image);
  });
}

int QeloSetWatermarkText(const TextWatermark* text, int index) {
  return ChangeDisplay(index, WM_PLAYWND_REDRAW, [&](PlayerInstance& instance) {
    if (text) instance.display.watermark().SetText(*text);
  });
}

int QeloSetWatermarkRegion(const RelativeRect* region, int index) {
  return ChangeDisplay(index, WM_PLAYWND_REDRAW, [&](PlayerInstance& instance) {
    if (region) instance.display.watermark().SetRegion(*region);
  });
}

int QeloGetWatermarkRegion(RelativeRect* region, int index) {
  return ReadDisplay(index, [&](PlayerInstance& instance) {
    if (region) instance.display.watermark().GetRegion(region);
  });
}

int QeloSetWatermarkFont(const WatermarkFont* font, int index) {
  return ChangeDisplay(index, WM_PLAYWND_REDRAW, [&](PlayerInstance& instance) {
    if (font) instance.display.watermark().SetFont(*font);
  });
}

int QeloSetWatermarkTransparent(int alpha, int index) {
  return ChangeDisplay(index, WM_PLAYWND_REDRAW,
                       [&](PlayerInstance& instance) { instance.display.watermark().SetTransparent(alpha); });
}
