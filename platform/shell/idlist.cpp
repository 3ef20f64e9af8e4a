#include "shell/idlist.h"

#include <cstring>

namespace qelo::shell {
namespace {

constexpr std::size_t kCountBytes = sizeof(uint16_t);

uint16_t ReadCount(const void* at) {
  uint16_t count;
  std::memcpy(&count, at, kCountBytes);
  return count;
}

// Bytes of the items only (without the terminator).
std::size_t ItemBytes(LPCITEMIDLIST list) {
  std::size_t total = 0;
  for (LPCITEMIDLIST item = list; item && ILItemSize(item) != 0; item = ILNext(item))
    total += ILItemSize(item);
  return total;
}

// Items bytes of the first `count` items.
std::size_t FirstItemBytes(LPCITEMIDLIST list, int count) {
  std::size_t total = 0;
  LPCITEMIDLIST item = list;
  for (int i = 0; i < count && item && ILItemSize(item) != 0; ++i, item = ILNext(item))
    total += ILItemSize(item);
  return total;
}

LPITEMIDLIST Allocate(std::size_t size, IMalloc* allocator) {
  void* block = allocator ? allocator->Alloc(size) : CoTaskMemAlloc(size);
  return static_cast<LPITEMIDLIST>(block);
}

// A list of `itemBytes` bytes copied from each part in turn, then a terminator.
LPITEMIDLIST Build(const void* a, std::size_t aBytes, const void* b, std::size_t bBytes, IMalloc* allocator) {
  if (aBytes + bBytes + kCountBytes > kMaxIdListBytes) return nullptr;
  LPITEMIDLIST list = Allocate(aBytes + bBytes + kCountBytes, allocator);
  if (!list) return nullptr;
  auto* out = reinterpret_cast<unsigned char*>(list);
  if (aBytes) std::memcpy(out, a, aBytes);
  if (bBytes) std::memcpy(out + aBytes, b, bBytes);
  std::memset(out + aBytes + bBytes, 0, kCountBytes);
  return list;
}

}  // namespace

uint16_t ILItemSize(LPCITEMIDLIST item) { return item ? ReadCount(item) : 0; }

LPCITEMIDLIST ILNext(LPCITEMIDLIST item) {
  uint16_t size = ILItemSize(item);
  if (size == 0) return nullptr;
  return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const unsigned char*>(item) + size);
}

bool ILIsEmpty(LPCITEMIDLIST list) { return ILItemSize(list) == 0; }

std::size_t ILGetSize(LPCITEMIDLIST list) { return list ? ItemBytes(list) + kCountBytes : 0; }

int ILGetCount(LPCITEMIDLIST list) {
  int count = 0;
  for (LPCITEMIDLIST item = list; item && ILItemSize(item) != 0; item = ILNext(item)) ++count;
  return count;
}

LPCITEMIDLIST ILFindLastID(LPCITEMIDLIST list) {
  if (!list) return nullptr;
  LPCITEMIDLIST last = list;
  for (LPCITEMIDLIST item = list; ILItemSize(item) != 0; item = ILNext(item)) last = item;
  return last;
}

std::size_t ILValidate(const void* data, std::size_t available) {
  if (!data) return 0;
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t limit = available < kMaxIdListBytes ? available : kMaxIdListBytes;
  std::size_t offset = 0;
  while (offset + kCountBytes <= limit) {
    uint16_t count = ReadCount(bytes + offset);
    if (count == 0) return offset + kCountBytes;
    if (count < kCountBytes || count > limit - offset) return 0;
    offset += count;
  }
  return 0;
}

LPITEMIDLIST ILClone(LPCITEMIDLIST list, IMalloc* allocator) {
  return Build(list, ItemBytes(list), nullptr, 0, allocator);
}

LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST list, IMalloc* allocator) {
  return ILCloneFirstN(list, 1, allocator);
}

LPITEMIDLIST ILCloneFirstN(LPCITEMIDLIST list, int count, IMalloc* allocator) {
  return Build(list, FirstItemBytes(list, count), nullptr, 0, allocator);
}

LPITEMIDLIST ILCombine(LPCITEMIDLIST first, LPCITEMIDLIST second, IMalloc* allocator) {
  return Build(first, ItemBytes(first), second, ItemBytes(second), allocator);
}

LPITEMIDLIST ILFromItem(const void* item, std::size_t itemSize, IMalloc* allocator) {
  if (itemSize < kCountBytes || itemSize > UINT16_MAX || ReadCount(item) != itemSize) return nullptr;
  return Build(item, itemSize, nullptr, 0, allocator);
}

void ILFree(LPITEMIDLIST list) { CoTaskMemFree(list); }

bool ILIsEqualBytes(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  std::size_t sa = ILGetSize(a), sb = ILGetSize(b);
  return sa == sb && (sa == 0 || std::memcmp(a, b, sa) == 0);
}

}  // namespace qelo::shell
