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

// A store file is read only when it is a regular file of at most this size.
inline constexpr std::size_t kStoreSizeLimit = 1 << 20;

enum class LoadState {
  kRead,
  kMissing,
  kDamaged,   // its text is not a well-formed store
  kUnusable,  // it cannot be read: a folder, a FIFO, a device, too large, no right
};

struct LoadResult {
  LoadState state = LoadState::kMissing;
  std::string problem;  // kUnusable: why
  bool folder = false;  // kUnusable: a folder stands at the path
};

// Reads the store file; anything but a well-formed one leaves `store` empty.
LoadResult LoadStore(const std::string& path, Store* store);
// Writes a new file beside `path` and renames it over `path`.
bool SaveStore(const std::string& path, const Store& store);

}  // namespace qelo::reg
