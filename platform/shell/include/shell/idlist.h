// Item-id lists: the shell's binary paths. A list is a run of items, each a
// 16-bit byte count (which includes its own two bytes) followed by opaque
// bytes, ended by a zero count. Null and a list whose first count is 0 (the
// empty list, which names the desktop) are both valid inputs everywhere.
//
// Lists made here come from the shell allocator (or the allocator passed)
// and belong to the caller. Lists of unknown origin (a foreign data block, a
// stored stream) are measured with ILValidate against the bytes that are
// really there before anything else reads them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/malloc.h"

namespace qelo::shell {

// Items follow each other without padding, so counts may sit at odd
// addresses: the records are packed and read byte-wise.
struct __attribute__((packed)) SHITEMID {
  uint16_t cb;
  uint8_t abID[1];
};
struct __attribute__((packed)) ITEMIDLIST {
  SHITEMID mkid;
};
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// The largest list this layer makes or accepts, terminator included.
inline constexpr std::size_t kMaxIdListBytes = 1 << 20;

// Size of one item (its count); 0 for null or at the terminator.
uint16_t ILItemSize(LPCITEMIDLIST item);
// The item after `item`; null when `item` is null or the terminator.
LPCITEMIDLIST ILNext(LPCITEMIDLIST item);
bool ILIsEmpty(LPCITEMIDLIST list);
// Bytes of the list with its terminator; 0 for null.
std::size_t ILGetSize(LPCITEMIDLIST list);
int ILGetCount(LPCITEMIDLIST list);
// The last item (the list itself when it is empty); null for null.
LPCITEMIDLIST ILFindLastID(LPCITEMIDLIST list);

// Size (with terminator) of the list at `data` when it lies wholly within
// `available` bytes, every count is 0 or at least 2 and the total stays
// within kMaxIdListBytes; 0 when it does not.
std::size_t ILValidate(const void* data, std::size_t available);

// New lists; null when the allocation fails. A null allocator means the
// shell allocator. A null source counts as the empty list.
LPITEMIDLIST ILClone(LPCITEMIDLIST list, IMalloc* allocator = nullptr);
LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST list, IMalloc* allocator = nullptr);
// The first `count` items (all of them when the list is shorter).
LPITEMIDLIST ILCloneFirstN(LPCITEMIDLIST list, int count, IMalloc* allocator = nullptr);
LPITEMIDLIST ILCombine(LPCITEMIDLIST first, LPCITEMIDLIST second, IMalloc* allocator = nullptr);
// A list of the given item bytes (count included) and a terminator.
LPITEMIDLIST ILFromItem(const void* item, std::size_t itemSize, IMalloc* allocator = nullptr);
// Frees a list of the shell allocator; null is ignored.
void ILFree(LPITEMIDLIST list);

// Same bytes over the full size (terminators included).
bool ILIsEqualBytes(LPCITEMIDLIST a, LPCITEMIDLIST b);

// Owns one list of the shell allocator.
class IdListPtr {
 public:
  IdListPtr() = default;
  explicit IdListPtr(LPITEMIDLIST list) : list_(list) {}
  IdListPtr(const IdListPtr&) = delete;
  IdListPtr& operator=(const IdListPtr&) = delete;
  IdListPtr(IdListPtr&& other) noexcept : list_(other.Release()) {}
  IdListPtr& operator=(IdListPtr&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~IdListPtr() { Reset(); }

  LPITEMIDLIST Get() const { return list_; }
  explicit operator bool() const { return list_ != nullptr; }
  LPITEMIDLIST Release() {
    LPITEMIDLIST l = list_;
    list_ = nullptr;
    return l;
  }
  void Reset(LPITEMIDLIST list = nullptr) {
    if (list_ != list) ILFree(list_);
    list_ = list;
  }
  LPITEMIDLIST* Put() {
    Reset();
    return &list_;
  }

 private:
  LPITEMIDLIST list_ = nullptr;
};

}  // namespace qelo::shell
