#include "dxdiag/dxdiag.h"

#include <cstring>
#include <map>

#include <strings.h>

#include "config.h"

namespace qelo::dxdiag {

struct ContainerData {
  std::map<std::string, std::shared_ptr<const ContainerData>, std::less<>> children;
  std::map<std::string, Property, std::less<>> properties;
};

namespace {

constexpr const char* kSystemInfo = "DxDiag_SystemInfo";
constexpr std::uint32_t kVersionSignature = 0x51564552;  // "QVER"

thread_local int tComCount = 0;

std::shared_ptr<const ContainerData> MakeRoot(const Config& config) {
  auto systemInfo = std::make_shared<ContainerData>();
  for (const auto& [name, value] : config.systemInfo) systemInfo->properties[name] = value;
  auto root = std::make_shared<ContainerData>();
  root->children[kSystemInfo] = std::move(systemInfo);
  return root;
}

bool SameFileName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The configured system file at `path`, or null.
const SystemFile* FindSystemFile(const Config& config, std::string_view path) {
  if (!config.systemDirectory) return nullptr;
  const std::string& folder = *config.systemDirectory;
  if (path.size() <= folder.size() + 1 || path.substr(0, folder.size()) != folder ||
      path[folder.size()] != '/')
    return nullptr;
  const std::string_view name = path.substr(folder.size() + 1);
  for (const SystemFile& file : config.files)
    if (SameFileName(file.name, name)) return &file;
  return nullptr;
}

}  // namespace

bool InitializeCom() {
  ++tComCount;
  return true;
}

void UninitializeCom() {
  if (tComCount > 0) --tComCount;
}

Container::Container(std::shared_ptr<const ContainerData> data) : data_(std::move(data)) {}

bool Container::GetChildContainer(std::string_view name, std::unique_ptr<Container>* child) const {
  const auto it = data_->children.find(name);
  if (!child || it == data_->children.end()) return false;
  *child = std::make_unique<Container>(it->second);
  return true;
}

bool Container::GetProp(std::string_view name, Property* value) const {
  const auto it = data_->properties.find(name);
  if (!value || it == data_->properties.end()) return false;
  *value = it->second;
  return true;
}

Provider::Provider(std::shared_ptr<const ContainerData> root, bool initializeFails)
    : root_(std::move(root)), initializeFails_(initializeFails) {}

bool Provider::Create(std::unique_ptr<Provider>* provider) {
  if (!provider || tComCount == 0) return false;
  const Config config = LoadConfig();
  if (config.provider == ProviderState::kMissing) return false;
  *provider = std::make_unique<Provider>(MakeRoot(config),
                                         config.provider == ProviderState::kFailsInitialize);
  return true;
}

bool Provider::Initialize(const InitParams& params) {
  if (params.size != sizeof(InitParams) || params.headerVersion != kHeaderVersion ||
      initializeFails_)
    return false;
  initialized_ = true;
  return true;
}

bool Provider::GetRootContainer(std::unique_ptr<Container>* root) const {
  if (!root || !initialized_) return false;
  *root = std::make_unique<Container>(root_);
  return true;
}

bool GetSystemDirectory(std::string* folder) {
  const Config config = LoadConfig();
  if (!folder || !config.systemDirectory) return false;
  *folder = *config.systemDirectory;
  return true;
}

std::uint32_t GetFileVersionInfoSize(const std::string& path) {
  const Config config = LoadConfig();
  const SystemFile* file = FindSystemFile(config, path);
  return file && file->version ? sizeof(FixedFileInfo) : 0;
}

bool GetFileVersionInfo(const std::string& path, std::uint32_t size, void* data) {
  const Config config = LoadConfig();
  const SystemFile* file = FindSystemFile(config, path);
  if (!file || !file->version || !data || size < sizeof(FixedFileInfo)) return false;
  const FixedFileInfo info{kVersionSignature, static_cast<std::uint32_t>(*file->version >> 32),
                           static_cast<std::uint32_t>(*file->version)};
  std::memcpy(data, &info, sizeof info);
  return true;
}

bool QueryRootBlock(const void* data, std::uint32_t size, FixedFileInfo* info) {
  if (!data || !info || size < sizeof(FixedFileInfo)) return false;
  std::memcpy(info, data, sizeof *info);
  return info->signature == kVersionSignature;
}

}  // namespace qelo::dxdiag
