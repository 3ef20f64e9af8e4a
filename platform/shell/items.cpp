#include "shell/items.h"

#include <cstring>
#include <vector>

namespace qelo::shell {
namespace {

constexpr std::size_t kMaxNameBytes = 255;

bool IsValidMountRoot(std::string_view root) {
  return !root.empty() && root.front() == '/' && root.find('\0') == std::string_view::npos;
}

bool PayloadFits(ItemKind kind, uint8_t flags, std::string_view payload) {
  switch (kind) {
    case ItemKind::kComputer:
    case ItemKind::kHome:
      return flags == 0 && payload.empty();
    case ItemKind::kVolume:
      return flags == 0 && IsValidMountRoot(payload);
    case ItemKind::kEntry:
      return (flags & ~(kItemFolder | kItemLink)) == 0 && IsValidEntryName(payload);
  }
  return false;
}

LPITEMIDLIST MakeItem(ItemKind kind, uint8_t flags, std::string_view payload) {
  if (!PayloadFits(kind, flags, payload)) return nullptr;
  std::size_t size = kItemHeaderBytes + payload.size();
  if (size > UINT16_MAX) return nullptr;
  std::vector<unsigned char> bytes(size);
  uint16_t count = static_cast<uint16_t>(size);
  std::memcpy(bytes.data(), &count, sizeof count);
  bytes[2] = kItemSignature;
  bytes[3] = static_cast<uint8_t>(kind);
  bytes[4] = flags;
  if (!payload.empty()) std::memcpy(bytes.data() + kItemHeaderBytes, payload.data(), payload.size());
  return ILFromItem(bytes.data(), bytes.size());
}

}  // namespace

bool IsValidEntryName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxNameBytes && name != "." && name != ".." &&
         name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::optional<ItemView> DecodeItem(LPCITEMIDLIST item) {
  uint16_t size = ILItemSize(item);
  if (size < kItemHeaderBytes) return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(item);
  if (bytes[2] != kItemSignature) return std::nullopt;
  uint8_t kind = bytes[3];
  if (kind < static_cast<uint8_t>(ItemKind::kComputer) || kind > static_cast<uint8_t>(ItemKind::kEntry))
    return std::nullopt;
  ItemView view;
  view.kind = static_cast<ItemKind>(kind);
  view.flags = bytes[4];
  view.payload = std::string_view(reinterpret_cast<const char*>(bytes) + kItemHeaderBytes, size - kItemHeaderBytes);
  if (!PayloadFits(view.kind, view.flags, view.payload)) return std::nullopt;
  return view;
}

LPITEMIDLIST MakeComputerItem() { return MakeItem(ItemKind::kComputer, 0, {}); }
LPITEMIDLIST MakeHomeItem() { return MakeItem(ItemKind::kHome, 0, {}); }
LPITEMIDLIST MakeVolumeItem(std::string_view mountRoot) { return MakeItem(ItemKind::kVolume, 0, mountRoot); }
LPITEMIDLIST MakeEntryItem(std::string_view name, uint8_t flags) { return MakeItem(ItemKind::kEntry, flags, name); }

}  // namespace qelo::shell
