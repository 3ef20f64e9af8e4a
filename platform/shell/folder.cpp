#include "folder.h"

#include <fcntl.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/errors.h"
#include "item_compare.h"
#include "item_facts.h"
#include "shell/context_menu.h"
#include "shell/drag_drop.h"
#include "owner_messages.h"
#include "shell/shell_data_object.h"
#include "ui_objects.h"

namespace qelo::shell::detail {
namespace {

// Renames without ever replacing what has the new name. File systems
// without the kernel's no-replace rename get a hard link and unlink for
// files (atomic as well) and a checked rename for folders.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) {
    if (link(from.c_str(), to.c_str()) != 0) return errno;
    return unlink(from.c_str()) == 0 ? 0 : errno;
  }
  if (lstat(to.c_str(), &st) == 0) return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool IsSingleItem(LPCITEMIDLIST item) { return !ILIsEmpty(item) && ILIsEmpty(ILNext(item)); }

class Folder final : public ComObject<IShellFolder2, IID_IShellFolder, IID_IShellFolder2> {
 public:
  Folder(LPITEMIDLIST absolute, Location location) : absolute_(absolute), location_(std::move(location)) {}

  HRESULT ParseDisplayName(HWND, void*, const char* name, ULONG* eaten, LPITEMIDLIST* list,
                           ULONG* attributes) override {
    if (!name || !list) return E_INVALIDARG;
    *list = nullptr;
    std::string_view text(name);
    HRESULT hr = ParseRelativeName(location_, text, list);
    if (FAILED(hr)) return hr;
    if (eaten) *eaten = static_cast<ULONG>(text.size());
    if (attributes) {
      LPCITEMIDLIST parsed = *list;
      if (FAILED(GetAttributesOf(1, &parsed, attributes))) *attributes = 0;
    }
    return S_OK;
  }

  HRESULT EnumObjects(HWND, DWORD flags, IEnumIDList** items) override {
    return CreateItemEnumerator(location_, flags, items);
  }

  HRESULT BindToObject(LPCITEMIDLIST list, void*, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (ILIsEmpty(list)) return E_INVALIDARG;
    std::optional<Location> target = Walk(location_, list);
    if (!target) return E_INVALIDARG;
    if (target->kind == Location::kPath && !IsDirectoryPath(target->path))
      return HRESULT_FROM_WIN32(access(target->path.c_str(), F_OK) == 0 ? ERROR_DIRECTORY : ERROR_FILE_NOT_FOUND);
    IdListPtr absolute(ILCombine(absolute_.Get(), list));
    if (!absolute) return E_OUTOFMEMORY;
    return CreateFolder(absolute.Get(), std::move(*target), iid, object);
  }

  HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST a, LPCITEMIDLIST b) override {
    return MakeCompareResult(CompareRelativeLists(location_, static_cast<UINT>(column & 0xFFFF), a, b));
  }

