#include "win/codepage.h"

namespace qelo::win {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one character at text[i], advancing i; malformed input yields U+FFFD
// and consumes one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra;
  char32_t cp;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07;
  } else {
    return kReplacement;
  }
  if (i + extra > text.size()) return kReplacement;
  for (int k = 0; k < extra; ++k)
    if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return kReplacement;
  for (int k = 0; k < extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  i += extra;
  return cp;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t cp = DecodeUtf8(text, i);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::u16string_view Utf16Field(const char16_t* field, std::size_t capacity) {
  if (!field) return {};
  std::size_t n = 0;
  while (n < capacity && field[n]) ++n;
  return {field, n};
}

std::size_t CopyToUtf16Field(char16_t* field, std::size_t capacity, std::u16string_view text) {
  if (!field || capacity == 0) return 0;
  std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
  if (n > 0 && n < text.size() && IsHighSurrogate(text[n - 1])) --n;
  text.copy(field, n);
  field[n] = 0;
  return n;
}

std::string_view TruncateUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t n = maxBytes;
  while (n > 0 && IsContinuation(static_cast<unsigned char>(text[n]))) --n;
  return text.substr(0, n);
}

}  // namespace qelo::win
