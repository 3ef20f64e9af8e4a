#include "win/version.h"

namespace qelo::win {

int GetVersionEx(OSVERSIONINFO* info) {
  if (info == nullptr) return 0;
  *info = OSVERSIONINFO{5, 1, 2600, VER_PLATFORM_WIN32_NT};
  return 1;
}

int GetCommonControlsVersion(DLLVERSIONINFO* info) {
  if (info == nullptr) return 0;
  *info = DLLVERSIONINFO{6, 0, 2600, VER_PLATFORM_WIN32_NT};
  return 1;
}

}  // namespace qelo::win
