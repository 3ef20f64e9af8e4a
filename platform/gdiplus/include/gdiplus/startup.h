// Start-up and shut-down of the drawing layer. Start-ups are counted; the
// last shut-down drops the shared font-match cache.
#pragma once

#include <cstdint>

#include "gdiplus/types.h"

namespace qelo::gdiplus {

struct StartupInput {
  uint32_t version = 1;
};

// Gives `*token` a value to hand back to Shutdown.
Status Startup(uintptr_t* token, const StartupInput& input = {});
void Shutdown(uintptr_t token);

}  // namespace qelo::gdiplus
