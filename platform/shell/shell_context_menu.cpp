#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/context_menu.h"
#include "shell/errors.h"
#include "shell/file_operations.h"
#include "item_facts.h"
#include "shell/launch.h"
#include "owner_messages.h"
#include "shell/shell_data_object.h"
#include "shell/drag_drop.h"
#include "ui_objects.h"

namespace qelo::shell::detail {
namespace {

struct Verb {
  UINT offset;
  const char* verb;
  const char* caption;
  const char* help;
};

constexpr Verb kVerbs[] = {
    {kVerbOpen, "open", "&Open", "Opens the selected items."},
    {kVerbExplore, "explore", "&Explore", "Opens the folder in the file manager."},
    {kVerbCut, "cut", "Cu&t", "Moves the selected items to the clipboard."},
    {kVerbCopy, "copy", "&Copy", "Copies the selected items to the clipboard."},
    {kVerbPaste, "paste", "&Paste", "Places the items of the clipboard in this folder."},
    {kVerbDelete, "delete", "&Delete", "Moves the selected items to the Trash."},
    {kVerbRename, "rename", "Rena&me", "Renames the selected item."},
    {kVerbNewFolder, "newfolder", "New &Folder", "Makes a new folder here."},
};

const Verb* VerbAt(UINT offset) {
  for (const Verb& v : kVerbs)
    if (v.offset == offset) return &v;
  return nullptr;
}

const Verb* VerbNamed(const char* name) {
  for (const Verb& v : kVerbs)
    if (strcasecmp(v.verb, name) == 0) return &v;
  return nullptr;
}

bool ClipboardHasItems() {
  ComPtr<IDataObject> data;
  return SUCCEEDED(OleGetClipboard(data.Put())) && OffersItems(data.Get());
}

std::string Quoted(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return "\"" + DisplayText(slash == std::string::npos ? path : path.substr(slash + 1)) + "\"";
}

class ShellContextMenu final : public ComObject<IContextMenu, IID_IContextMenu> {
 public:
  ShellContextMenu(LPCITEMIDLIST folderList, Location folder, const std::vector<LPCITEMIDLIST>& items, HWND owner)
      : folderList_(ILClone(folderList)), folder_(std::move(folder)), owner_(owner) {
    for (LPCITEMIDLIST item : items) {
      items_.emplace_back(ILClone(item));
      locations_.push_back(Walk(folder_, item).value_or(Location{}));
    }
  }

  HRESULT QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override {
    if (!IsMenu(menu)) return E_INVALIDARG;
    Builder build{menu, index, firstId, lastId, 0};
    if (items_.empty()) BuildBackground(build);
    else BuildItems(build, flags);
    return MakeResult(build.largest);
  }

  HRESULT InvokeCommand(CMINVOKECOMMANDINFO* info) override {
    // A null verb is offset 0 (MAKEINTRESOURCE(0)): "open".
    if (!info) return E_INVALIDARG;
    const Verb* verb = IS_INTRESOURCE(info->lpVerb) ? VerbAt(static_cast<UINT>(reinterpret_cast<uintptr_t>(info->lpVerb)))
                                                    : VerbNamed(info->lpVerb);
    if (!verb) return E_INVALIDARG;
    HWND owner = info->hwnd ? info->hwnd : owner_;
    switch (verb->offset) {
      case kVerbOpen:
      case kVerbExplore: return Open(owner);
      case kVerbCut: return PutOnClipboard(DROPEFFECT_MOVE);
      case kVerbCopy: return PutOnClipboard(DROPEFFECT_COPY);
      case kVerbPaste: return Paste(owner);
      case kVerbDelete: return Delete(owner);
      case kVerbNewFolder: return NewFolder(owner);
      default: return E_NOTIMPL;  // renaming is the view's
    }
  }

  HRESULT GetCommandString(UINT_PTR offset, UINT type, UINT*, char* text, UINT size) override {
    const Verb* verb = VerbAt(static_cast<UINT>(offset));
    if (type == GCS_VALIDATEA) return verb ? S_OK : S_FALSE;
    if (!verb || !text || size == 0) return E_INVALIDARG;
    if (type != GCS_VERBA && type != GCS_HELPTEXTA) return E_INVALIDARG;
    std::snprintf(text, size, "%s", type == GCS_VERBA ? verb->verb : verb->help);
    return S_OK;
  }

 private:
  struct Builder {
    HMENU menu;
    UINT at;
    UINT firstId;
    UINT lastId;
    UINT largest;
  };

  ~ShellContextMenu() = default;

  static void Command(Builder& b, UINT offset, UINT flags = MF_STRING) {
    if (b.firstId + offset > b.lastId) return;
    InsertMenu(b.menu, b.at++, MF_BYPOSITION | flags, b.firstId + offset, VerbAt(offset)->caption);
    b.largest = std::max(b.largest, offset + 1);
  }
  static void Separator(Builder& b) { InsertMenu(b.menu, b.at++, MF_BYPOSITION | MF_SEPARATOR, 0, ""); }

  bool AllHave(ULONG attribute) const {
    for (const Location& l : locations_) {
      ULONG a = 0;
      if (FAILED(ItemAttributes(l, attribute, &a)) || !(a & attribute)) return false;
    }
    return true;
  }
  bool AllHavePaths() const {
    for (const Location& l : locations_)
      if (!l.HasPath()) return false;
    return true;
  }
  bool AllFolders() const {
    for (const Location& l : locations_)
      if (l.kind == Location::kPath ? !IsDirectoryPath(l.path) : l.kind != Location::kVolume && l.kind != Location::kHome)
        return false;
    return true;
  }

