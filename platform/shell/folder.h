// Inside the namespace: the one folder class that stands for the desktop,
// Computer and every file-system folder, and the enumerator of its items.
#pragma once

#include "location.h"
#include "shell/shell_folder.h"

namespace qelo::shell::detail {

// A new folder object for the absolute list (copied) at `location`,
// queried for `iid`.
HRESULT CreateFolder(LPCITEMIDLIST absolute, Location location, REFIID iid, void** object);

// An enumerator of the folder's items with the SHCONTF flags.
HRESULT CreateItemEnumerator(const Location& folder, DWORD flags, IEnumIDList** items);

// Parses `name` relative to `folder` (see IShellFolder::ParseDisplayName).
HRESULT ParseRelativeName(const Location& folder, std::string_view name, LPITEMIDLIST* list);

}  // namespace qelo::shell::detail
