// What the shell tells about one item for showing it: its icon index in
// the system image lists (system_icons.h), display name, type text and
// attributes, asked for by item-id list or by path.
#pragma once

#include <cstdint>
#include <string>

#include "shell/idlist.h"
#include "shell/shell_folder.h"

namespace qelo::shell {

constexpr UINT SHGFI_LARGEICON = 0x0000;
constexpr UINT SHGFI_SMALLICON = 0x0001;
constexpr UINT SHGFI_OPENICON = 0x0002;
constexpr UINT SHGFI_PIDL = 0x0008;
constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x0010;
constexpr UINT SHGFI_DISPLAYNAME = 0x0200;
constexpr UINT SHGFI_TYPENAME = 0x0400;
constexpr UINT SHGFI_ATTRIBUTES = 0x0800;
constexpr UINT SHGFI_SYSICONINDEX = 0x4000;
constexpr UINT SHGFI_ATTR_SPECIFIED = 0x20000;

struct SHFILEINFO {
  int iIcon = 0;
  ULONG dwAttributes = 0;  // with SHGFI_ATTR_SPECIFIED, the attributes asked for on entry
  std::string szDisplayName;
  std::string szTypeName;
};

// With SHGFI_SYSICONINDEX the handle of the small or large system image
// list (as an integer), else nonzero; 0 when the item is not there. `list`
// is an absolute list and needs SHGFI_PIDL.
uintptr_t SHGetFileInfo(LPCITEMIDLIST list, DWORD fileAttributes, SHFILEINFO* info, UINT flags);
// By absolute path; with SHGFI_USEFILEATTRIBUTES the file system is not
// asked (FILE_ATTRIBUTE_DIRECTORY in `fileAttributes` makes it a folder),
// so the path need not exist and may be empty.
uintptr_t SHGetFileInfo(const std::string& path, DWORD fileAttributes, SHFILEINFO* info, UINT flags);

}  // namespace qelo::shell
