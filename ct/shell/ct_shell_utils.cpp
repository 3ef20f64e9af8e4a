#include "ct_shell_utils.h"

#include <vector>

#include "ct_shell_intf.h"
#include "ct_shell_utils_device.h"
#include "shell/errors.h"
#include "shell/special_folders.h"
#include "shell/system_icons.h"
#include "vcl/types.h"

namespace qelo::ct {
namespace {

int driveRefreshDisabled = 0;
bool overlayFixDone = false;

constexpr uint32_t kOverlayFixVersion = ComCtlVersion(4, 71);

// Adds the shell's share and link pictures to a system list and makes them
// its overlays 1 and 2; false when the shell has no such pictures.
bool AddOverlays(win::HIMAGELIST list, int size) {
  const int resources[] = {shell::kShellShareOverlayResource, shell::kShellLinkOverlayResource};
  for (int i = 0; i < 2; ++i) {
    win::HBITMAP image = shell::LoadShellImage(resources[i], size);
    if (!image) return false;
    int added = win::ImageList_Add(list, image, nullptr);
    win::DeleteObject(image);
    if (added >= 0) win::ImageList_SetOverlayImage(list, added, i + 1);
  }
  return true;
}

void FixOverlaysOnce(win::HIMAGELIST small, win::HIMAGELIST large) {
  if (overlayFixDone || !IsWinNTPlatform() || CommonControlsVersion() < kOverlayFixVersion) return;
  if (AddOverlays(small, 16) && AddOverlays(large, 32)) overlayFixDone = true;
}

win::HIMAGELIST ListOfSize(unsigned sizeFlag) {
  shell::SHFILEINFO info;
  auto list = reinterpret_cast<win::HIMAGELIST>(shell::SHGetFileInfo("/", 0, &info, shell::SHGFI_SYSICONINDEX | sizeFlag));
  if (!list)
    list = reinterpret_cast<win::HIMAGELIST>(
        shell::SHGetFileInfo("", 0, &info, shell::SHGFI_SYSICONINDEX | shell::SHGFI_USEFILEATTRIBUTES | sizeFlag));
  return list;
}

}  // namespace

void InitializeCtShellUtils() {
  ShellVersionRecord();
  ShellMalloc();
}

void FinalizeCtShellUtils() { FreeDeviceChangeHandler(); }

std::size_t IdListSize(LPCITEMIDLIST list) { return shell::ILGetSize(list); }

LPITEMIDLIST CopyIdList(shell::IMalloc* allocator, LPCITEMIDLIST list) {
  return shell::ILClone(list, allocator ? allocator : ShellMalloc());
}

LPITEMIDLIST ConcatIdLists(shell::IMalloc* allocator, LPCITEMIDLIST first, LPCITEMIDLIST second) {
  return shell::ILCombine(first, second, allocator ? allocator : ShellMalloc());
}

int CompareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  const bool emptyA = a && shell::ILIsEmpty(a), emptyB = b && shell::ILIsEmpty(b);
  if ((!a && !b) || (emptyA && emptyB)) return 0;
  if (!a || !b || emptyA || emptyB) return -1;
  shell::ComPtr<IShellFolder> desktop;
  if (FAILED(DesktopFolder(&desktop))) return kCompareFailed;
  HRESULT hr = desktop->CompareIDs(0, a, b);
  return FAILED(hr) ? kCompareFailed : shell::CompareResultOrder(hr);
}

HRESULT DesktopFolder(shell::ComPtr<IShellFolder>* folder) { return shell::SHGetDesktopFolder(folder->Put()); }

HRESULT BindToShellFolder(LPCITEMIDLIST list, shell::ComPtr<IShellFolder>* folder) {
  shell::ComPtr<IShellFolder> desktop;
  HRESULT hr = DesktopFolder(&desktop);
  if (FAILED(hr)) return hr;
  if (shell::ILIsEmpty(list)) {
    *folder = desktop;
    return shell::S_OK;
  }
  return desktop->BindToObject(list, nullptr, shell::IID_IShellFolder, folder->PutVoid());
}

HRESULT PathToIdList(const std::string& path, LPITEMIDLIST* list) {
  *list = nullptr;
  shell::ComPtr<IShellFolder> desktop;
  HRESULT hr = DesktopFolder(&desktop);
  if (FAILED(hr)) return hr;
  shell::IdListPtr parsed;  // freed should anything below throw
  hr = desktop->ParseDisplayName(nullptr, nullptr, path.c_str(), nullptr, parsed.Put(), nullptr);
  *list = parsed.Release();
  return hr;
}

std::string IdListToPath(LPCITEMIDLIST list) { return shell::SHPathOfIdList(list); }

HRESULT GetSpecialFolderIdList(win::HWND owner, int folder, LPITEMIDLIST* list) {
  return shell::SHGetSpecialFolderLocation(owner, folder % 128, list);
}

std::string SpecialFolderPath(win::HWND owner, int folder) {
  shell::IdListPtr list;
  if (FAILED(GetSpecialFolderIdList(owner, folder, list.Put()))) return {};
  return IdListToPath(list.Get());
}

int IdListToSpecialFolder(LPCITEMIDLIST list) {
  for (int folder = 0; folder < kNoSpecialFolder; ++folder) {
    shell::IdListPtr candidate;
    if (SUCCEEDED(GetSpecialFolderIdList(nullptr, folder, candidate.Put())) &&
        CompareIdLists(candidate.Get(), list) == 0)
      return folder;
  }
  return kNoSpecialFolder;
}

shell::DWORD NameKindFlags(TCtNameKind kind) {
  switch (kind) {
    case TCtNameKind::nkInFolder: return shell::SHGDN_INFOLDER;
    case TCtNameKind::nkForParsing: return shell::SHGDN_FORPARSING;
    case TCtNameKind::nkForEditing: return shell::SHGDN_FOREDITING | shell::SHGDN_INFOLDER;
    default: return shell::SHGDN_NORMAL;
  }
}