  HRESULT CreateViewObject(HWND owner, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!location_.HasPath()) return E_NOINTERFACE;
    if (iid == IID_IContextMenu) return CreateContextMenu(absolute_.Get(), location_, {}, owner, iid, object);
    if (iid == IID_IDropTarget) return CreateFolderDropTarget(location_.path, owner, iid, object);
    return E_NOINTERFACE;
  }

  HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST const* items, ULONG* attributes) override {
    if (!attributes || (count > 0 && !items)) return E_INVALIDARG;
    ULONG asked = *attributes & ~SFGAO_VALIDATE;
    ULONG common = ~0u;
    if (count == 0) return ItemAttributes(location_, asked, attributes);
    for (UINT i = 0; i < count; ++i) {
      std::optional<Location> item = Walk(location_, items[i]);
      if (!item || ILIsEmpty(items[i])) return E_INVALIDARG;
      ULONG a = 0;
      if (HRESULT hr = ItemAttributes(*item, asked, &a); FAILED(hr)) return hr;
      common &= a;
    }
    *attributes = common & asked;
    return S_OK;
  }

  HRESULT GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST const* items, REFIID iid, UINT*,
                        void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (count == 0 || !items) return E_INVALIDARG;
    std::vector<LPCITEMIDLIST> list(items, items + count);
    if (iid == IID_IContextMenu) return CreateContextMenu(absolute_.Get(), location_, list, owner, iid, object);
    if (iid == IID_IDataObject)
      return CreateShellDataObject(absolute_.Get(), list, 0, reinterpret_cast<IDataObject**>(object));
    if (iid == IID_IDropTarget) {
      std::optional<Location> target = Walk(location_, items[0]);
      if (count != 1 || !target || !IsDirectoryPath(target->path)) return E_NOINTERFACE;
      return CreateFolderDropTarget(target->path, owner, iid, object);
    }
    return E_NOINTERFACE;
  }

  HRESULT GetDisplayNameOf(LPCITEMIDLIST item, DWORD flags, STRRET* name) override {
    if (!name) return E_INVALIDARG;
    std::optional<Location> target = Walk(location_, item);
    if (!target) return E_INVALIDARG;
    return SetStrRet(ItemDisplayName(*target, flags), name);
  }

  HRESULT SetNameOf(HWND owner, LPCITEMIDLIST item, const char* name, DWORD, LPITEMIDLIST* newItem) override {
    if (newItem) *newItem = nullptr;
    if (!name || !IsSingleItem(item)) return E_INVALIDARG;
    std::optional<ItemView> view = DecodeItem(item);
    std::optional<Location> target = Walk(location_, item);
    if (!view || !target || target->kind != Location::kPath) return E_INVALIDARG;
    std::string newName(name);
    HRESULT hr = Rename(*target, newName);
    if (FAILED(hr)) {
      ShowShellError(owner, "Cannot rename \"" + DisplayText(target->name) + "\" to \"" + DisplayText(newName) +
                                "\".\n\n" + SystemErrorText(hr));
      return hr;
    }
    if (newItem && !(*newItem = MakeEntryItem(newName, view->flags))) return E_OUTOFMEMORY;
    return S_OK;
  }

  HRESULT GetDefaultColumnState(UINT column, DWORD* state) override {
    static constexpr DWORD kTypes[kDetailColumnCount] = {SHCOLSTATE_TYPE_STR, SHCOLSTATE_TYPE_INT, SHCOLSTATE_TYPE_STR,
                                                         SHCOLSTATE_TYPE_DATE};
    if (!state) return E_POINTER;
    if (column >= kDetailColumnCount) return E_INVALIDARG;
    *state = kTypes[column] | SHCOLSTATE_ONBYDEFAULT;
    return S_OK;
  }

  HRESULT GetDetailsOf(LPCITEMIDLIST item, UINT column, SHELLDETAILS* details) override {
    if (!details) return E_POINTER;
    if (column >= kDetailColumnCount) return E_INVALIDARG;
    DetailHeading(column, details);
    if (!item) return S_OK;
    CoTaskMemFree(details->str.pOleStr);
    std::optional<Location> target = Walk(location_, item);
    if (!target) return E_INVALIDARG;
    return SetStrRet(DetailText(*target, column), &details->str);
  }

 private:
  ~Folder() = default;

  static HRESULT Rename(const Location& target, const std::string& newName) {
    if (!IsValidEntryName(newName)) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    if (newName == target.name) return S_OK;
    std::string folder = target.path.substr(0, target.path.size() - target.name.size());
    int error = RenameNoReplace(target.path, folder + newName);
    return error == 0 ? S_OK : HResultFromErrno(error);
  }

  IdListPtr absolute_;
  Location location_;
};

}  // namespace

HRESULT CreateFolder(LPCITEMIDLIST absolute, Location location, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  LPITEMIDLIST copy = ILClone(absolute);
  if (!copy) return E_OUTOFMEMORY;
  auto* folder = new Folder(copy, std::move(location));
  HRESULT hr = folder->QueryInterface(iid, object);
  folder->Release();
  return hr;
}

}  // namespace qelo::shell::detail
