// The text pointer that asks the parent for an item's text when it is
// needed (LVN_GETDISPINFO, TVN_GETDISPINFO).
#pragma once

#include <cstdint>

namespace qelo::win {

inline char* const LPSTR_TEXTCALLBACK = reinterpret_cast<char*>(static_cast<intptr_t>(-1));

}  // namespace qelo::win
