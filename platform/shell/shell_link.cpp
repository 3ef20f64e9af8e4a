#include "shell/shell_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "shell/errors.h"
#include "location.h"
#include "shell/namespace.h"

namespace qelo::shell {
namespace {

// 100-ns units between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochDifference = 116444736000000000LL;

int64_t FileTime(const timespec& t) {
  return kEpochDifference + static_cast<int64_t>(t.tv_sec) * 10000000LL + t.tv_nsec / 100;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ReadSymlink(const std::string& path, std::string* target) {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t got = readlink(path.c_str(), buffer.data(), buffer.size());
    if (got < 0) return false;
    if (static_cast<std::size_t>(got) < buffer.size()) {
      target->assign(buffer.data(), static_cast<std::size_t>(got));
      return true;
    }
    buffer.resize(buffer.size() * 2);  // the target may be longer than any fixed buffer
  }
}

class ShellLink final : public IShellLink, public IPersistFile {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IShellLink) *object = static_cast<IShellLink*>(this);
    else if (iid == IID_IPersistFile) *object = static_cast<IPersistFile*>(this);
    else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return refs_.Increment(); }
  ULONG Release() override {
    ULONG left = refs_.Decrement();
    if (left == 0) delete this;
    return left;
  }

  HRESULT Load(const std::string& path, uint32_t) override {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return HResultFromErrno(errno);
    std::string target;
    if (!S_ISLNK(st.st_mode) || !ReadSymlink(path, &target) || target.empty()) return E_FAIL;
    target_ = target.front() == '/' ? target : detail::JoinPath(FolderOf(path), target);
    return S_OK;
  }

  HRESULT GetPath(std::string* path, WIN32_FIND_DATA* data, uint32_t) override {
    if (!path) return E_POINTER;
    *path = target_;
    if (data) {
      *data = WIN32_FIND_DATA();
      if (!target_.empty()) FindDataOf(target_, data);
    }
    return target_.empty() ? S_FALSE : S_OK;
  }
  HRESULT GetIDList(LPITEMIDLIST* list) override {
    if (!list) return E_POINTER;
    *list = nullptr;
    return target_.empty() ? E_FAIL : SHParsePath(target_, list);
  }
  HRESULT GetDescription(std::string* text) override { return Empty(text); }
  HRESULT GetWorkingDirectory(std::string* path) override { return Empty(path); }
  HRESULT GetArguments(std::string* text) override { return Empty(text); }
  HRESULT GetHotkey(uint16_t* key) override {
    if (!key) return E_POINTER;
    *key = 0;
    return S_OK;
  }
  HRESULT GetShowCmd(int* show) override {
    if (!show) return E_POINTER;
    *show = win::SW_SHOWNORMAL;
    return S_OK;
  }
  HRESULT GetIconLocation(std::string* path, int* index) override {
    if (!path || !index) return E_POINTER;
    path->clear();
    *index = 0;
    return S_OK;
  }
  HRESULT Resolve(win::HWND, uint32_t) override {
    struct stat st;
    if (target_.empty()) return E_FAIL;
    return stat(target_.c_str(), &st) == 0 ? S_OK : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  }

 private:
  ~ShellLink() = default;
  static HRESULT Empty(std::string* text) {
    if (!text) return E_POINTER;
    text->clear();
    return S_OK;
  }

  RefCount refs_;
  std::string target_;
};

}  // namespace

bool FindDataOf(const std::string& path, WIN32_FIND_DATA* data) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  data->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
  std::string name = NameOf(path);
  if (!name.empty() && name.front() == '.') data->dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
  if (access(path.c_str(), W_OK) != 0) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  if (data->dwFileAttributes == 0) data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  data->ftCreationTime = FileTime(st.st_ctim);
  data->ftLastAccessTime = FileTime(st.st_atim);
  data->ftLastWriteTime = FileTime(st.st_mtim);
  data->nFileSize = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  data->cFileName = name;
  return true;
}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, uint32_t, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return E_NOINTERFACE;  // aggregation is not offered
  if (!(classId == CLSID_ShellLink)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* link = new ShellLink;
  HRESULT hr = link->QueryInterface(iid, object);
  link->Release();
  return hr;
}

}  // namespace qelo::shell
