// The platform and library version facts the controls read: the version
// record and the common controls' and shell library's file versions, read
// once by their first reader. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "win/version.h"

namespace qelo::ct {

const win::OSVERSIONINFO& ShellVersionRecord();
bool IsWinNTPlatform();
// A library's version as two words: major << 16 | minor, release << 16 |
// build. Both 0 when the file has no version resource.
struct FileVersionWords {
  uint32_t mostSignificant = 0;
  uint32_t leastSignificant = 0;
};
const FileVersionWords& ComCtl32FileVersion();
// The common controls' version as major << 16 | minor: header sort marks
// need 4.70, header formats follow sort changes from 6.0. Start-up records
// the platform's version; a test may record an older one.
constexpr uint32_t ComCtlVersion(uint32_t major, uint32_t minor) { return (major << 16) | minor; }
uint32_t CommonControlsVersion();
void RecordCommonControlsVersion(uint32_t version);
const FileVersionWords& Shell32FileVersion();
// True only when every step of reading the version resource succeeded.
bool GetFileVersionNumbers(const std::string& fileName, FileVersionWords* version);

}  // namespace qelo::ct
