#include "dxcheck/dx_version.h"

#include <memory>
#include <string>
#include <vector>

#include "dxdiag/dxdiag.h"

namespace qelo::probes {
namespace {

using qelo::dxdiag::Container;
using qelo::dxdiag::Property;
using qelo::dxdiag::Provider;

constexpr std::uint64_t FileVersion(std::uint64_t a, std::uint64_t b, std::uint64_t c,
                                    std::uint64_t d) {
  return (a << 48) | (b << 32) | (c << 16) | d;
}

// One rung of the version ladder: the file, the version it must reach (for
// files of major version 4, or any file when `atLeastMajor5` is 0) and, where
// the file may come in a major-5 build, what that build must reach.
struct Rung {
  const char* file;
  std::uint64_t atLeast;
  std::uint64_t atLeastMajor5;
  DxVersion result;
};

constexpr Rung kLadder[] = {
    {"ddraw.dll", FileVersion(4, 2, 0, 95), 0, {1, 0, ' '}},
    {"ddraw.dll", FileVersion(4, 3, 0, 1096), 0, {2, 0, ' '}},
    {"ddraw.dll", FileVersion(4, 4, 0, 68), 0, {3, 0, ' '}},
    {"d3drg8x.dll", FileVersion(4, 4, 0, 70), 0, {3, 0, 'a'}},
    {"ddraw.dll", FileVersion(4, 5, 0, 155), 0, {5, 0, ' '}},
    {"ddraw.dll", FileVersion(4, 6, 0, 318), 0, {6, 0, ' '}},
    {"ddraw.dll", FileVersion(4, 6, 0, 436), 0, {6, 1, ' '}},
    {"dplayx.dll", FileVersion(4, 6, 3, 518), 0, {6, 1, 'a'}},
    {"ddraw.dll", FileVersion(4, 7, 0, 700), 0, {7, 0, ' '}},
    {"dinput.dll", FileVersion(4, 7, 0, 716), 0, {7, 0, 'a'}},
    {"ddraw.dll", FileVersion(4, 8, 0, 400), FileVersion(5, 1, 2258, 400), {8, 0, ' '}},
    {"d3d8.dll", FileVersion(4, 8, 1, 881), FileVersion(5, 1, 2600, 881), {8, 1, ' '}},
    {"d3d8.dll", FileVersion(4, 8, 1, 901), FileVersion(5, 1, 2600, 901), {8, 1, 'a'}},
    {"mpg2splt.ax", FileVersion(6, 3, 1, 885), 0, {8, 1, 'b'}},
    {"dpnet.dll", FileVersion(4, 9, 0, 134), FileVersion(5, 2, 3677, 134), {8, 2, ' '}},
    {"d3d9.dll", 0, 0, {9, 0, ' '}},  // any version information at all
};

std::uint32_t LetterCode(char letter) {
  return letter >= 'a' && letter <= 'z' ? static_cast<std::uint32_t>(letter - 'a' + 1) : 0;
}

bool ReadFileVersion(const std::string& path, std::uint64_t* version) {
  const std::uint32_t size = qelo::dxdiag::GetFileVersionInfoSize(path);
  if (size == 0) return false;
  std::vector<unsigned char> data(size);
  qelo::dxdiag::FixedFileInfo info;
  if (!qelo::dxdiag::GetFileVersionInfo(path, size, data.data()) ||
      !qelo::dxdiag::QueryRootBlock(data.data(), size, &info))
    return false;
  *version = (std::uint64_t{info.fileVersionMS} << 32) | info.fileVersionLS;
  return true;
}

bool RungHolds(const Rung& rung, std::uint64_t version) {
  if (rung.atLeastMajor5 == 0) return version >= rung.atLeast;
  const std::uint64_t major = version >> 48;
  if (major == 4) return version >= rung.atLeast;
  return major == 5 && version >= rung.atLeastMajor5;
}

bool ReadUnsigned(const Container& info, const char* name, std::uint32_t* value) {
  Property property;
  if (!info.GetProp(name, &property)) return false;
  const auto* number = std::get_if<std::uint32_t>(&property);
  if (number) *value = *number;
  return number != nullptr;
}

bool ReadLetter(const Container& info, char* letter) {
  Property property;
  if (!info.GetProp("szDirectXVersionLetter", &property)) return false;
  const auto* text = std::get_if<std::string>(&property);
  if (!text || text->empty()) return false;
  *letter = (*text)[0];
  return true;
}

bool ReadSystemInfo(DxVersion* version) {
  std::unique_ptr<Provider> provider;
  if (!Provider::Create(&provider)) return false;
  qelo::dxdiag::InitParams params;
  params.headerVersion = qelo::dxdiag::kHeaderVersion;
  std::unique_ptr<Container> root, info;
  if (!provider->Initialize(params) || !provider->GetRootContainer(&root) ||
      !root->GetChildContainer("DxDiag_SystemInfo", &info))
    return false;
  DxVersion read;
  if (!ReadUnsigned(*info, "dwDirectXVersionMajor", &read.major) ||
      !ReadUnsigned(*info, "dwDirectXVersionMinor", &read.minor) || !ReadLetter(*info, &read.letter))
    return false;
  *version = read;
  return true;
}

}  // namespace

std::uint32_t DxVersionCodeOf(const DxVersion& version) {
  return ((version.major * 256 + version.minor) * 256) + LetterCode(version.letter);
}

bool DxVersionFromDxDiag(DxVersion* version) {
  const bool comReady = qelo::dxdiag::InitializeCom();
  const bool read = ReadSystemInfo(version);
  if (comReady) qelo::dxdiag::UninitializeCom();
  return read;
}

DxVersion DxVersionFromFiles() {
  DxVersion result{0, 0, ' '};
  std::string folder;
  if (!qelo::dxdiag::GetSystemDirectory(&folder)) return result;
  for (const Rung& rung : kLadder) {
    std::uint64_t version = 0;
    if (ReadFileVersion(folder + "/" + rung.file, &version) && RungHolds(rung, version))
      result = rung.result;
  }
  return result;
}

std::uint32_t ProbeDxVersion() {
  DxVersion version;
  if (!DxVersionFromDxDiag(&version)) version = DxVersionFromFiles();
  return DxVersionCodeOf(version);
}

}  // namespace qelo::probes