  void BuildBackground(Builder& b) {
    Command(b, kVerbPaste, ClipboardHasItems() ? MF_STRING : MF_GRAYED);
    Command(b, kVerbNewFolder);
  }

  void BuildItems(Builder& b, UINT flags) {
    const bool folders = AllFolders();
    const bool paths = AllHavePaths();
    if (paths) {
      if ((flags & CMF_EXPLORE) && folders) {
        Command(b, kVerbExplore, MF_STRING | MF_DEFAULT);
        Command(b, kVerbOpen);
      } else {
        Command(b, kVerbOpen, MF_STRING | MF_DEFAULT);
      }
    }
    if (flags & CMF_DEFAULTONLY) return;
    Separator(b);
    HMENU sendTo = CreatePopupMenu();
    AppendMenu(sendTo, MF_STRING | MF_GRAYED, 0, "(empty)");
    InsertMenu(b.menu, b.at++, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sendTo), "Se&nd To");
    if (!paths) return;
    Separator(b);
    if (AllHave(SFGAO_CANMOVE)) Command(b, kVerbCut);
    Command(b, kVerbCopy);
    if (items_.size() == 1 && folders) Command(b, kVerbPaste, ClipboardHasItems() ? MF_STRING : MF_GRAYED);
    Separator(b);
    if (AllHave(SFGAO_CANDELETE)) Command(b, kVerbDelete);
    if ((flags & CMF_CANRENAME) && items_.size() == 1 && AllHave(SFGAO_CANRENAME)) Command(b, kVerbRename);
  }

  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const Location& l : locations_)
      if (l.HasPath()) paths.push_back(l.path);
    return paths;
  }

  // Where pasting and new folders go: the folder itself, or its one folder item.
  std::string TargetFolder() const {
    if (items_.empty()) return folder_.path;
    return items_.size() == 1 && AllFolders() ? locations_[0].path : std::string();
  }

  HRESULT Open(HWND owner) {
    for (const std::string& path : Paths()) {
      std::string why;
      if (!OpenWithDefaultHandler(path, &why)) {
        ShowShellError(owner, "Cannot open " + Quoted(path) + ".\n\n" + why);
        return E_FAIL;
      }
    }
    return S_OK;
  }

  HRESULT PutOnClipboard(uint32_t effect) {
    std::vector<LPCITEMIDLIST> items;
    for (const IdListPtr& item : items_) items.push_back(item.Get());
    ComPtr<IDataObject> data;
    if (HRESULT hr = CreateShellDataObject(folderList_.Get(), items, effect, data.Put()); FAILED(hr)) return hr;
    return OleSetClipboard(data.Get());
  }

  HRESULT Paste(HWND owner) {
    std::string target = TargetFolder();
    ComPtr<IDataObject> data;
    if (target.empty() || FAILED(OleGetClipboard(data.Put()))) return E_FAIL;
    std::vector<std::string> sources = DataObjectPaths(data.Get());
    if (sources.empty()) return E_FAIL;
    const bool move = (PreferredDropEffect(data.Get()) & DROPEFFECT_MOVE) != 0;
    HRESULT hr = TransferItems(sources, target, move ? Transfer::kMove : Transfer::kCopy, nullptr);
    if (FAILED(hr)) {
      ShowShellError(owner, "Cannot paste into " + Quoted(target) + ".\n\n" + SystemErrorText(hr));
      return hr;
    }
    if (move) OleSetClipboard(nullptr);  // what was cut has been moved
    return S_OK;
  }

  HRESULT Delete(HWND owner) {
    std::vector<std::string> paths = Paths();
    if (paths.empty()) return E_FAIL;
    std::string question = paths.size() == 1
                               ? "Are you sure you want to move " + Quoted(paths[0]) + " to the Trash?"
                               : "Are you sure you want to move these " + std::to_string(paths.size()) +
                                     " items to the Trash?";
    if (!AskShellQuestion(owner, question)) return HRESULT_FROM_WIN32(ERROR_CANCELLED);
    for (const std::string& path : paths) {
      HRESULT hr = MoveToTrash(path);
      if (hr == HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED)) {
        if (!AskShellQuestion(owner, Quoted(path) + " cannot be moved to the Trash.\n\nDo you want to delete it permanently?"))
          return HRESULT_FROM_WIN32(ERROR_CANCELLED);
        hr = DeletePermanently(path);
      }
      if (FAILED(hr)) {
        ShowShellError(owner, "Cannot delete " + Quoted(path) + ".\n\n" + SystemErrorText(hr));
        return hr;
      }
    }
    return S_OK;
  }

  HRESULT NewFolder(HWND owner) {
    std::string target = TargetFolder();
    if (target.empty()) return E_FAIL;
    std::string name = FreeNameIn(target, "New Folder");
    if (!name.empty() && mkdir(JoinPath(target, name).c_str(), 0777) == 0) return S_OK;
    HRESULT hr = HResultFromErrno(name.empty() ? EEXIST : errno);
    ShowShellError(owner, "Cannot make a new folder in " + Quoted(target) + ".\n\n" + SystemErrorText(hr));
    return hr;
  }

  IdListPtr folderList_;
  Location folder_;
  HWND owner_;
  std::vector<IdListPtr> items_;
  std::vector<Location> locations_;
};

}  // namespace

HRESULT CreateContextMenu(LPCITEMIDLIST folderList, const Location& folder, const std::vector<LPCITEMIDLIST>& items,
                          HWND owner, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (LPCITEMIDLIST item : items)
    if (ILIsEmpty(item) || !Walk(folder, item)) return E_INVALIDARG;
  auto* menu = new ShellContextMenu(folderList, folder, items, owner);
  HRESULT hr = menu->QueryInterface(iid, object);
  menu->Release();
  return hr;
}

}  // namespace qelo::shell::detail
