// Inside the namespace: the order of items. Two lists compare 0 only when
// they name the same item: names are compared byte for byte (the file
// system tells "a" from "A"). Different items are ordered by kind (Computer,
// Home, volumes, entries), folders before files, then by the column asked
// for, then by name case-folded, and last byte for byte.
#pragma once

#include "location.h"
#include "shell/shell_folder.h"

namespace qelo::shell::detail {

// Negative, 0 or positive for two lists relative to `base`.
int CompareRelativeLists(const Location& base, UINT column, LPCITEMIDLIST a, LPCITEMIDLIST b);

// Case-folded order of two names, ties broken by their bytes.
int CompareNames(std::string_view a, std::string_view b);

}  // namespace qelo::shell::detail
