// Measuring and drawing one line of text, shared by the text calls.
#pragma once

#include <memory>
#include <string_view>

#include "gdi/objects.h"

namespace qelo::win {

struct TextStyle {
  int underlineStart = -1;  // byte range of a prefix-underlined character
  int underlineEnd = -1;
  bool rtl = false;
  int tabWidth = 0;  // pixels between tab stops; 0: Pango's own
};

int TextWidth(const FontObject& font, std::string_view text, const TextStyle& style = {});

// A font's measuring copied out of the font, so that another thread may
// measure text with it (the widths TextWidth gives) while the font itself
// is changed or deleted.
class TextMeasure {
 public:
  // The default font for a null or dead handle.
  explicit TextMeasure(HFONT font);
  ~TextMeasure();
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;
  int Width(std::string_view text) const { return TextWidth(*font_, text); }

 private:
  std::unique_ptr<FontObject> font_;
};

struct TextPlacement {
  POINT reference;          // device units
  unsigned align = TA_LEFT | TA_TOP;
  int escapement = 0;       // tenths of a degree, counter-clockwise
  bool opaque = false;      // fill the text's cell with the background colour
  const RECT* limit = nullptr;  // device units; clip the text to it
};

// Draws the line; returns its width.
int DrawTextLine(DeviceContext& dc, const FontObject& font, std::string_view text,
                 const TextPlacement& where, const TextStyle& style = {});

const FontObject& SelectedFont(const DeviceContext& dc);

}  // namespace qelo::win
