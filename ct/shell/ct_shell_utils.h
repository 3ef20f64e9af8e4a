// The shell utilities every shell control and the folder dialog use: the
// version facts read at start-up, operations on item-id lists, paths and
// special folders, display names, system icons and image lists, the
// shortcut reader, the message formatter and the drive helpers. GUI thread
// only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/file_info.h"
#include "shell/idlist.h"
#include "shell/namespace.h"
#include "shell/shell_folder.h"
#include "shell/shell_link.h"
#include "ct_common_versions.h"
#include "win/controls/lists/imagelist.h"

namespace qelo::ct {

using shell::FAILED;
using shell::HRESULT;
using shell::IShellFolder;
using shell::SUCCEEDED;
using shell::LPCITEMIDLIST;
using shell::LPITEMIDLIST;

// ---- start-up facts ---------------------------------------------------------

// Reads the version facts and the allocator; close-down frees the
// device-change handler.
void InitializeCtShellUtils();
void FinalizeCtShellUtils();


// ---- item-id lists --------------------------------------------------------

// Bytes with the terminating zero count; 0 for null.
std::size_t IdListSize(LPCITEMIDLIST list);
// A new list with the given allocator (null: the shell allocator); a null
// source gives an empty list; null when the allocation fails.
LPITEMIDLIST CopyIdList(shell::IMalloc* allocator, LPCITEMIDLIST list);
LPITEMIDLIST ConcatIdLists(shell::IMalloc* allocator, LPCITEMIDLIST first, LPCITEMIDLIST second);
// 0 when both are null or both empty; -1 when exactly one is; otherwise the
// desktop's order (negative, 0, positive); MaxInt when it cannot be asked.
constexpr int kCompareFailed = 2147483647;
int CompareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b);

HRESULT DesktopFolder(shell::ComPtr<IShellFolder>* folder);
// The desktop itself for a null or empty list.
HRESULT BindToShellFolder(LPCITEMIDLIST list, shell::ComPtr<IShellFolder>* folder);
// The whole path is parsed, however long.
HRESULT PathToIdList(const std::string& path, LPITEMIDLIST* list);
// Empty when the list has no file-system path; null is the empty list.
std::string IdListToPath(LPCITEMIDLIST list);

// ---- special folders ------------------------------------------------------

// The folder number is taken modulo 128.
HRESULT GetSpecialFolderIdList(win::HWND owner, int folder, LPITEMIDLIST* list);
std::string SpecialFolderPath(win::HWND owner, int folder);
// The first folder number 0 to 50 whose list equals the given one; 50
// when none does.
constexpr int kNoSpecialFolder = 50;
int IdListToSpecialFolder(LPCITEMIDLIST list);

// ---- display names ----------------------------------------------------------

enum class TCtNameKind { nkNormal, nkInFolder, nkForParsing, nkForEditing };
shell::DWORD NameKindFlags(TCtNameKind kind);
// A null folder is the desktop. Empty text when the name cannot be had.
std::string GetDisplayNameOf(IShellFolder* folder, LPCITEMIDLIST item, TCtNameKind kind);
// The in-folder name of the list's last item. Raises vcl::Exception when
// the parent folder cannot be bound.
std::string GetItemDisplayName(LPCITEMIDLIST absoluteList);

// ---- icons ------------------------------------------------------------------

// Null counts as the empty list (the desktop); 0 when the call fails.
int GetSystemIconIndex(LPCITEMIDLIST list, unsigned extraFlags);
enum class TCtImageListSize { ilsSmall, ilsLarge };
win::HIMAGELIST GetSystemImageList(TCtImageListSize size);

// ---- shortcuts ----------------------------------------------------------------

struct TLinkData {
  std::string path;
  uint8_t validFlags = 0;  // 63 after a complete read
  std::string description;
  std::string arguments;
  std::string iconLocation;
  int32_t iconIndex = 0;
  std::string workingDirectory;
  int32_t showCommand = 0;
  uint16_t hotKey = 0;
  uint8_t resolveOption = 0;  // in: 0 or 1
  LPITEMIDLIST idList = nullptr;  // owned by the caller; null unless asked for
  shell::WIN32_FIND_DATA findData;
};
constexpr uint8_t kLinkDataComplete = 63;
HRESULT ReadLinkData(const std::string& fileName, TLinkData* linkData, bool wantIdList);

// ---- messages and texts ---------------------------------------------------------

// %1, %2, ... filled from `strings` (at most 50; more raise vcl::Exception
// "FormatStrPos: Too many substitution strings"); empty text for an empty
// format or when the format names a string that is not given.
constexpr std::size_t kMaxFormatStrings = 50;
std::string FormatStrPos(const std::string& format, const std::vector<std::string>& strings);
// `text` ending with `ch` (unless it is empty or ends with it already).
std::string EnsureTrailingChar(const std::string& text, char ch);
// The text without blanks and control characters at either end.
std::string TrimmedText(const std::string& text);

// ---- drives ---------------------------------------------------------------------

// Drops the shell's cached volume facts, unless refresh is disabled.
void RefreshDrives();
void DisableDriveRefresh();
void EnableDriveRefresh();
// Drive refresh disabled for as long as it lives.
class TDriveRefreshPause {
 public:
  TDriveRefreshPause() { DisableDriveRefresh(); }
  ~TDriveRefreshPause() { EnableDriveRefresh(); }
  TDriveRefreshPause(const TDriveRefreshPause&) = delete;
  TDriveRefreshPause& operator=(const TDriveRefreshPause&) = delete;
};
// The network-use library of the platform: this system has none, so the
// answer is false and a drive always counts as connected.
bool NetApiAvailable();
bool IsNetDriveConnected(const std::string& driveRoot);

}  // namespace qelo::ct
