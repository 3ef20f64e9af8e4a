// What the diagnostic stand-in answers: the defaults, or the file named by
// QELO_DXDIAG_CONFIG (format in dxdiag.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dxdiag/dxdiag.h"

namespace qelo::dxdiag {

enum class ProviderState { kPresent, kMissing, kFailsInitialize };

struct SystemFile {
  std::string name;
  std::optional<std::uint64_t> version;  // none: the file has no version information
};

struct Config {
  ProviderState provider = ProviderState::kPresent;
  std::vector<std::pair<std::string, Property>> systemInfo;
  std::optional<std::string> systemDirectory;
  std::vector<SystemFile> files;
};

Config DefaultConfig();
// False with a reason when a line is malformed.
bool ParseConfig(std::string_view text, Config* config, std::string* error);
// The configuration in effect now.
Config LoadConfig();

// "a.b.c.d" with each part 0..65535, as one 64-bit version.
bool ParseFileVersion(std::string_view text, std::uint64_t* version);

}  // namespace qelo::dxdiag
