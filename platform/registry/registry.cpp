#include "registry/registry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <unordered_map>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "registry/store_file.h"
#include "win/small_file.h"

namespace qelo::reg {
namespace {

constexpr const char* kStoreName = "registry.dat";
constexpr const char* kLockName = "registry.lock";

// Keys that a freshly installed system has, with no values in them.
constexpr const char* kSystemKeys[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Direct3D\\Drivers",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectDraw",
};

struct OpenedKey {
  std::string path;
  std::uint32_t access = 0;
};

// The table of open keys; guarded by its own mutex.
class KeyTable {
 public:
  Key Add(OpenedKey key) {
    std::lock_guard lock(mutex_);
    const Key handle = next_++;
    keys_.emplace(handle, std::move(key));
    return handle;
  }
  bool Remove(Key handle) {
    std::lock_guard lock(mutex_);
    return keys_.erase(handle) == 1;
  }
  bool Find(Key handle, OpenedKey* key) const {
    if (handle == HKEY_LOCAL_MACHINE || handle == HKEY_CURRENT_USER) {
      *key = {handle == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER",
              kAllAccess};
      return true;
    }
    std::lock_guard lock(mutex_);
    const auto it = keys_.find(handle);
    if (it == keys_.end()) return false;
    *key = it->second;
    return true;
  }

 private:
  mutable std::mutex mutex_;
  std::unordered_map<Key, OpenedKey> keys_;
  Key next_ = HKEY_CURRENT_USER + 1;
};

KeyTable& Keys() {
  static auto* table = new KeyTable;  // lives as long as the process
  return *table;
}

std::string StoreFolder() {
  if (const char* dir = std::getenv("QELO_REGISTRY_DIR"); dir && *dir) return dir;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    return std::string(config) + "/clipshift";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/clipshift";
}

// Joins a parent path and a sub-key path; false for empty parts ("a\\\\b").
bool JoinPath(const std::string& parent, std::string_view subKey, std::string* path) {
  *path = parent;
  std::size_t start = 0;
  while (start < subKey.size()) {
    const std::size_t slash = subKey.find('\\', start);
    const std::size_t stop = slash == std::string_view::npos ? subKey.size() : slash;
    if (stop == start) return false;
    *path += '\\';
    path->append(subKey.substr(start, stop - start));
    start = stop + 1;
    if (slash != std::string_view::npos && start == subKey.size()) return false;
  }
  return true;
}

// True when `path` is `key` or a key above it.
bool IsAtOrAbove(std::string_view path, std::string_view key) {
  if (path.size() > key.size() || !SameName(path, key.substr(0, path.size()))) return false;
  return path.size() == key.size() || key[path.size()] == '\\';
}

bool KeyExists(const Store& store, const std::string& path) {
  if (path.find('\\') == std::string::npos) return true;  // a root
  for (const char* system : kSystemKeys)
    if (IsAtOrAbove(path, system)) return true;
  for (const auto& [key, values] : store.keys)
    if (IsAtOrAbove(path, key)) return true;
  return false;
}

LoadResult ReadStore(Store* store) { return LoadStore(StorePath(), store); }

// What stands at the store's path and cannot be used is kept aside, all
// but a folder, which cannot be replaced either.
bool MustKeepAside(const LoadResult& loaded) {
  return loaded.state == LoadState::kDamaged || (loaded.state == LoadState::kUnusable && !loaded.folder);
}

// Holds the store's lock file for one read-change-write; released at scope end.
class StoreLock {
 public:
  explicit StoreLock(const std::string& folder) {
    const std::string path = folder + "/" + kLockName;
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    struct stat info;
    if (fd_ < 0) {
      problem_ = std::strerror(errno);
    } else if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      problem_ = "it is not a regular file";
    } else if (flock(fd_, LOCK_EX) != 0) {
      problem_ = std::strerror(errno);
    }
    if (!problem_.empty()) {
      problem_ = "its lock file " + path + " cannot be used: " + problem_;
      if (fd_ >= 0) close(fd_);
      fd_ = -1;
    }
  }
  ~StoreLock() {
    if (fd_ >= 0) close(fd_);
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  bool held() const { return fd_ >= 0; }
  const std::string& problem() const { return problem_; }

 private:
  int fd_ = -1;
  std::string problem_;
};

// Makes the store's folder; why it cannot be, or empty.
std::string MakeStoreFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && std::filesystem::is_directory(folder, error)) return "";
  return "its folder " + folder + " cannot be made: " + (error ? error.message() : "a file stands there");
}

// Runs `change` on the current store and writes the result back.
template <typename Change>
Status ChangeStore(Change change) {
  const std::string folder = StoreFolder();
  if (!MakeStoreFolder(folder).empty()) return Status::kStoreFailed;
  StoreLock lock(folder);
  if (!lock.held()) return Status::kStoreFailed;
  Store store;
  const LoadResult loaded = ReadStore(&store);
  const Status status = change(&store);
  if (status != Status::kOk) return status;
  const std::string path = StorePath();
  // What stood there is kept, never overwritten.
  if (MustKeepAside(loaded) && win::KeepAside(path, nullptr).empty()) return Status::kStoreFailed;
  return SaveStore(path, store) ? Status::kOk : Status::kStoreFailed;
}

