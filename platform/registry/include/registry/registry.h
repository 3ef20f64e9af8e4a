// Keys and values of the system settings store: REG_DWORD and REG_SZ values
// under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, with open, create, query,
// set and close.
//
// Everything lives in one file of our own format, "registry.dat", in the
// folder named by QELO_REGISTRY_DIR, else $XDG_CONFIG_HOME/clipshift, else
// ~/.config/clipshift. Every call reads the file afresh and every change
// rewrites it whole (new file, then rename), under a lock file, so several
// processes may share it and a crash never leaves it half written. Only a
// regular file of at most 1 MiB is read. A damaged file (or anything else
// that cannot be read in its place, but a folder) reads as empty; the next
// change keeps it aside under a name of its own ("registry.dat.damaged",
// then "registry.dat.damaged-2", ...) before writing a new one.
// `CheckStore` does that at once and says what it found.
//
// Key and value names are matched without regard to ASCII case; path parts
// are separated by backslashes. The keys that a freshly installed system
// has (those of DirectDraw and Direct3D) always exist.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qelo::reg {

enum class Status {
  kOk,
  kNotFound,         // no such key or value
  kAccessDenied,     // the key was not opened with that right
  kMoreData,         // the buffer is too small; the size needed was written
  kInvalidHandle,
  kInvalidArgument,  // bad path, type or data size
  kStoreFailed,      // the store file could not be written
};

enum class ValueType : std::uint32_t { kString = 1, kDword = 4 };

// Access rights of an opened key.
inline constexpr std::uint32_t kQueryValue = 0x1;
inline constexpr std::uint32_t kSetValue = 0x2;
inline constexpr std::uint32_t kAllAccess = kQueryValue | kSetValue;

// An open key. The two roots are always open and need no closing.
using Key = std::uintptr_t;
inline constexpr Key kNoKey = 0;
inline constexpr Key HKEY_LOCAL_MACHINE = 1;
inline constexpr Key HKEY_CURRENT_USER = 2;

// Opens an existing key below `parent` (an empty path opens `parent` again).
Status OpenKey(Key parent, std::string_view subKey, std::uint32_t access, Key* key);
// Opens a key, creating it and any missing keys above it.
Status CreateKey(Key parent, std::string_view subKey, std::uint32_t access, Key* key);
Status CloseKey(Key key);

// Reads a value. `type` may be null. With `data` null only the size needed
// is written to `*size`; a buffer smaller than the value gives kMoreData and
// the size needed. A string comes back with its terminating zero.
Status QueryValue(Key key, std::string_view name, ValueType* type, void* data,
                  std::uint32_t* size);
// Writes a value: a dword takes exactly 4 bytes; a string is the bytes up to
// the first zero (or all `size` bytes).
Status SetValue(Key key, std::string_view name, ValueType type, const void* data,
                std::uint32_t size);

// The store file that the calls above use.
std::string StorePath();

// What a program learns of its store at start-up: a store that cannot be
// used as it stands (damaged, not a regular file, too large, unreadable) is
// kept aside and a new one started; `usable` is false when the store can
// still not be read and written (a folder in its place or in its lock
// file's, a file in its folder's, no right to write).
struct StoreCheck {
  bool usable = true;
  std::vector<std::string> reports;  // one sentence per problem, naming the file and the reason
};
StoreCheck CheckStore();

}  // namespace qelo::reg
