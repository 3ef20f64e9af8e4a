// The markers that make list and tree views ask their parent for an item's
// text or image when it is needed (LVN_GETDISPINFO, TVN_GETDISPINFO).
#pragma once

#include <cstdint>

namespace qelo::win {

inline char* const LPSTR_TEXTCALLBACK = reinterpret_cast<char*>(static_cast<intptr_t>(-1));
constexpr int I_IMAGECALLBACK = -1;
constexpr int I_IMAGENONE = -2;

}  // namespace qelo::win
