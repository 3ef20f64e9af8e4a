#include "shell/namespace.h"

#include <cstring>
#include <mutex>

#include "folder.h"
#include "item_facts.h"

namespace qelo::shell {

HRESULT SHGetDesktopFolder(IShellFolder** folder) {
  if (!folder) return E_INVALIDARG;
  IdListPtr empty(ILClone(nullptr));
  if (!empty) return E_OUTOFMEMORY;
  return detail::CreateFolder(empty.Get(), detail::DesktopLocation(), IID_IShellFolder,
                              reinterpret_cast<void**>(folder));
}

HRESULT SHParsePath(const std::string& path, LPITEMIDLIST* list) {
  if (!list) return E_INVALIDARG;
  *list = nullptr;
  if (path.empty() || path.front() != '/') return E_INVALIDARG;
  return detail::ParseRelativeName(detail::DesktopLocation(), path, list);
}

bool SHGetPathFromIDList(LPCITEMIDLIST list, std::string* path) {
  path->clear();
  std::optional<detail::Location> target = detail::Walk(detail::DesktopLocation(), list);
  if (!target || !target->HasPath()) return false;
  *path = target->path;
  return true;
}

std::string SHPathOfIdList(LPCITEMIDLIST list) {
  std::string path;
  SHGetPathFromIDList(list, &path);
  return path;
}

namespace {

std::mutex explorerLock;
ComPtr<IUnknown>& InstanceExplorer() {
  static auto* explorer = new ComPtr<IUnknown>;  // never destroyed: windows may ask while statics go
  return *explorer;
}

}  // namespace

HRESULT SHGetInstanceExplorer(IUnknown** explorer) {
  if (!explorer) return E_POINTER;
  std::lock_guard<std::mutex> hold(explorerLock);
  *explorer = InstanceExplorer().Get();
  if (!*explorer) return E_FAIL;
  (*explorer)->AddRef();
  return S_OK;
}

void SHSetInstanceExplorer(IUnknown* explorer) {
  std::lock_guard<std::mutex> hold(explorerLock);
  InstanceExplorer() = ComPtr<IUnknown>::Share(explorer);
}

std::string TakeStrRet(STRRET* name, LPCITEMIDLIST item) {
  std::string text;
  switch (name->uType) {
    case STRRET_WSTR:
      if (name->pOleStr) text = name->pOleStr;
      CoTaskMemFree(name->pOleStr);
      name->pOleStr = nullptr;
      break;
    case STRRET_OFFSET: {
      std::size_t size = ILItemSize(item);
      if (name->uOffset < size) {
        const char* start = reinterpret_cast<const char*>(item) + name->uOffset;
        text.assign(start, strnlen(start, size - name->uOffset));
      }
      break;
    }
    case STRRET_CSTR:
      text.assign(name->cStr, strnlen(name->cStr, kStrRetInlineBytes));
      break;
  }
  return text;
}

}  // namespace qelo::shell
