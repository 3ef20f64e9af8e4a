#include "value_parsing.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

namespace qelo::fileformat {
namespace {

// The size and frame-rate separators are looked for this far into a piece.
constexpr std::size_t kSeparatorReach = 32;

constexpr int32_t kNtscRate = 2997;
constexpr int32_t kNtscNumerator = 30000;
constexpr int32_t kNtscDenominator = 1001;

std::size_t FindSeparator(std::string_view piece, char separator) {
  const std::size_t at = piece.substr(0, kSeparatorReach).find(separator);
  return at == std::string_view::npos ? piece.size() : at;
}

ParsedValue Resolution(std::string_view piece, std::size_t x) {
  return {piece, ParseDecimal(piece.substr(0, x)), ParseDecimal(piece.substr(x + 1))};
}

// The digits after the point count as hundredths: "9" is 90, a third digit
// and beyond are dropped.
int32_t Hundredths(std::string_view fraction) {
  int32_t hundredths = 0;
  std::size_t digits = 0;
  while (digits < 2 && digits < fraction.size() &&
         std::isdigit(static_cast<unsigned char>(fraction[digits])))
    hundredths = hundredths * 10 + (fraction[digits++] - '0');
  for (; digits < 2; ++digits) hundredths *= 10;
  return hundredths;
}

ParsedValue FrameRate(std::string_view piece) {
  const std::size_t point = FindSeparator(piece, '.');
  if (point == piece.size()) return {piece, ParseDecimal(piece), 1};
  const int64_t whole = ParseDecimal(piece.substr(0, point));
  const int64_t scaled = whole * 100 + Hundredths(piece.substr(point + 1));
  const int32_t value = static_cast<int32_t>(
      std::clamp<int64_t>(scaled, std::numeric_limits<int32_t>::min(),
                          std::numeric_limits<int32_t>::max()));
  if (value == kNtscRate) return {piece, kNtscNumerator, kNtscDenominator};
  return {piece, value, 100};
}

}  // namespace

int32_t ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    value = std::min(value * 10 + (text[i] - '0'), kLimit);
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
  std::vector<std::string_view> pieces;
  if (text.empty()) return pieces;
  for (;;) {
    const std::size_t comma = text.find(',');
    pieces.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return pieces;
    text.remove_prefix(comma + 1);
  }
}

std::optional<ParsedValue> ParseValue(ValueKind kind, std::string_view piece) {
  switch (kind) {
    case ValueKind::kResolution: {
      const std::size_t x = FindSeparator(piece, 'x');
      if (x == piece.size()) return std::nullopt;
      return Resolution(piece, x);
    }
    case ValueKind::kFrameRate:
      return FrameRate(piece);
    case ValueKind::kNumber:
      break;
  }
  return ParsedValue{piece, ParseDecimal(piece), 0};
}

}  // namespace qelo::fileformat
