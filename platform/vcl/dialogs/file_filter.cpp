#include "vcl/dialogs/file_filter.h"

#include <algorithm>
#include <cctype>

namespace qelo::vcl {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameChar(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

std::vector<TFileFilter> ParseFileFilter(std::string_view filter) {
  std::vector<TFileFilter> result;
  if (filter.empty()) return result;
  const std::vector<std::string_view> parts = Split(filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    TFileFilter f;
    for (std::string_view mask : Split(parts[i + 1], ';'))
      if (const std::string_view m = Trim(mask); !m.empty()) f.masks.emplace_back(m);
    const std::string_view description = Trim(parts[i]);
    f.description = std::string(description.empty() ? Trim(parts[i + 1]) : description);
    result.push_back(std::move(f));
  }
  return result;
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*") return true;
  // Greedy matching with one back-tracking point: the last "*" seen.
  size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && (mask[m] == '?' || SameChar(mask[m], name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool MatchesFilter(std::string_view name, const TFileFilter& filter) {
  return std::any_of(filter.masks.begin(), filter.masks.end(),
                     [name](const std::string& mask) { return MatchesMask(name, mask); });
}

}  // namespace qelo::vcl
