#include "row_kernels.h"

namespace qelo::effect {

// The scalar form has no row kernels of its own; asked for them, it gets
// the plain ones.
const RowKernels& KernelsFor(Form form) {
#if defined(__x86_64__)
  switch (form) {
    case Form::kAvx512: return Avx512Kernels();
    case Form::kAvx2: return kAvx2Kernels;
    default: break;
  }
#else
  (void)form;
#endif
  return kPlainKernels;
}

}  // namespace qelo::effect
