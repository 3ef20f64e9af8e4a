#include "ct_common_versions.h"

#include <vector>

#include "shell/version.h"

namespace qelo::ct {
namespace {

// The platform facts read once, at start-up or by their first reader,
// whichever comes first (the way a unit's start-up runs before its users).
struct VersionFacts {
  win::OSVERSIONINFO platform{};
  FileVersionWords commonControls, shell32;
  VersionFacts() {
    win::GetVersionEx(&platform);
    GetFileVersionNumbers("comctl32.dll", &commonControls);
    GetFileVersionNumbers("shell32.dll", &shell32);
  }
};
VersionFacts& Versions() {
  static VersionFacts facts;
  return facts;
}

}  // namespace

const win::OSVERSIONINFO& ShellVersionRecord() { return Versions().platform; }
bool IsWinNTPlatform() { return ShellVersionRecord().dwPlatformId == win::VER_PLATFORM_WIN32_NT; }
const FileVersionWords& ComCtl32FileVersion() { return Versions().commonControls; }
uint32_t CommonControlsVersion() { return ComCtl32FileVersion().mostSignificant; }
void RecordCommonControlsVersion(uint32_t version) { Versions().commonControls.mostSignificant = version; }
const FileVersionWords& Shell32FileVersion() { return Versions().shell32; }

bool GetFileVersionNumbers(const std::string& fileName, FileVersionWords* version) {
  *version = FileVersionWords();
  uint32_t handle = 0;
  uint32_t size = shell::GetFileVersionInfoSize(fileName, &handle);
  if (size == 0) return false;
  std::vector<unsigned char> buffer(size);  // freed on every path
  if (!shell::GetFileVersionInfo(fileName, handle, size, buffer.data())) return false;
  void* value = nullptr;
  uint32_t length = 0;
  if (!shell::VerQueryValue(buffer.data(), "\\", &value, &length) || length < sizeof(shell::VS_FIXEDFILEINFO))
    return false;
  const auto* fixed = static_cast<const shell::VS_FIXEDFILEINFO*>(value);
  version->mostSignificant = fixed->dwFileVersionMS;
  version->leastSignificant = fixed->dwFileVersionLS;
  return true;
}

}  // namespace qelo::ct
