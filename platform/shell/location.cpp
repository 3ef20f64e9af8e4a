#include "shell/location.h"

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

std::optional<Location> ChildLocation(const Location& parent, const ItemView& item) {
  Location child;
  switch (item.kind) {
    case ItemKind::kComputer:
      if (parent.kind != Location::kDesktop) return std::nullopt;
      child.kind = Location::kComputer;
      return child;
    case ItemKind::kHome:
      if (parent.kind != Location::kDesktop) return std::nullopt;
      child.kind = Location::kHome;
      child.path = HomeDirectory();
      return child;
    case ItemKind::kVolume:
      if (parent.kind != Location::kComputer) return std::nullopt;
      child.kind = Location::kVolume;
      child.path = std::string(item.payload);
      return child;
    case ItemKind::kEntry:
      if (parent.kind == Location::kComputer || !parent.HasPath()) return std::nullopt;
      child.kind = Location::kPath;
      child.path = JoinPath(parent.path, item.payload);
      child.name = std::string(item.payload);
      return child;
  }
  return std::nullopt;
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
