#include "effect_forms.h"

#include <atomic>

namespace qelo::effect {
namespace {

constexpr int kNotForced = -1;
std::atomic<int> gForcedForm{kNotForced};

bool CpuHas(Form form) {
#if defined(__x86_64__)
  static const bool avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  // The AVX-512 forms use the foundation, byte and word, doubleword and
  // quadword, and vector-length extensions; the table lookup also wants
  // VBMI and does without it.
  static const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                             __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
  switch (form) {
    case Form::kAvx2: return avx2;
    case Form::kAvx512: return avx512;
    default: return true;
  }
#else
  return form == Form::kScalar || form == Form::kPlain;
#endif
}

}  // namespace

const char* FormName(Form form) {
  switch (form) {
    case Form::kScalar: return "scalar";
    case Form::kPlain: return "plain";
    case Form::kAvx2: return "AVX2";
    case Form::kAvx512: return "AVX-512";
  }
  return "?";
}

bool FormAvailable(Form form) {
  const int value = static_cast<int>(form);
  return value >= 0 && value <= static_cast<int>(Form::kAvx512) && CpuHas(form);
}

Form BestForm() {
  static const Form best = FormAvailable(Form::kAvx512) ? Form::kAvx512
                           : FormAvailable(Form::kAvx2) ? Form::kAvx2
                                                        : Form::kPlain;
  return best;
}

Form ActiveForm() {
  const int forced = gForcedForm.load(std::memory_order_relaxed);
  return forced == kNotForced ? BestForm() : static_cast<Form>(forced);
}

bool ForceForm(Form form) {
  if (!FormAvailable(form)) return false;
  gForcedForm.store(static_cast<int>(form), std::memory_order_relaxed);
  return true;
}

void StopForcingForm() { gForcedForm.store(kNotForced, std::memory_order_relaxed); }

}  // namespace qelo::effect
