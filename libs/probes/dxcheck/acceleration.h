// The two registry values that switch Direct3D and DirectDraw hardware
// acceleration off when they are not 0.
#pragma once

namespace qelo::probes {

// True only when both values read 0; a missing key or value counts as off.
bool AccelerationSwitchedOn();
// Writes both values as dword 0 into the existing keys.
bool SwitchAccelerationOn();

}  // namespace qelo::probes
