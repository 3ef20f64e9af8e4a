// The flat entry points of QeloEffect: they make the library's state object
// on first use and dispatch to the effect table.
#include <atomic>
#include <new>

#include "effect_table.h"
#include "qelo/effect.h"

namespace {

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

void QeloEffectDestory(void) { delete gState.exchange(nullptr); }