std::string GetDisplayNameOf(IShellFolder* folder, LPCITEMIDLIST item, TCtNameKind kind) {
  shell::ComPtr<IShellFolder> desktop;
  if (!folder) {
    if (FAILED(DesktopFolder(&desktop))) return {};
    folder = desktop.Get();
  }
  shell::STRRET name;
  HRESULT hr = folder->GetDisplayNameOf(item, NameKindFlags(kind), &name);
  if (FAILED(hr)) hr = folder->GetDisplayNameOf(item, NameKindFlags(kind), &name);  // one more try
  if (FAILED(hr)) return {};
  return shell::TakeStrRet(&name, item);
}

std::string GetItemDisplayName(LPCITEMIDLIST absoluteList) {
  shell::ComPtr<IShellFolder> desktop;
  if (FAILED(DesktopFolder(&desktop))) return {};
  int count = shell::ILGetCount(absoluteList);
  if (count <= 1) return GetDisplayNameOf(desktop.Get(), absoluteList, TCtNameKind::nkInFolder);
  shell::IdListPtr parent(shell::ILCloneFirstN(absoluteList, count - 1));
  shell::ComPtr<IShellFolder> folder;
  HRESULT hr = desktop->BindToObject(parent.Get(), nullptr, shell::IID_IShellFolder, folder.PutVoid());
  if (FAILED(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
  return GetDisplayNameOf(folder.Get(), shell::ILFindLastID(absoluteList), TCtNameKind::nkInFolder);
}

int GetSystemIconIndex(LPCITEMIDLIST list, unsigned extraFlags) {
  shell::IdListPtr empty;
  if (!list) {
    empty.Reset(shell::ILClone(nullptr));
    list = empty.Get();
  }
  shell::SHFILEINFO info;
  if (!shell::SHGetFileInfo(list, 0, &info, extraFlags | shell::SHGFI_SYSICONINDEX | shell::SHGFI_PIDL)) return 0;
  return info.iIcon;
}

win::HIMAGELIST GetSystemImageList(TCtImageListSize size) {
  win::HIMAGELIST wanted = ListOfSize(size == TCtImageListSize::ilsSmall ? shell::SHGFI_SMALLICON : 0);
  if (wanted && !overlayFixDone) FixOverlaysOnce(ListOfSize(shell::SHGFI_SMALLICON), ListOfSize(0));
  return wanted;
}

HRESULT ReadLinkData(const std::string& fileName, TLinkData* linkData, bool wantIdList) {
  shell::ComPtr<shell::IShellLink> link;
  HRESULT hr = shell::CoCreateInstance(shell::CLSID_ShellLink, nullptr, shell::CLSCTX_INPROC_SERVER,
                                       shell::IID_IShellLink, link.PutVoid());
  if (FAILED(hr)) return hr;
  shell::ComPtr<shell::IPersistFile> file;
  if (FAILED(hr = link.As(shell::IID_IPersistFile, &file))) return hr;
  if (FAILED(hr = file->Load(fileName, 0))) return hr;
  const bool option = linkData->resolveOption == 1;
  win::HWND window = option ? reinterpret_cast<win::HWND>(~uintptr_t{0}) : nullptr;
  if (FAILED(hr = link->Resolve(window, option ? 0x10000u : 0u))) return hr;
  if (FAILED(hr = link->GetPath(&linkData->path, &linkData->findData, 0))) return hr;
  if (FAILED(hr = link->GetArguments(&linkData->arguments))) return hr;
  if (FAILED(hr = link->GetDescription(&linkData->description))) return hr;
  if (FAILED(hr = link->GetIconLocation(&linkData->iconLocation, &linkData->iconIndex))) return hr;
  if (FAILED(hr = link->GetWorkingDirectory(&linkData->workingDirectory))) return hr;
  int show = 0;
  if (FAILED(hr = link->GetShowCmd(&show))) return hr;
  linkData->showCommand = show;
  if (FAILED(hr = link->GetHotkey(&linkData->hotKey))) return hr;
  linkData->validFlags = kLinkDataComplete;
  linkData->idList = nullptr;
  if (wantIdList) return link->GetIDList(&linkData->idList);
  return shell::S_OK;
}

std::string FormatStrPos(const std::string& format, const std::vector<std::string>& strings) {
  if (strings.size() > kMaxFormatStrings) throw vcl::Exception("FormatStrPos: Too many substitution strings");
  if (format.empty()) return {};
  std::string text;
  return shell::FormatMessageFromString(format, strings, &text) ? text : std::string();
}

std::string EnsureTrailingChar(const std::string& text, char ch) {
  if (text.empty() || text.back() == ch) return text;
  return text + ch;
}

std::string TrimmedText(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

void RefreshDrives() {
  if (driveRefreshDisabled > 0) return;
  shell::IdListPtr computer;
  shell::ComPtr<IShellFolder> folder;
  if (FAILED(GetSpecialFolderIdList(nullptr, shell::CSIDL_DRIVES, computer.Put())) ||
      FAILED(BindToShellFolder(computer.Get(), &folder)))
    return;
  shell::ULONG validate = shell::SFGAO_VALIDATE;
  folder->GetAttributesOf(0, nullptr, &validate);
}

void DisableDriveRefresh() { ++driveRefreshDisabled; }
void EnableDriveRefresh() { --driveRefreshDisabled; }

bool NetApiAvailable() { return false; }

// Without the network library every drive counts as connected.
bool IsNetDriveConnected(const std::string&) { return true; }

}  // namespace qelo::ct
