#include "vcl/sysutils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "vcl/types.h"

namespace qelo::vcl {

namespace fs = std::filesystem;

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i]));
    const int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int StrToInt(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  // from_chars takes a minus sign but no plus; the sign is read by hand.
  long long value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value);
  const bool whole = !digits.empty() && digits[0] >= '0' && digits[0] <= '9' && error == std::errc() && stop == end;
  if (whole && !text.empty() && text[0] == '-') value = -value;
  if (!whole || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<int>(value);
}

namespace {

// Index of the first character of the name (after the last "/").
size_t NameStart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// Index of the extension's dot, or the path's size when there is none.
size_t ExtensionStart(std::string_view path) {
  const size_t name = NameStart(path);
  const size_t dot = path.rfind('.');
  return dot == std::string_view::npos || dot <= name ? path.size() : dot;
}

}  // namespace

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFileExt(std::string_view path) { return std::string(path.substr(ExtensionStart(path))); }

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  std::string result(path.substr(0, ExtensionStart(path)));
  result += extension;
  return result;
}

bool FileExists(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  return fs::exists(status) && !fs::is_directory(status);
}

bool DirectoryExists(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::error_code error;
  fs::create_directories(path, error);
  return DirectoryExists(path);
}

namespace {

// Length of the run of `c` at the start of `text` (case-insensitive).
size_t RunLength(std::string_view text, char c) {
  size_t n = 0;
  while (n < text.size() && (text[n] | 0x20) == c) ++n;
  return n;
}

void AppendNumber(std::string& out, int value, int minDigits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", minDigits, value);
  out += buffer;
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, const std::tm& time) {
  std::string out;
  char lastField = 0;  // the last pattern letter read; other characters leave it
  size_t i = 0;
  while (i < pattern.size()) {
    char field = static_cast<char>(pattern[i] | 0x20);
    size_t run = RunLength(pattern.substr(i), field);
    if (field < 'a' || field > 'z') run = 0;
    if (field == 'm' && lastField == 'h') field = 'n';
    const int digits = run >= 2 ? 2 : 1;
    switch (run == 0 ? 0 : field) {
      case 'y':
        AppendNumber(out, run >= 3 ? time.tm_year + 1900 : (time.tm_year + 1900) % 100, run >= 3 ? 4 : 2);
        break;
      case 'm': AppendNumber(out, time.tm_mon + 1, digits); break;
      case 'd': AppendNumber(out, time.tm_mday, digits); break;
      case 'h': AppendNumber(out, time.tm_hour, digits); break;
      case 'n': AppendNumber(out, time.tm_min, digits); break;
      case 's': AppendNumber(out, time.tm_sec, digits); break;
      default:
        out += pattern[i];
        if (run > 0) lastField = field;
        ++i;
        continue;
    }
    lastField = field;
    // Fields take at most two letters (four for the year).
    i += field == 'y' ? run : std::min<size_t>(run, 2);
  }
  return out;
}

}  // namespace qelo::vcl
