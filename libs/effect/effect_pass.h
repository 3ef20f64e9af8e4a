// One effect prepared for one frame, whose rows are then processed in
// bands: each row of the frame in exactly one band, bands on any threads,
// all of them before the frame is used again. However the frame is cut,
// the bands give the bytes the whole-frame call gives.
#pragma once

#include <stdint.h>

#include <memory>

#include "effect_forms.h"
#include "pix_base.h"

namespace qelo::effect {

class EffectPass {
 public:
  virtual ~EffectPass() = default;
  // The rows firstRow to firstRow + rowCount - 1 of the buffer, counted
  // from its top; they must lie within the frame.
  virtual void RunBand(int firstRow, int rowCount) = 0;
};

// What every effect of a frame is built with.
struct PassContext {
  VideoFrame& frame;
  Form form;
  uint32_t noiseSeed;
};

template <typename Effect>
class PassOf final : public EffectPass {
 public:
  template <typename... Settings>
  explicit PassOf(const PassContext& context, Settings... settings)
      : effect_(settings...), frame_(context.frame), form_(context.form) {
    effect_.prepare(&frame_);
  }
  void RunBand(int firstRow, int rowCount) override { ProcessBand(effect_, frame_, firstRow, rowCount, form_); }

 private:
  Effect effect_;
  VideoFrame frame_;
  Form form_;
};

}  // namespace qelo::effect
