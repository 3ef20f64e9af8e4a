// How the catalogue's texts become numbers and value items.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qelo::fileformat {

enum class ValueKind { kNumber, kResolution, kFrameRate };

struct ParsedValue {
  std::string_view text;  // the piece as written
  int32_t value = 0;
  int32_t value2 = 0;
};

// Reads a decimal integer as the C library does: leading white space
// skipped, an optional sign, digits up to the first other character; 0 when
// there are none. Values beyond 32 bits are clamped.
int32_t ParseDecimal(std::string_view text);

// The pieces of a comma-separated list; empty text gives none.
std::vector<std::string_view> SplitAtCommas(std::string_view text);

// One list item: a number; a size written as WIDTHxHEIGHT (no item without
// an x); or a frame rate written as an integer (25 is 25/1) or with a point
// and two decimals (23.97 is 2397/100, 29.97 is 30000/1001).
std::optional<ParsedValue> ParseValue(ValueKind kind, std::string_view piece);

}  // namespace qelo::fileformat
