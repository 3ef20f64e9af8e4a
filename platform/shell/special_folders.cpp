#include "shell/special_folders.h"

#include <sys/stat.h>

#include <cstdlib>

#include "shell/errors.h"
#include "shell/items.h"
#include "shell/namespace.h"
#include "win/folders.h"

namespace qelo::shell {
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value == '/' ? std::string(value) : fallback;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct UserDirName {
  UserDir which;
  const char* key;       // in user-dirs.dirs
  const char* fallback;  // under the home folder
};

constexpr UserDirName kUserDirNames[] = {
    {UserDir::kDesktop, "XDG_DESKTOP_DIR", "Desktop"},
    {UserDir::kDocuments, "XDG_DOCUMENTS_DIR", "Documents"},
    {UserDir::kMusic, "XDG_MUSIC_DIR", "Music"},
    {UserDir::kPictures, "XDG_PICTURES_DIR", "Pictures"},
    {UserDir::kVideos, "XDG_VIDEOS_DIR", "Videos"},
    {UserDir::kTemplates, "XDG_TEMPLATES_DIR", "Templates"},
};

// Lists of the folders with a path; null when the folder does not exist.
HRESULT PathFolderList(const std::string& path, LPITEMIDLIST* list) {
  if (!IsDirectory(path)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  return SHParsePath(path, list);
}

}  // namespace

std::string HomeDirectory() {
  std::string home = win::HomeFolder();
  return home.empty() ? "/" : home;
}

std::string DataHome() { return EnvOr("XDG_DATA_HOME", HomeDirectory() + "/.local/share"); }

std::string UserDirectory(UserDir which) {
  for (const UserDirName& name : kUserDirNames) {
    if (name.which != which) continue;
    std::string entry = win::UserDirsEntry(name.key);
    return entry.empty() ? HomeDirectory() + "/" + name.fallback : entry;
  }
  return HomeDirectory();
}

std::optional<std::string> DesktopDirectory() {
  std::string desktop = UserDirectory(UserDir::kDesktop);
  if (!IsDirectory(desktop) || desktop == HomeDirectory()) return std::nullopt;
  return desktop;
}

std::string SendToDirectory() { return DataHome() + "/clipshift/SendTo"; }

std::string SpecialFolderPath(int folder) {
  switch (folder) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
      return DesktopDirectory().value_or(std::string());
    case CSIDL_PERSONAL: return UserDirectory(UserDir::kDocuments);
    case CSIDL_MYMUSIC: return UserDirectory(UserDir::kMusic);
    case CSIDL_MYVIDEO: return UserDirectory(UserDir::kVideos);
    case CSIDL_MYPICTURES: return UserDirectory(UserDir::kPictures);
    case CSIDL_TEMPLATES: return UserDirectory(UserDir::kTemplates);
    case CSIDL_SENDTO: return SendToDirectory();
    case CSIDL_APPDATA: return DataHome();
    case CSIDL_PROFILE: return HomeDirectory();
    default: return {};
  }
}

HRESULT SHGetSpecialFolderLocation(win::HWND, int folder, LPITEMIDLIST* list) {
  if (!list) return E_INVALIDARG;
  *list = nullptr;
  switch (folder) {
    case CSIDL_DESKTOP:
      *list = ILClone(nullptr);
      break;
    case CSIDL_DRIVES:
      *list = MakeComputerItem();
      break;
    case CSIDL_PROFILE:
      *list = MakeHomeItem();
      break;
    case CSIDL_DESKTOPDIRECTORY:
    case CSIDL_PERSONAL:
    case CSIDL_SENDTO:
    case CSIDL_MYMUSIC:
    case CSIDL_MYVIDEO:
    case CSIDL_TEMPLATES:
    case CSIDL_APPDATA:
    case CSIDL_MYPICTURES:
      return PathFolderList(SpecialFolderPath(folder), list);
    default:
      return E_INVALIDARG;
  }
  return *list ? S_OK : E_OUTOFMEMORY;
}

}  // namespace qelo::shell
