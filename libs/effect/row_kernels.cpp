#include "row_kernels.h"

#include <string.h>

namespace qelo::effect {

void ColorTable::Fill(const uint8_t* values) {
  memcpy(entries, values, sizeof entries);
  for (int row = 0; row < kRows; ++row) {
    memcpy(rows[row], values + kRowEntries * row, kRowEntries);
    memcpy(rows[row] + kRowEntries, values + kRowEntries * row, kRowEntries);
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
