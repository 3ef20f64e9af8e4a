// The DirectX diagnostic provider and the version information of system
// files, as a stand-in that answers from a small configuration of ours.
//
// With QELO_DXDIAG_CONFIG unset the system looks like one with DirectX 9.0c:
// the provider's "DxDiag_SystemInfo" container reports major 9, minor 0 and
// letter "c", and the system directory "/windows/system32" holds ddraw.dll
// and d3d9.dll with version 5.3.2600.2180. QELO_DXDIAG_CONFIG names a text
// file that sets other answers, one setting a line ('#' starts a comment):
//
//   provider present | missing | fails-initialize
//   property <name> u32|i32|string [<value>]   (the first one replaces the defaults)
//   system-directory <folder> | none
//   file <name> <a.b.c.d> | none               (none: present, no version resource;
//                                               the first one replaces the defaults)
//
// A configuration that cannot be read is reported on stderr and the defaults
// answer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace qelo::dxdiag {

// COM on the calling thread: counted, undone by as many UninitializeCom calls.
// The provider can only be created on a thread that has it.
bool InitializeCom();
void UninitializeCom();

inline constexpr std::uint32_t kHeaderVersion = 111;

struct InitParams {
  std::uint32_t size = sizeof(InitParams);
  std::uint32_t headerVersion = 0;
  bool allowWhqlChecks = false;
  void* reserved = nullptr;
};

// A property's variant: empty, 32-bit unsigned, 32-bit signed or a string.
using Property = std::variant<std::monostate, std::uint32_t, std::int32_t, std::string>;

struct ContainerData;

class Container {
 public:
  explicit Container(std::shared_ptr<const ContainerData> data);
  bool GetChildContainer(std::string_view name, std::unique_ptr<Container>* child) const;
  bool GetProp(std::string_view name, Property* value) const;

 private:
  std::shared_ptr<const ContainerData> data_;
};

class Provider {
 public:
  // Fails without COM on this thread or when the provider is not installed.
  static bool Create(std::unique_ptr<Provider>* provider);
  // Fails for a wrong record size or header version, or a broken provider.
  bool Initialize(const InitParams& params);
  // Only after a successful Initialize.
  bool GetRootContainer(std::unique_ptr<Container>* root) const;

  explicit Provider(std::shared_ptr<const ContainerData> root, bool initializeFails);

 private:
  std::shared_ptr<const ContainerData> root_;
  bool initializeFails_ = false;
  bool initialized_ = false;
};

// File version information.
bool GetSystemDirectory(std::string* folder);

// The fixed part of a file's version information: the file version as two
// 32-bit halves, most significant first (major << 16 | minor, build << 16 | revision).
struct FixedFileInfo {
  std::uint32_t signature = 0;
  std::uint32_t fileVersionMS = 0;
  std::uint32_t fileVersionLS = 0;
};

// Size of a file's version information; 0 when it has none or is missing.
std::uint32_t GetFileVersionInfoSize(const std::string& path);
bool GetFileVersionInfo(const std::string& path, std::uint32_t size, void* data);
// Finds the fixed part (the root block) in version information read above.
bool QueryRootBlock(const void* data, std::uint32_t size, FixedFileInfo* info);

}  // namespace qelo::dxdiag
