// The registry store in memory and its file format: a header line, then one
// line per key and per value, then "end". Text fields are written as ':'
// followed by the text with '%', blanks and control bytes escaped as %XX, so
// every line splits on blanks. A file that does not read back exactly this
// way is damaged.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "registry/registry.h"

namespace qelo::reg {

// Orders names without regard to ASCII case (names keep their first spelling).
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

bool SameName(std::string_view a, std::string_view b);

struct StoredValue {
  ValueType type = ValueType::kDword;
  std::uint32_t dword = 0;
  std::string text;
};

using ValueMap = std::map<std::string, StoredValue, CaseInsensitiveLess>;

// Keys by full path ("HKEY_LOCAL_MACHINE\SOFTWARE\..."), each with its values.
struct Store {
  std::map<std::string, ValueMap, CaseInsensitiveLess> keys;
};

std::string FormatStore(const Store& store);
// False when the text is not a whole, well-formed store.
bool ParseStore(std::string_view text, Store* store);

enum class LoadState { kRead, kMissing, kDamaged };

// Reads the store file; a missing or damaged file leaves `store` empty.
LoadState LoadStore(const std::string& path, Store* store);
// Writes a new file beside `path` and renames it over `path`.
bool SaveStore(const std::string& path, const Store& store);

}  // namespace qelo::reg
