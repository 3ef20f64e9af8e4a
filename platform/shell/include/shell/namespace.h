// The root of the namespace and the conversions between paths and lists.
//
//   (empty list)                 the desktop: Computer, Home, then the
//                                entries of the desktop directory
//   Computer                     the mounted volumes
//   Computer / Volume / a / b    <volume root>/a/b
//   Home / a                     $HOME/a
//   a (at the top)               <desktop directory>/a
//
// A path always parses to the Computer form under the volume that holds it.
#pragma once

#include <string>

#include "shell/shell_folder.h"

namespace qelo::shell {

// The desktop folder, one reference for the caller.
HRESULT SHGetDesktopFolder(IShellFolder** folder);

// Parses an absolute path through the desktop folder; every part must exist.
HRESULT SHParsePath(const std::string& path, LPITEMIDLIST* list);
// The file-system path of an absolute list; false (and an empty path) when
// the list names something without one (the desktop without a desktop
// directory, Computer) or is damaged. Null counts as the empty list.
bool SHGetPathFromIDList(LPCITEMIDLIST list, std::string* path);
std::string SHPathOfIdList(LPCITEMIDLIST list);

// The shell browser window of the process (the object behind it, asked for
// IShellBrowser by shell extensions through their host window): what the
// program registered with SHSetInstanceExplorer, one reference for the
// caller; E_FAIL when none is registered. A null object forgets it.
inline constexpr IID IID_IShellBrowser{"IShellBrowser"};
HRESULT SHGetInstanceExplorer(IUnknown** explorer);
void SHSetInstanceExplorer(IUnknown* explorer);

// The display text carried by a STRRET (freed when it was handed over).
// `item` is the item the name was asked for (for STRRET_OFFSET).
std::string TakeStrRet(STRRET* name, LPCITEMIDLIST item);

}  // namespace qelo::shell
