// What the shell's verbs and drops do to files: copying, moving and linking
// items into a folder without ever replacing anything (a name that is taken
// gets a free one: "clip (2).mp4"), moving to the freedesktop Trash through
// GIO, and deleting for good.
#pragma once

#include <string>
#include <vector>

#include "shell/com.h"

namespace qelo::shell {

enum class Transfer { kCopy, kMove, kLink };

// `name` when `folder` has no entry of that name, else "stem (2).ext",
// "stem (3).ext", ... (a folder's whole name is the stem).
std::string FreeNameIn(const std::string& folder, const std::string& name);

// Places every source in `folder`. Moving an item within its own folder
// leaves it; copying it there makes a copy under a free name. An item is
// never placed inside itself. The first failure stops the rest; `placed`
// gets the paths made so far.
HRESULT TransferItems(const std::vector<std::string>& sources, const std::string& folder, Transfer kind,
                      std::vector<std::string>* placed);

// Tests: every move behaves as one across volumes (the rename is refused
// as the kernel refuses one across file systems).
void SimulateCrossDeviceMovesForTesting(bool simulate);

// HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED) when the item's volume has no
// Trash.
HRESULT MoveToTrash(const std::string& path);
// Removes the item and, for a folder, everything in it (links are removed,
// never followed).
HRESULT DeletePermanently(const std::string& path);

}  // namespace qelo::shell
