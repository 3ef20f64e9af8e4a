// QeloDxCheck: which DirectX version is installed, and whether DirectDraw and
// Direct3D hardware acceleration are switched on. No state, no threads, no log.
#pragma once

#include <stdint.h>

#include "qelo/export.h"

// ((major x 256 + minor) x 256) + letter, letter 1 for "a" up to 26 for "z",
// 0 for none; 9.0c is 0x00090003. Codes compare in version order.
typedef uint32_t DxVersionCode;

#define QELO_DX_VERSION_9_0C 0x00090003u

// Writes the installed version through `version` and returns 1 when it is at
// least the code passed in; returns 0 and leaves `version` alone when the
// version cannot be read or `version` is null.
QELO_EXPORT int QeloCheckDxVersion(DxVersionCode* version);
// 1 only when "SoftwareOnly" (Direct3D drivers) and "EmulationOnly"
// (DirectDraw) both read 0; missing values count as acceleration off.
QELO_EXPORT int QeloCheckDirectXUsed(void);
// Writes both values as 0; 1 only when both writes succeed.
QELO_EXPORT int QeloTurnOnDirectX(void);
