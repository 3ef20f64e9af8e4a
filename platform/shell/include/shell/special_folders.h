// The user's special folders, taken from the freedesktop conventions: the
// home folder ($HOME), the user directories of "user-dirs.dirs" in the
// config folder ($XDG_CONFIG_HOME, else ~/.config; defaults ~/Desktop,
// ~/Documents, ~/Music, ~/Pictures, ~/Videos, ~/Templates), the data folder
// ($XDG_DATA_HOME, else ~/.local/share) and the Send To folder under it.
// Everything is read afresh on each call, so tests may point HOME and the
// XDG variables at folders of their own.
#pragma once

#include <optional>
#include <string>

#include "shell/idlist.h"
#include "win/window/window.h"

namespace qelo::shell {

// Special-folder numbers (the ones this system knows).
constexpr int CSIDL_DESKTOP = 0;            // the desktop itself: the empty list
constexpr int CSIDL_PERSONAL = 5;           // documents
constexpr int CSIDL_SENDTO = 9;
constexpr int CSIDL_MYMUSIC = 13;
constexpr int CSIDL_MYVIDEO = 14;
constexpr int CSIDL_DESKTOPDIRECTORY = 16;  // the folder whose files the desktop shows
constexpr int CSIDL_DRIVES = 17;            // Computer: the mounted volumes
constexpr int CSIDL_TEMPLATES = 21;
constexpr int CSIDL_APPDATA = 26;           // the user's data folder
constexpr int CSIDL_MYPICTURES = 39;
constexpr int CSIDL_PROFILE = 40;           // the home folder

std::string HomeDirectory();
std::string DataHome();

enum class UserDir { kDesktop, kDocuments, kMusic, kPictures, kVideos, kTemplates };
// The configured (or default) folder, whether or not it exists.
std::string UserDirectory(UserDir which);
// The folder whose entries the desktop shows: the desktop user directory
// when it exists and is not the home folder itself; nothing otherwise.
std::optional<std::string> DesktopDirectory();
// "<data folder>/clipshift/SendTo".
std::string SendToDirectory();

// The folder's item-id list (the caller frees it). A folder with a path
// must exist as a directory; E_INVALIDARG for a number this system does not
// know, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) for a missing folder.
HRESULT SHGetSpecialFolderLocation(win::HWND owner, int folder, LPITEMIDLIST* list);
// The folder's path; empty for an unknown or missing folder and for the
// folders without a path (Computer).
std::string SpecialFolderPath(int folder);

}  // namespace qelo::shell
