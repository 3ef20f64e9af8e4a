#include "font_cache.h"

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace qelo::gdiplus::detail {
namespace {

std::mutex cacheMutex;
std::unordered_map<std::string, FamilyMatch> cache;

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

using PatternPtr = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;

// The family value of `font` that spells `name` (ignoring case).
std::string InstalledSpelling(FcPattern* font, const std::string& name) {
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    const std::string candidate(reinterpret_cast<const char*>(family));
    if (Folded(candidate) == Folded(name)) return candidate;
  }
  return name;
}

FamilyMatch ListFamily(const std::string& name) {
  PatternPtr pattern(FcPatternCreate(), FcPatternDestroy);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern.get(), objects);
  FcObjectSetDestroy(objects);
  FamilyMatch match;
  if (fonts && fonts->nfont > 0) match = {true, InstalledSpelling(fonts->fonts[0], name)};
  if (fonts) FcFontSetDestroy(fonts);
  return match;
}

FamilyMatch MatchGenericSans() {
  PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif")), FcPatternDestroy);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr font(FcFontMatch(nullptr, pattern.get(), &result), FcPatternDestroy);
  FcChar8* family = nullptr;
  if (font && FcPatternGetString(font.get(), FC_FAMILY, 0, &family) == FcResultMatch) {
    return {true, reinterpret_cast<const char*>(family)};
  }
  return {true, "sans-serif"};  // Pango resolves the generic name itself
}

template <typename Lookup>
FamilyMatch Remembered(const std::string& key, Lookup lookup) {
  {
    std::lock_guard lock(cacheMutex);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
  }
  FamilyMatch match = lookup();
  std::lock_guard lock(cacheMutex);
  return cache.emplace(key, std::move(match)).first->second;
}

}  // namespace

FamilyMatch MatchFamily(const std::string& name) {
  return Remembered(Folded(name), [&] { return ListFamily(name); });
}

std::string GenericSansFamily() { return MatchGenericSans().family; }

void ClearFontMatches() {
  std::lock_guard lock(cacheMutex);
  cache.clear();
}

std::size_t FontMatchCount() {
  std::lock_guard lock(cacheMutex);
  return cache.size();
}

}  // namespace qelo::gdiplus::detail
