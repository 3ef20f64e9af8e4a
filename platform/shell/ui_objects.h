// Inside the namespace: the objects folders hand out for their items and
// for themselves (context menus, drop targets, data objects).
#pragma once

#include <vector>

#include "location.h"
#include "shell/shell_folder.h"

namespace qelo::shell::detail {

// A context menu for `items` (relative to the folder at `folder` whose
// absolute list is `folderList`), or for the folder's background when
// `items` is empty.
HRESULT CreateContextMenu(LPCITEMIDLIST folderList, const Location& folder, const std::vector<LPCITEMIDLIST>& items,
                          HWND owner, REFIID iid, void** object);

// A drop target that copies, moves or links what is dropped into the
// file-system folder at `path`.
HRESULT CreateFolderDropTarget(const std::string& path, HWND owner, REFIID iid, void** object);

}  // namespace qelo::shell::detail
