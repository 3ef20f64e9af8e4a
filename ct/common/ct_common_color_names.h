// The named colours a colour choice offers: forty palette colours (plain
// RGB, 0x00BBGGRR) followed by thirty system colours (0xFF000000 plus the
// system-colour index; index 25 has no name and is left out).
#pragma once

#include <array>
#include <string_view>

#include "vcl/types.h"

namespace qelo::ct {

struct TColorData {
  vcl::TColor Color;
  std::string_view Name;
};

inline constexpr int kColorDataCount = 70;
extern const std::array<TColorData, kColorDataCount> kColorData;

}  // namespace qelo::ct
