// The shell's own data object for items of one folder, as its context
// menus put them on the clipboard and as GetUIObjectOf hands them out: the
// "Shell IDList Array", the file-drop list of their paths and, for a cut,
// "Preferred DropEffect". And the reading of any data object's items as
// paths, for pasting and dropping.
#pragma once

#include <string>
#include <vector>

#include "shell/ole_data.h"
#include "shell/idlist.h"

namespace qelo::shell {

// `parent` is the folder's absolute list, `items` lists relative to it.
// `preferredEffect` (DROPEFFECT_*; 0 for none) says what a paste should do.
HRESULT CreateShellDataObject(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& items,
                              uint32_t preferredEffect, IDataObject** object);

// The file-system paths of the items a data object carries: from its
// "Shell IDList Array" when it has a usable one, else its file-drop list.
// Items without a path are left out.
std::vector<std::string> DataObjectPaths(IDataObject* data);
// The "Preferred DropEffect" of a data object; 0 when it has none.
uint32_t PreferredDropEffect(IDataObject* data);
// Whether it carries items at all (either format).
bool OffersItems(IDataObject* data);

}  // namespace qelo::shell
