#include "registry/registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <unordered_map>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "registry/store_file.h"

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

void ReportDamage(const std::string& path) {
  std::fprintf(stderr, "registry: the store %s is damaged; reading it as empty\n", path.c_str());
}

LoadState ReadStore(Store* store) {
  const std::string path = StorePath();
  const LoadState state = LoadStore(path, store);
  if (state == LoadState::kDamaged) ReportDamage(path);
  return state;
}

// Holds the store's lock file for one read-change-write; released at scope end.
class StoreLock {
 public:
  explicit StoreLock(const std::string& folder) {
    fd_ = open((folder + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~StoreLock() {
    if (fd_ >= 0) close(fd_);
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Runs `change` on the current store and writes the result back.
template <typename Change>
Status ChangeStore(Change change) {
  const std::string folder = StoreFolder();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  StoreLock lock(folder);
  if (!lock.held()) return Status::kStoreFailed;
  Store store;
  const LoadState state = ReadStore(&store);
  const Status status = change(&store);
  if (status != Status::kOk) return status;
  const std::string path = StorePath();
  if (state == LoadState::kDamaged) {
    std::filesystem::copy_file(path, path + ".damaged",
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) return Status::kStoreFailed;  // the damaged file is kept, not overwritten
  }
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