Status OpenOrCreate(Key parent, std::string_view subKey, std::uint32_t access, Key* key,
                    bool create) {
  if (!key) return Status::kInvalidArgument;
  *key = kNoKey;
  OpenedKey opened;
  if (!Keys().Find(parent, &opened)) return Status::kInvalidHandle;
  std::string path;
  if (!JoinPath(opened.path, subKey, &path)) return Status::kInvalidArgument;
  Store store;
  ReadStore(&store);
  if (!KeyExists(store, path)) {
    if (!create) return Status::kNotFound;
    const Status made = ChangeStore([&path](Store* s) {
      s->keys.try_emplace(path);
      return Status::kOk;
    });
    if (made != Status::kOk) return made;
  }
  *key = Keys().Add({path, access});
  return Status::kOk;
}

std::uint32_t StoredSize(const StoredValue& value) {
  return value.type == ValueType::kDword ? 4u : static_cast<std::uint32_t>(value.text.size() + 1);
}

void CopyOut(const StoredValue& value, void* data) {
  if (value.type == ValueType::kDword)
    std::memcpy(data, &value.dword, sizeof value.dword);
  else
    std::memcpy(data, value.text.c_str(), value.text.size() + 1);
}

bool MakeValue(ValueType type, const void* data, std::uint32_t size, StoredValue* value) {
  value->type = type;
  if (type == ValueType::kDword) {
    if (size != sizeof value->dword || !data) return false;
    std::memcpy(&value->dword, data, sizeof value->dword);
    return true;
  }
  if (type != ValueType::kString || (!data && size != 0)) return false;
  const char* text = static_cast<const char*>(data);
  value->text.assign(text, size ? strnlen(text, size) : 0);
  return true;
}

}  // namespace

std::string StorePath() { return StoreFolder() + "/" + kStoreName; }

StoreCheck CheckStore() {
  const std::string folder = StoreFolder();
  const std::string path = StorePath();
  const std::string name = "The registry store " + path;
  StoreCheck check;
  auto unusable = [&check, &name](const std::string& problem, const char* what = " cannot be read or written (") {
    check.usable = false;
    check.reports.push_back(name + what + problem + ").");
  };
  if (const std::string problem = MakeStoreFolder(folder); !problem.empty()) {
    unusable(problem);
    return check;
  }
  Store store;
  const LoadResult loaded = ReadStore(&store);
  if (loaded.folder) {
    unusable(loaded.problem);
    return check;
  }
  if (MustKeepAside(loaded)) {
    const std::string why =
        loaded.state == LoadState::kDamaged ? " is damaged" : " cannot be read (" + loaded.problem + ")";
    std::string problem;
    const std::string aside = win::KeepAside(path, &problem);
    if (aside.empty()) {
      unusable(loaded.state == LoadState::kDamaged ? "it is damaged and cannot be kept aside: " + problem
                                                   : loaded.problem);
      return check;
    }
    check.reports.push_back(name + why + "; it is kept as " + aside + ", and a new store is started.");
  }
  const StoreLock lock(folder);
  if (!lock.held()) unusable(lock.problem(), " cannot be written (");
  else if (access(folder.c_str(), W_OK | X_OK) != 0)
    unusable("its folder " + folder + ": " + std::strerror(errno), " cannot be written (");
  return check;
}

Status OpenKey(Key parent, std::string_view subKey, std::uint32_t access, Key* key) {
  return OpenOrCreate(parent, subKey, access, key, false);
}

Status CreateKey(Key parent, std::string_view subKey, std::uint32_t access, Key* key) {
  return OpenOrCreate(parent, subKey, access, key, true);
}

Status CloseKey(Key key) {
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) return Status::kOk;
  return Keys().Remove(key) ? Status::kOk : Status::kInvalidHandle;
}

Status QueryValue(Key key, std::string_view name, ValueType* type, void* data,
                  std::uint32_t* size) {
  OpenedKey opened;
  if (!Keys().Find(key, &opened)) return Status::kInvalidHandle;
  if (!(opened.access & kQueryValue)) return Status::kAccessDenied;
  if (data && !size) return Status::kInvalidArgument;
  Store store;
  ReadStore(&store);
  const auto keyIt = store.keys.find(opened.path);
  if (keyIt == store.keys.end()) return Status::kNotFound;
  const auto valueIt = keyIt->second.find(name);
  if (valueIt == keyIt->second.end()) return Status::kNotFound;
  const StoredValue& value = valueIt->second;
  if (type) *type = value.type;
  if (!size) return Status::kOk;
  const std::uint32_t needed = StoredSize(value);
  const bool fits = *size >= needed;
  *size = needed;
  if (!data) return Status::kOk;
  if (!fits) return Status::kMoreData;
  CopyOut(value, data);
  return Status::kOk;
}

Status SetValue(Key key, std::string_view name, ValueType type, const void* data,
                std::uint32_t size) {
  OpenedKey opened;
  if (!Keys().Find(key, &opened)) return Status::kInvalidHandle;
  if (!(opened.access & kSetValue)) return Status::kAccessDenied;
  StoredValue value;
  if (!MakeValue(type, data, size, &value)) return Status::kInvalidArgument;
  return ChangeStore([&](Store* store) {
    store->keys[opened.path][std::string(name)] = value;
    return Status::kOk;
  });
}

}  // namespace qelo::reg
