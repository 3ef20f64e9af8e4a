// What the items of this namespace hold. Every item begins with its count,
// a signature byte and its kind:
//
//   count (16 bits) | 'Q' | kind | flags | payload
//
//   kind 1 Computer  no payload; the folder of the mounted volumes
//   kind 2 Home      no payload; the user's home folder
//   kind 3 Volume    the mount root, an absolute path ("/", "/media/u/STICK")
//   kind 4 Entry     one name inside a folder, the file system's own bytes
//                    (not necessarily UTF-8); flags bit 0: a folder,
//                    bit 1: a symbolic link
//
// Top-level Entry items are the desktop directory's. DecodeItem checks every
// field, so a damaged or foreign item is refused, never misread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/idlist.h"

namespace qelo::shell {

enum class ItemKind : uint8_t { kComputer = 1, kHome = 2, kVolume = 3, kEntry = 4 };

inline constexpr uint8_t kItemSignature = 'Q';
inline constexpr uint8_t kItemFolder = 0x01;
inline constexpr uint8_t kItemLink = 0x02;
inline constexpr std::size_t kItemHeaderBytes = 5;

struct ItemView {
  ItemKind kind = ItemKind::kEntry;
  uint8_t flags = 0;
  std::string_view payload;  // a mount root or a name; points into the item

  bool IsFolderEntry() const { return (flags & kItemFolder) != 0; }
  bool IsLink() const { return (flags & kItemLink) != 0; }
};

// The first item of `item` read and checked; nothing for the terminator or
// for an item that is not one of ours.
std::optional<ItemView> DecodeItem(LPCITEMIDLIST item);

// Whether a name can stand for one directory entry: not empty, no '/' or
// zero byte, not "." or "..", at most 255 bytes.
bool IsValidEntryName(std::string_view name);

// One-item lists of the shell allocator; null when the payload is not valid.
LPITEMIDLIST MakeComputerItem();
LPITEMIDLIST MakeHomeItem();
LPITEMIDLIST MakeVolumeItem(std::string_view mountRoot);
LPITEMIDLIST MakeEntryItem(std::string_view name, uint8_t flags);

}  // namespace qelo::shell
