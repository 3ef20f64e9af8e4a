#include "shell/special_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "shell/errors.h"
#include "shell/items.h"
#include "shell/namespace.h"

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

// A value of user-dirs.dirs: "$HOME/..." or "/...", in double quotes, with
// backslash escapes. Empty for anything else.
std::string ParseUserDirValue(std::string_view quoted, const std::string& home) {
  if (quoted.size() < 2 || quoted.front() != '"') return {};
  std::string value;
  for (std::size_t i = 1; i < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '"') break;
    if (c == '\\' && i + 1 < quoted.size()) c = quoted[++i];
    value += c;
  }
  if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) return home + value.substr(5);
  return !value.empty() && value.front() == '/' ? value : std::string();
}

std::map<std::string, std::string> ReadUserDirs(const std::string& home) {
  std::map<std::string, std::string> dirs;
  std::ifstream file(ConfigHome() + "/user-dirs.dirs");
  std::string line;
  while (std::getline(file, line)) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    std::size_t eq = line.find('=', start);
    if (eq == std::string::npos) continue;
    std::string value = ParseUserDirValue(std::string_view(line).substr(eq + 1), home);
    if (!value.empty()) dirs[line.substr(start, eq - start)] = value;
  }
  return dirs;
}

// Lists of the folders with a path; null when the folder does not exist.
HRESULT PathFolderList(const std::string& path, LPITEMIDLIST* list) {
  if (!IsDirectory(path)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  return PathToIdList(path, list);
}

}  // namespace

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string ConfigHome() { return EnvOr("XDG_CONFIG_HOME", HomeDirectory() + "/.config"); }
std::string DataHome() { return EnvOr("XDG_DATA_HOME", HomeDirectory() + "/.local/share"); }

std::string UserDirectory(UserDir which) {
  std::string home = HomeDirectory();
  std::map<std::string, std::string> dirs = ReadUserDirs(home);
  for (const UserDirName& name : kUserDirNames) {
    if (name.which != which) continue;
    auto it = dirs.find(name.key);
    return it != dirs.end() ? it->second : home + "/" + name.fallback;
  }
  return home;
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
