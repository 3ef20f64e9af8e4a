#include "shell/file_info.h"

#include "item_facts.h"
#include "shell/namespace.h"
#include "shell/shell_link.h"
#include "shell/system_icons.h"
#include "shell/volumes.h"

namespace qelo::shell {
namespace {

int VolumeIcon(const std::string& root) {
  switch (GetDriveType(root)) {
    case DRIVE_REMOVABLE: return kIconDriveRemovable;
    case DRIVE_REMOTE: return kIconDriveRemote;
    case DRIVE_CDROM: return kIconDriveOptical;
    case DRIVE_RAMDISK: return kIconDriveRam;
    default: return kIconDriveFixed;
  }
}

int IconOf(const detail::Location& location, bool folder, bool open) {
  switch (location.kind) {
    case detail::Location::kDesktop: return kIconDesktop;
    case detail::Location::kComputer: return kIconComputer;
    case detail::Location::kHome: return kIconHome;
    case detail::Location::kVolume: return VolumeIcon(location.path);
    case detail::Location::kPath: break;
  }
  if (folder) return open ? kIconFolderOpen : kIconFolder;
  return FileIconIndex(location.name);
}

uintptr_t Answer(const detail::Location& location, bool folder, SHFILEINFO* info, UINT flags) {
  SHFILEINFO scratch;
  SHFILEINFO* out = info ? info : &scratch;
  if (flags & SHGFI_DISPLAYNAME) out->szDisplayName = detail::ItemDisplayName(location, SHGDN_NORMAL);
  if (flags & SHGFI_TYPENAME) out->szTypeName = folder && location.kind == detail::Location::kPath
                                                    ? "Folder"
                                                    : detail::ItemTypeName(location);
  if (flags & SHGFI_ATTRIBUTES) {
    ULONG asked = (flags & SHGFI_ATTR_SPECIFIED) ? out->dwAttributes : ~SFGAO_VALIDATE;
    ULONG attributes = 0;
    if (FAILED(detail::ItemAttributes(location, asked, &attributes))) return 0;
    out->dwAttributes = attributes & asked;
  }
  if (!(flags & SHGFI_SYSICONINDEX)) return 1;
  out->iIcon = IconOf(location, folder, (flags & SHGFI_OPENICON) != 0);
  return reinterpret_cast<uintptr_t>(SystemImageList((flags & SHGFI_SMALLICON) != 0));
}

}  // namespace

uintptr_t SHGetFileInfo(LPCITEMIDLIST list, DWORD, SHFILEINFO* info, UINT flags) {
  if (!(flags & SHGFI_PIDL)) return 0;
  std::optional<detail::Location> location = detail::Walk(detail::DesktopLocation(), list);
  if (!location) return 0;
  bool folder = location->kind != detail::Location::kPath || detail::IsDirectoryPath(location->path);
  return Answer(*location, folder, info, flags);
}

uintptr_t SHGetFileInfo(const std::string& path, DWORD fileAttributes, SHFILEINFO* info, UINT flags) {
  if (flags & SHGFI_PIDL) return 0;
  if (flags & SHGFI_USEFILEATTRIBUTES) {
    detail::Location location;
    location.kind = detail::Location::kPath;
    location.path = path;
    std::size_t slash = path.find_last_of('/');
    location.name = slash == std::string::npos ? path : path.substr(slash + 1);
    bool folder = (fileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return Answer(location, folder, info, flags & ~SHGFI_ATTRIBUTES);
  }
  IdListPtr list;
  if (FAILED(SHParsePath(path, list.Put()))) return 0;
  return SHGetFileInfo(list.Get(), fileAttributes, info, flags | SHGFI_PIDL);
}

}  // namespace qelo::shell
