// Reading the installed DirectX version: from the diagnostic provider, else
// from the file versions of DirectX's system files.
#pragma once

#include <cstdint>

namespace qelo::probes {

struct DxVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  char letter = ' ';
};

std::uint32_t DxVersionCodeOf(const DxVersion& version);

bool DxVersionFromDxDiag(DxVersion* version);
// Never fails: a system without any DirectX file gives 0.0.
DxVersion DxVersionFromFiles();
// The installed version as a code.
std::uint32_t ProbeDxVersion();

}  // namespace qelo::probes
