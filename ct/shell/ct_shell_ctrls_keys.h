// The default keys of the shell tree and list and the key-text parser they
// are read with, which does not depend on the framework's key names.
#pragma once

#include <string>
#include <string_view>

#include "vcl/controls/controls.h"
#include "vcl/graphics/menus.h"

namespace qelo::ct {

using vcl::TShortCut;

struct TCtShellControlDefKeyRec {
  std::string keyText;
  TShortCut shortCut = 0;
};

// The table's entries, in order.
enum TCtShellDefaultKey : int { dkSelectAll, dkDelete, dkCopy, dkCut, dkPaste, dkRefresh, dkRename, dkCount };

// The entry, its shortcut parsed from its text on the first lookup.
const TCtShellControlDefKeyRec& DefaultKey(TCtShellDefaultKey key);
bool IsDefaultKey(TCtShellDefaultKey key, TShortCut shortCut);
// "Del", also with Shift held.
bool IsDeleteKey(TShortCut shortCut);
// The shortcut of a key pressed with the shift state's Shift, Ctrl and Alt.
TShortCut ShellKeyShortCut(uint16_t key, vcl::TShiftState shift);
// Forgets the parsed shortcuts (the unit's close-down).
void ReleaseDefaultKeyTable();

// "Shift+", "Ctrl+" (or "^") and "Alt+" in any order and case, then a key
// name: BkSp, Tab, Enter, Esc, Space, PgUp, PgDn, End, Home, Left, Up,
// Right, Down, Ins, Del, a digit or letter, F1 to F24, or "#" and a code.
// 0 for text that names no key.
TShortCut ShellTextToShortCut(std::string_view text);
std::string ShellShortCutToText(TShortCut shortCut);

}  // namespace qelo::ct
