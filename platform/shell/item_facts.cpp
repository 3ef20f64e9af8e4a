#include "item_facts.h"

#include <dirent.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

#include "shell/errors.h"
#include "shell/volumes.h"

namespace qelo::shell::detail {
namespace {

bool IsHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }

std::string ParentPath(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether the folder holds at least one folder; stops at the first.
bool HasSubfolder(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return false;
  bool found = false;
  while (!found) {
    dirent* entry = readdir(dir);
    if (!entry) break;
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    std::optional<uint8_t> flags = EntryFlagsAt(dirfd(dir), entry->d_name, entry->d_type);
    found = flags && (*flags & kItemFolder);
  }
  closedir(dir);
  return found;
}

bool IsWritable(const std::string& path) { return access(path.c_str(), W_OK) == 0; }

constexpr ULONG kFolderBase = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_DROPTARGET | SFGAO_CANLINK;

ULONG VolumeAttributes(const Location& location, ULONG asked) {
  ULONG a = kFolderBase | SFGAO_FILESYSTEM | SFGAO_CANCOPY;
  DriveType type = GetDriveType(location.path);
  if (type == DRIVE_REMOVABLE || type == DRIVE_CDROM) a |= SFGAO_REMOVABLE;
  if ((asked & SFGAO_READONLY) && !IsWritable(location.path)) a |= SFGAO_READONLY;
  if ((asked & SFGAO_HASSUBFOLDER) && HasSubfolder(location.path)) a |= SFGAO_HASSUBFOLDER;
  return a;
}

HRESULT EntryAttributes(const Location& location, ULONG asked, ULONG* out) {
  std::optional<uint8_t> flags = EntryFlagsOfPath(location.path);
  if (!flags) return HResultFromErrno(errno);
  ULONG a = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK;
  if (*flags & kItemFolder) {
    a |= kFolderBase;
    if ((asked & SFGAO_HASSUBFOLDER) && HasSubfolder(location.path)) a |= SFGAO_HASSUBFOLDER;
  } else {
    a |= SFGAO_STREAM;
  }
  if (*flags & kItemLink) a |= SFGAO_LINK;
  if (IsHiddenName(location.name)) a |= SFGAO_HIDDEN | SFGAO_GHOSTED;
  if ((asked & SFGAO_READONLY) && !IsWritable(location.path)) a |= SFGAO_READONLY;
  if ((asked & (SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE)) && IsWritable(ParentPath(location.path)))
    a |= SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
  *out = a;
  return S_OK;
}

std::string VolumeLabel(const std::string& root) {
  for (const Volume& v : MountedVolumes())
    if (v.root == root) return v.label;
  std::size_t slash = root.find_last_of('/');
  return DisplayText(slash == std::string::npos ? root : root.substr(slash + 1));
}

const char* DriveTypeName(DriveType type) {
  switch (type) {
    case DRIVE_REMOVABLE: return "Removable Disk";
    case DRIVE_REMOTE: return "Network Drive";
    case DRIVE_CDROM: return "CD Drive";
    case DRIVE_RAMDISK: return "RAM Disk";
    default: return "Local Disk";
  }
}

// Content-type descriptions by lower-case extension; GIO's lookup goes
// through the MIME database, which is slow enough to be worth keeping.
std::string FileTypeName(std::string_view name) {
  std::size_t dot = name.find_last_of('.');
  std::string extension = dot == std::string_view::npos || dot == 0 ? std::string() : std::string(name.substr(dot));
  for (char& c : extension) c = static_cast<char>(g_ascii_tolower(c));
  static std::mutex lock;
  static std::map<std::string, std::string> known;
  std::lock_guard<std::mutex> hold(lock);
  auto it = known.find(extension);
  if (it != known.end()) return it->second;
  std::string probe = "file" + extension;
  gboolean uncertain = FALSE;
  char* type = g_content_type_guess(probe.c_str(), nullptr, 0, &uncertain);
  char* description = type ? g_content_type_get_description(type) : nullptr;
  std::string text = description ? description : "File";
  g_free(description);
  g_free(type);
  return known.emplace(extension, text).first->second;
}

std::string SizeText(const Location& location) {
  struct stat st;
  if (stat(location.path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return {};
  long long kilobytes = (static_cast<long long>(st.st_size) + 1023) / 1024;
  std::string digits = std::to_string(kilobytes), grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped + " KB";
}

std::string ModifiedText(const Location& location) {
  struct stat st;
  if (stat(location.path.c_str(), &st) != 0) return {};
  std::tm local{};
  localtime_r(&st.st_mtime, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace

std::optional<uint8_t> EntryFlagsOfPath(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return std::nullopt;
  uint8_t flags = 0;
  if (S_ISLNK(st.st_mode)) {
    flags |= kItemLink;
    if (stat(path.c_str(), &st) != 0) return flags;  // a broken link is a file
  }
  if (S_ISDIR(st.st_mode)) flags |= kItemFolder;
  return flags;
}

std::optional<uint8_t> EntryFlagsAt(int dirFd, const char* name, unsigned char direntType) {
  if (direntType == DT_DIR) return kItemFolder;
  if (direntType != DT_LNK && direntType != DT_UNKNOWN) return uint8_t{0};
  struct stat st;
  if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  uint8_t flags = 0;
  if (S_ISLNK(st.st_mode)) {
    flags |= kItemLink;
    if (fstatat(dirFd, name, &st, 0) != 0) return flags;
  }
  if (S_ISDIR(st.st_mode)) flags |= kItemFolder;
  return flags;
}

HRESULT ItemAttributes(const Location& location, ULONG asked, ULONG* attributes) {
  ULONG a = 0;
  switch (location.kind) {
    case Location::kDesktop:
      a = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
      if (location.HasPath()) a |= SFGAO_FILESYSTEM | SFGAO_DROPTARGET;
      break;
    case Location::kComputer:
      a = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER | SFGAO_CANLINK;
      break;
    case Location::kHome:
      a = kFolderBase | SFGAO_FILESYSTEM | SFGAO_CANCOPY;
      if ((asked & SFGAO_HASSUBFOLDER) && HasSubfolder(location.path)) a |= SFGAO_HASSUBFOLDER;
      break;
    case Location::kVolume:
      a = VolumeAttributes(location, asked);
      break;
    case Location::kPath:
      if (HRESULT hr = EntryAttributes(location, asked, &a); FAILED(hr)) return hr;
      break;
  }
  *attributes = a;
  return S_OK;
}

std::string DisplayText(std::string_view bytes) {
  char* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  std::string text = valid;
  g_free(valid);
  return text;
}

std::string ItemDisplayName(const Location& location, DWORD flags) {
  bool parsing = (flags & SHGDN_FORPARSING) != 0;
  bool inFolder = (flags & SHGDN_INFOLDER) != 0;
  switch (location.kind) {
    case Location::kDesktop:
      return parsing && !inFolder && location.HasPath() ? location.path : parsing ? "::{Desktop}" : "Desktop";
    case Location::kComputer:
      return parsing ? "::{Computer}" : "Computer";
    case Location::kHome:
      return parsing ? (inFolder ? "::{Home}" : location.path) : "Home";
    case Location::kVolume:
      return parsing ? location.path : VolumeLabel(location.path);
    case Location::kPath:
      if (parsing) return inFolder ? location.name : location.path;
      return DisplayText(location.name);
  }
  return {};
}

std::string ItemTypeName(const Location& location) {
  switch (location.kind) {
    case Location::kDesktop:
    case Location::kComputer:
      return "System Folder";
    case Location::kHome:
      return "Folder";
    case Location::kVolume:
      return DriveTypeName(GetDriveType(location.path));
    case Location::kPath:
      return IsDirectoryPath(location.path) ? "Folder" : FileTypeName(location.name);
  }
  return {};
}

std::string DetailText(const Location& location, UINT column) {
  switch (column) {
    case 0: return ItemDisplayName(location, SHGDN_INFOLDER);
    case 1: return location.kind == Location::kPath ? SizeText(location) : std::string();
    case 2: return ItemTypeName(location);
    case 3: return location.kind == Location::kPath ? ModifiedText(location) : std::string();
    default: return {};
  }
}

void DetailHeading(UINT column, SHELLDETAILS* details) {
  struct Heading {
    const char* text;
    int format;
    int width;
  };
  static constexpr Heading kHeadings[kDetailColumnCount] = {
      {"Name", LVCFMT_LEFT, 28}, {"Size", LVCFMT_RIGHT, 10}, {"Type", LVCFMT_LEFT, 18}, {"Modified", LVCFMT_LEFT, 16}};
  details->fmt = kHeadings[column].format;
  details->cxChar = kHeadings[column].width;
  SetStrRet(kHeadings[column].text, &details->str);
}

HRESULT SetStrRet(const std::string& text, STRRET* out) {
  auto* copy = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
  if (!copy) return E_OUTOFMEMORY;
  std::memcpy(copy, text.c_str(), text.size() + 1);
  out->uType = STRRET_WSTR;
  out->pOleStr = copy;
  return S_OK;
}

}  // namespace qelo::shell::detail
