// The platform's version as the programs ask for it: the system reports
// itself as Windows NT 5.1 (build 2600) and its common controls as 6.0, the
// versions whose features this platform offers.
#pragma once

#include <cstdint>

namespace qelo::win {

constexpr uint32_t VER_PLATFORM_WIN32s = 0;
constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;  // the 9x family
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFO {
  uint32_t dwMajorVersion = 0;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 0;
  uint32_t dwPlatformId = 0;
};
// Fills the record; 0 for a null record.
int GetVersionEx(OSVERSIONINFO* info);

// The version of a system library, as its version query reports it.
struct DLLVERSIONINFO {
  uint32_t dwMajorVersion = 0;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 0;
  uint32_t dwPlatformID = VER_PLATFORM_WIN32_NT;
};
// The common controls' version; 0 for a null record.
int GetCommonControlsVersion(DLLVERSIONINFO* info);

}  // namespace qelo::win
