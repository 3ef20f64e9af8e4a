// Inside the namespace: where an item-id list leads. A location is the
// desktop, Computer, or a file-system folder or file (the home folder, a
// volume root, an entry below either, an entry of the desktop directory).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/items.h"

namespace qelo::shell::detail {

struct Location {
  enum Kind { kDesktop, kComputer, kHome, kVolume, kPath };
  Kind kind = kDesktop;
  // The file-system path: the desktop directory for the desktop (when
  // there is one), none for Computer.
  std::string path;
  // The name of the entry within its folder (kPath only).
  std::string name;

  bool HasPath() const { return !path.empty(); }
};

Location DesktopLocation();
std::string JoinPath(const std::string& folder, std::string_view name);

// Whether `item` can stand inside `parent` (not a volume outside Computer,
// nor an entry of the desktop without a desktop directory, ...).
bool CanHoldChild(const Location& parent, const ItemView& item);
// The location of `item` inside `parent`; nothing when it cannot stand there.
std::optional<Location> ChildLocation(const Location& parent, const ItemView& item);
// Walks every item of a relative list from `base`; nothing when an item is
// damaged or out of place. The empty list gives `base`.
std::optional<Location> Walk(const Location& base, LPCITEMIDLIST relative);

// Whether the path is a directory (symbolic links followed).
bool IsDirectoryPath(const std::string& path);

}  // namespace qelo::shell::detail
