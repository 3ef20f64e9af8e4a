// The flat entry points of QeloDxCheck.
#include "dxcheck/acceleration.h"
#include "dxcheck/dx_version.h"
#include "qelo/dxcheck.h"

int QeloCheckDxVersion(DxVersionCode* version) {
  if (!version) return 0;
  const DxVersionCode required = *version;
  *version = qelo::probes::ProbeDxVersion();
  return *version >= required ? 1 : 0;
}

int QeloCheckDirectXUsed() { return qelo::probes::AccelerationSwitchedOn() ? 1 : 0; }

int QeloTurnOnDirectX() { return qelo::probes::SwitchAccelerationOn() ? 1 : 0; }
