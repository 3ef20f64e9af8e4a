#include "location.h"

#include <sys/stat.h>

#include "shell/special_folders.h"

namespace qelo::shell::detail {

Location DesktopLocation() {
  Location desktop;
  desktop.path = DesktopDirectory().value_or(std::string());
  return desktop;
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path.append(name);
  return path;
}

bool CanHoldChild(const Location& parent, const ItemView& item) {
  switch (item.kind) {
    case ItemKind::kComputer:
    case ItemKind::kHome: return parent.kind == Location::kDesktop;
    case ItemKind::kVolume: return parent.kind == Location::kComputer;
    case ItemKind::kEntry: return parent.kind != Location::kComputer && parent.HasPath();
  }
  return false;
}

std::optional<Location> ChildLocation(const Location& parent, const ItemView& item) {
  if (!CanHoldChild(parent, item)) return std::nullopt;
  Location child;
  switch (item.kind) {
    case ItemKind::kComputer:
      child.kind = Location::kComputer;
      break;
    case ItemKind::kHome:
      child.kind = Location::kHome;
      child.path = HomeDirectory();
      break;
    case ItemKind::kVolume:
      child.kind = Location::kVolume;
      child.path = std::string(item.payload);
      break;
    case ItemKind::kEntry:
      child.kind = Location::kPath;
      child.path = JoinPath(parent.path, item.payload);
      child.name = std::string(item.payload);
      break;
  }
  return child;
}

std::optional<Location> Walk(const Location& base, LPCITEMIDLIST relative) {
  Location at = base;
  for (LPCITEMIDLIST item = relative; item && !ILIsEmpty(item); item = ILNext(item)) {
    std::optional<ItemView> view = DecodeItem(item);
    if (!view) return std::nullopt;
    std::optional<Location> next = ChildLocation(at, *view);
    if (!next) return std::nullopt;
    at = std::move(*next);
  }
  return at;
}

bool IsDirectoryPath(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace qelo::shell::detail
