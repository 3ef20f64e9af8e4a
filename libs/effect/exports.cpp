// The flat entry points of QeloEffect: they make the library's state object
// on first use and dispatch to the effect table.
#include <algorithm>
#include <atomic>
#include <memory>
#include <new>

#include "effect_forms.h"
#include "effect_table.h"
#include "noise_source.h"
#include "qelo/effect.h"
#include "qelo/effect_passes.h"
#include "wave_sines.h"

namespace {

using qelo::effect::Form;
static_assert(QELO_EFFECT_FORM_SCALAR == static_cast<int>(Form::kScalar) &&
              QELO_EFFECT_FORM_PLAIN == static_cast<int>(Form::kPlain) &&
              QELO_EFFECT_FORM_AVX2 == static_cast<int>(Form::kAvx2) &&
              QELO_EFFECT_FORM_AVX512 == static_cast<int>(Form::kAvx512));

// The library's state: an empty object made by the first call and freed by
// QeloEffectDestory. Atomic, because calls come from any thread.
struct LibraryState {};
std::atomic<LibraryState*> gState{nullptr};

void EnsureState() {
  if (gState.load(std::memory_order_acquire) != nullptr) return;
  LibraryState* fresh = new (std::nothrow) LibraryState;
  LibraryState* none = nullptr;
  if (!gState.compare_exchange_strong(none, fresh)) delete fresh;
}

}  // namespace

// A pass with nothing to do (an unknown id, an empty frame, a pass that
// could not be allocated) has no effect; it is the one shared object below.
struct QeloEffectPass {
  std::unique_ptr<qelo::effect::EffectPass> effect;
  int height = 0;
};

namespace {
QeloEffectPass gNothingToDo;
}  // namespace

void QeloEnumEffect(EnumEffectCallback callback, void* user) {
  EnsureState();
  qelo::effect::EnumerateEffects(callback, user);
}

bool QeloDoEffect(VideoFrame* frame, const EffectRecord* effect, int) {
  EnsureState();
  return qelo::effect::ApplyEffect(effect, frame);
}

bool QeloDoEffectEx(VideoFrame* frame, int, const EffectRecord* effect, int) {
  EnsureState();
  return qelo::effect::ApplyEffect(effect, frame);
}

void QeloEffectDestory(void) {
  delete gState.exchange(nullptr);
  qelo::effect::ReleaseWaveSines();
}

QeloEffectPass* QeloBeginEffectPass(VideoFrame* frame, const EffectRecord* effect) {
  EnsureState();
  if (effect == nullptr || frame == nullptr || !qelo::effect::AddressableFrame(*frame)) return nullptr;
  try {
    auto prepared = qelo::effect::MakeEffectPass(*effect, *frame, qelo::effect::ActiveForm(),
                                                 qelo::effect::NextNoiseSeed());
    if (!prepared) return &gNothingToDo;
    return new QeloEffectPass{std::move(prepared), frame->height};
  } catch (const std::bad_alloc&) {
    // Nothing was written yet: the frame stays as it was, as QeloDoEffect leaves it.
    return &gNothingToDo;
  }
}

void QeloRunEffectPass(QeloEffectPass* pass, int firstRow, int rowCount) {
  if (pass == nullptr || !pass->effect) return;
  const int64_t first = std::max(firstRow, 0);
  const int64_t end = std::min<int64_t>(int64_t{firstRow} + std::max(rowCount, 0), pass->height);
  if (first < end) pass->effect->RunBand(static_cast<int>(first), static_cast<int>(end - first));
}

void QeloEndEffectPass(QeloEffectPass* pass) {
  if (pass != &gNothingToDo) delete pass;
}

bool QeloEffectFormAvailable(int form) {
  return qelo::effect::FormAvailable(static_cast<Form>(form));
}

bool QeloEffectUseForm(int form) {
  if (form == QELO_EFFECT_FORM_BEST) {
    qelo::effect::StopForcingForm();
    return true;
  }
  return QeloEffectFormAvailable(form) && qelo::effect::ForceForm(static_cast<Form>(form));
}

int QeloEffectActiveForm(void) { return static_cast<int>(qelo::effect::ActiveForm()); }
