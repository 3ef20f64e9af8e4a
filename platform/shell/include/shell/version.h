// The version facts of the shell and the version resources of the system
// libraries: the shell reports itself as 6.0 and the common controls as
// 6.0 (the versions whose features this platform offers); other files
// have no version resource.
#pragma once

#include <cstdint>
#include <string>

#include "win/version.h"

namespace qelo::shell {

// The shell's own version query; 0 for a null record.
int GetShellVersion(win::DLLVERSIONINFO* info);

struct VS_FIXEDFILEINFO {
  uint32_t dwSignature = 0xFEEF04BD;
  uint32_t dwFileVersionMS = 0;  // major in the high 16 bits, minor in the low
  uint32_t dwFileVersionLS = 0;  // release and build
};

// The version resource of "shell32.dll" or "comctl32.dll" (any case): its
// size, a copy of it, and its root block "\\". 0 / false for other files
// and for a buffer smaller than the size.
uint32_t GetFileVersionInfoSize(const std::string& fileName, uint32_t* handle);
bool GetFileVersionInfo(const std::string& fileName, uint32_t handle, uint32_t size, void* data);
bool VerQueryValue(const void* data, const std::string& block, void** value, uint32_t* length);

}  // namespace qelo::shell
