// The effects the edit window offers: what QeloEnumEffect lists, in its
// order, with each parameter's name, default and the range its slider
// covers; and the frame hook that shows the chosen effects live on the
// output pane of the preview.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "qelo/convertor.h"
#include "qelo/effect.h"
#include "win/window/window.h"

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

// Posted to the window the hook reports to after each frame it saw: the
// frame's time in 100-ns units, high 32 bits in wParam, low in lParam.
inline constexpr win::UINT WM_EDIT_FRAME_SHOWN = win::WM_USER + 300;

// The player's frame hook for the edit window. The player calls it on its
// window thread, under its instance lock, with each frame it shows; the
// window sets what it applies from the GUI thread.
class TLiveEffects {
 public:
  // The effects in their order, applied to the part of each frame that the
  // crop keeps (what the output pane shows), as the engine applies them to
  // the cropped picture.
  void Set(const SourceEntry& entry);
  // Where each frame's time is posted; null for nowhere.
  void SetNotifyWindow(win::HWND window);

  // FrameCallback: `self` is the TLiveEffects.
  static void Hook(VideoFrame* frame, void* self);
  void Apply(VideoFrame& frame);

 private:
  // Guards effects_, crop_ and window_, written by the GUI thread and read
  // by the player's window thread; held only to copy them.
  std::mutex lock_;
  std::vector<EffectRecord> effects_;
  RelativeRect crop_{0.0, 0.0, 1.0, 1.0};
  win::HWND window_ = nullptr;
  // The cropped part while the effects run on it; only the player's window
  // thread touches it.
  std::vector<uint8_t> scratch_;
};

}  // namespace qelo::app
