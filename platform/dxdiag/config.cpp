#include "config.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qelo::dxdiag {
namespace {

constexpr std::uint64_t kXpDirectX9 = (5ull << 48) | (3ull << 32) | (2600ull << 16) | 2180ull;

template <typename Number>
bool ParseNumber(std::string_view text, Number* value) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, *value);
  return !text.empty() && error == std::errc() && ptr == end;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t start = line.find_first_not_of(" \t");
  while (start != std::string_view::npos) {
    const std::size_t stop = line.find_first_of(" \t", start);
    words.push_back(line.substr(start, stop == std::string_view::npos ? stop : stop - start));
    start = stop == std::string_view::npos ? stop : line.find_first_not_of(" \t", stop);
  }
  return words;
}

bool ParseProvider(std::string_view state, Config* config) {
  if (state == "present") config->provider = ProviderState::kPresent;
  else if (state == "missing") config->provider = ProviderState::kMissing;
  else if (state == "fails-initialize") config->provider = ProviderState::kFailsInitialize;
  else return false;
  return true;
}

bool ParseProperty(const std::vector<std::string_view>& words, Property* value) {
  const std::string_view type = words[2];
  const bool hasValue = words.size() == 4;
  if (type == "string") {
    *value = std::string(hasValue ? words[3] : std::string_view{});
    return true;
  }
  if (!hasValue) return false;
  std::uint32_t unsignedValue = 0;
  std::int32_t signedValue = 0;
  if (type == "u32" && ParseNumber(words[3], &unsignedValue)) *value = unsignedValue;
  else if (type == "i32" && ParseNumber(words[3], &signedValue)) *value = signedValue;
  else return false;
  return true;
}

// One setting; `replaced` tracks which default lists were already replaced.
bool ParseSetting(const std::vector<std::string_view>& words, Config* config,
                  bool* propertiesReplaced, bool* filesReplaced) {
  const std::string_view what = words[0];
  if (what == "provider" && words.size() == 2) return ParseProvider(words[1], config);
  if (what == "system-directory" && words.size() == 2) {
    if (words[1] == "none") config->systemDirectory.reset();
    else config->systemDirectory = std::string(words[1]);
    return true;
  }
  if (what == "property" && (words.size() == 3 || words.size() == 4)) {
    Property value;
    if (!ParseProperty(words, &value)) return false;
    if (!*propertiesReplaced) config->systemInfo.clear();
    *propertiesReplaced = true;
    config->systemInfo.emplace_back(std::string(words[1]), std::move(value));
    return true;
  }
  if (what == "file" && words.size() == 3) {
    SystemFile file{std::string(words[1]), std::nullopt};
    std::uint64_t version = 0;
    if (words[2] != "none") {
      if (!ParseFileVersion(words[2], &version)) return false;
      file.version = version;
    }
    if (!*filesReplaced) config->files.clear();
    *filesReplaced = true;
    config->files.push_back(std::move(file));
    return true;
  }
  return false;
}

}  // namespace

Config DefaultConfig() {
  Config config;
  config.systemInfo = {{"dwDirectXVersionMajor", std::uint32_t{9}},
                       {"dwDirectXVersionMinor", std::uint32_t{0}},
                       {"szDirectXVersionLetter", std::string("c")}};
  config.systemDirectory = "/windows/system32";
  config.files = {{"ddraw.dll", kXpDirectX9}, {"d3d9.dll", kXpDirectX9}};
  return config;
}

bool ParseFileVersion(std::string_view text, std::uint64_t* version) {
  *version = 0;
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = text.find('.');
    if ((part < 3) != (dot != std::string_view::npos)) return false;
    std::uint16_t value = 0;
    if (!ParseNumber(text.substr(0, dot), &value)) return false;
    *version = (*version << 16) | value;
    text = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
  }
  return true;
}

bool ParseConfig(std::string_view text, Config* config, std::string* error) {
  Config parsed = DefaultConfig();
  bool propertiesReplaced = false, filesReplaced = false;
  int number = 0;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    ++number;
    const std::string setting = line.substr(0, line.find('#'));
    const auto words = Words(setting);
    if (words.empty()) continue;
    if (!ParseSetting(words, &parsed, &propertiesReplaced, &filesReplaced)) {
      *error = "line " + std::to_string(number) + ": " + line;
      return false;
    }
  }
  *config = std::move(parsed);
  return true;
}

Config LoadConfig() {
  const char* path = std::getenv("QELO_DXDIAG_CONFIG");
  if (!path || !*path) return DefaultConfig();
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  Config config;
  std::string error = "cannot be read";
  if (in && ParseConfig(text.str(), &config, &error)) return config;
  std::fprintf(stderr, "dxdiag: configuration %s: %s; using the defaults\n", path, error.c_str());
  return DefaultConfig();
}

}  // namespace qelo::dxdiag
