// Family-name matches through fontconfig, remembered per name.
#pragma once

#include <cstddef>
#include <string>

namespace qelo::gdiplus::detail {

struct FamilyMatch {
  bool found = false;
  std::string family;  // the installed spelling when found
};

FamilyMatch MatchFamily(const std::string& name);
// The family fontconfig gives for the generic "sans-serif" (not cached: the
// caller keeps it).
std::string GenericSansFamily();
void ClearFontMatches();
std::size_t FontMatchCount();

}  // namespace qelo::gdiplus::detail
