// Text conversion at the boundaries that take UTF-16 (log lines, paths handed
// over by the program). Inside the code text is UTF-8, which stands in for the
// system's ANSI code page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qelo::win {

// Malformed input becomes U+FFFD; conversion never fails.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Appends one code point (at most U+10FFFF, not a surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// Reads a zero-terminated UTF-16 line that sits in a field of `capacity`
// characters, stopping at the field's end when no terminator is found.
std::u16string_view Utf16Field(const char16_t* field, std::size_t capacity);

// Copies into a fixed field of `capacity` characters, always terminated; a
// character pair is never split. Returns the characters copied.
std::size_t CopyToUtf16Field(char16_t* field, std::size_t capacity, std::u16string_view text);

// Cuts UTF-8 text to at most `maxBytes` bytes without splitting a character.
std::string_view TruncateUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace qelo::win
