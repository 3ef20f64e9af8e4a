#include "row_kernels.h"

namespace qelo::effect {

void ColorTable::Fill(const uint8_t* values) {
  for (int v = 0; v < 256; ++v) {
    entries[v] = values[v];
    blue[v] = values[v];
    green[v] = uint32_t{values[v]} << 8;
    red[v] = uint32_t{values[v]} << 16;
  }
}

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
