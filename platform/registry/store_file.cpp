#include "registry/store_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "win/small_file.h"

namespace qelo::reg {
namespace {

constexpr std::string_view kHeader = "qelo-registry 1";
constexpr std::string_view kEnd = "end";

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool NeedsEscape(unsigned char c) { return c <= 0x20 || c == 0x7F || c == '%'; }

std::string EscapeField(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = ":";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (!NeedsEscape(c)) {
      out += ch;
      continue;
    }
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool UnescapeField(std::string_view field, std::string* text) {
  if (field.empty() || field[0] != ':') return false;
  text->clear();
  for (std::size_t i = 1; i < field.size(); ++i) {
    if (field[i] != '%') {
      text->push_back(field[i]);
      continue;
    }
    if (i + 2 >= field.size()) return false;
    const int high = HexDigit(field[i + 1]);
    const int low = HexDigit(field[i + 2]);
    if (high < 0 || low < 0) return false;
    text->push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return true;
}

bool ParseDword(std::string_view text, std::uint32_t* value) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, *value);
  return error == std::errc() && ptr == end && !text.empty();
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= line.size()) {
    const std::size_t blank = line.find(' ', start);
    const std::size_t stop = blank == std::string_view::npos ? line.size() : blank;
    parts.push_back(line.substr(start, stop - start));
    start = stop + 1;
  }
  return parts;
}

// Reads one key or value line into the store; `current` is the key that
// value lines belong to.
bool ParseLine(std::string_view line, Store* store, ValueMap** current) {
  const auto parts = SplitBlanks(line);
  std::string first;
  if (parts.size() == 2 && parts[0] == "key") {
    if (!UnescapeField(parts[1], &first) || first.empty()) return false;
    *current = &store->keys[first];
    return true;
  }
  if (parts.size() != 3 || !*current || !UnescapeField(parts[1], &first)) return false;
  StoredValue value;
  if (parts[0] == "dword") {
    value.type = ValueType::kDword;
    if (!ParseDword(parts[2], &value.dword)) return false;
  } else if (parts[0] == "string") {
    value.type = ValueType::kString;
    if (!UnescapeField(parts[2], &value.text)) return false;
  } else {
    return false;
  }
  (**current)[first] = std::move(value);
  return true;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = Lower(a[i]), y = Lower(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool SameName(std::string_view a, std::string_view b) {
  const CaseInsensitiveLess less;
  return !less(a, b) && !less(b, a);
}

std::string FormatStore(const Store& store) {
  std::string out(kHeader);
  out += '\n';
  for (const auto& [path, values] : store.keys) {
    out += "key " + EscapeField(path) + '\n';
    for (const auto& [name, value] : values) {
      if (value.type == ValueType::kDword)
        out += "dword " + EscapeField(name) + ' ' + std::to_string(value.dword) + '\n';
      else
        out += "string " + EscapeField(name) + ' ' + EscapeField(value.text) + '\n';
    }
  }
  out += kEnd;
  out += '\n';
  return out;
}

bool ParseStore(std::string_view text, Store* store) {
  Store parsed;
  ValueMap* current = nullptr;
  std::size_t start = 0;
  bool header = false;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) return false;  // cut short
    const std::string_view line = text.substr(start, newline - start);
    start = newline + 1;
    if (!header) {
      if (line != kHeader) return false;
      header = true;
    } else if (line == kEnd) {
      if (start != text.size()) return false;
      *store = std::move(parsed);
      return true;
    } else if (!ParseLine(line, &parsed, &current)) {
      return false;
    }
  }
  return false;
}

LoadResult LoadStore(const std::string& path, Store* store) {
  *store = Store{};
  const win::SmallFile file = win::ReadSmallFile(path, kStoreSizeLimit);
  switch (file.state) {
    case win::SmallFile::State::kMissing: return {LoadState::kMissing, "", false};
    case win::SmallFile::State::kUnusable: return {LoadState::kUnusable, file.problem, file.folder};
    case win::SmallFile::State::kRead: break;
  }
  return {ParseStore(file.bytes, store) ? LoadState::kRead : LoadState::kDamaged, "", false};
}

bool SaveStore(const std::string& path, const Store& store) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, FormatStore(store)) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (written && closed && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  unlink(temp.c_str());
  return false;
}

}  // namespace qelo::reg
