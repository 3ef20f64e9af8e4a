// Font families found through fontconfig (matches are cached: the engine
// makes a font for every frame) and fonts sized in points at 96 dpi or in
// pixels.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "gdiplus/types.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace qelo::gdiplus {

enum FontStyle : int {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleUnderline = 4,
  FontStyleStrikeout = 8,
};

class FontFamily {
 public:
  // FontFamilyNotFound when no installed font has this family name (names
  // compare without regard to case).
  explicit FontFamily(const std::string& name);
  // The generic sans-serif family; always available.
  static const FontFamily* GenericSansSerif();

  Status GetLastStatus() const { return status_; }
  // The installed family that fonts of this family use.
  const std::string& GetName() const { return name_; }

 private:
  struct Resolved {};
  FontFamily(Resolved, std::string name) : name_(std::move(name)) {}

  Status status_ = Status::Ok;
  std::string name_;
};

class Font {
 public:
  Font(const FontFamily* family, float emSize, int style = FontStyleRegular, Unit unit = Unit::Point);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  Status GetLastStatus() const { return status_; }
  float GetSize() const { return size_; }
  Unit GetUnit() const { return unit_; }
  int GetStyle() const { return style_; }
  float GetSizeInPixels() const;
  const std::string& GetFamilyName() const { return family_; }

  // For the text code; null unless the font was made.
  const PangoFontDescription* Description() const { return description_; }

 private:
  Status status_ = Status::Ok;
  std::string family_;
  float size_ = 0;
  int style_ = FontStyleRegular;
  Unit unit_ = Unit::Point;
  PangoFontDescription* description_ = nullptr;
};

// Number of family names the match cache holds (for tests and diagnostics).
std::size_t FontMatchCacheSize();

}  // namespace qelo::gdiplus
