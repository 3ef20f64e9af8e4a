#include "shell/version.h"

#include <strings.h>

#include <cstring>

namespace qelo::shell {
namespace {

constexpr uint32_t kShellMajor = 6, kShellMinor = 0, kShellBuild = 2900;

struct VersionResource {
  uint32_t marker;
  VS_FIXEDFILEINFO fixed;
};
constexpr uint32_t kResourceMarker = 0x51564552;  // tells our blocks from other bytes

bool VersionOfFile(const std::string& fileName, VS_FIXEDFILEINFO* out) {
  win::DLLVERSIONINFO version;
  if (strcasecmp(fileName.c_str(), "shell32.dll") == 0) GetShellVersion(&version);
  else if (strcasecmp(fileName.c_str(), "comctl32.dll") == 0) win::GetCommonControlsVersion(&version);
  else return false;
  out->dwFileVersionMS = (version.dwMajorVersion << 16) | (version.dwMinorVersion & 0xFFFF);
  out->dwFileVersionLS = version.dwBuildNumber & 0xFFFF;
  return true;
}

}  // namespace

int GetShellVersion(win::DLLVERSIONINFO* info) {
  if (!info) return 0;
  info->dwMajorVersion = kShellMajor;
  info->dwMinorVersion = kShellMinor;
  info->dwBuildNumber = kShellBuild;
  info->dwPlatformID = win::VER_PLATFORM_WIN32_NT;
  return 1;
}

uint32_t GetFileVersionInfoSize(const std::string& fileName, uint32_t* handle) {
  if (handle) *handle = 0;
  VS_FIXEDFILEINFO fixed;
  return VersionOfFile(fileName, &fixed) ? sizeof(VersionResource) : 0;
}

bool GetFileVersionInfo(const std::string& fileName, uint32_t, uint32_t size, void* data) {
  VersionResource resource{kResourceMarker, {}};
  if (!data || size < sizeof resource || !VersionOfFile(fileName, &resource.fixed)) return false;
  std::memcpy(data, &resource, sizeof resource);
  return true;
}

bool VerQueryValue(const void* data, const std::string& block, void** value, uint32_t* length) {
  if (!data || !value || block != "\\") return false;
  auto* resource = static_cast<VersionResource*>(const_cast<void*>(data));
  if (resource->marker != kResourceMarker) return false;
  *value = &resource->fixed;
  if (length) *length = sizeof(VS_FIXEDFILEINFO);
  return true;
}

}  // namespace qelo::shell
