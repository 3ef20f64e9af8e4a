// Global memory blocks: the movable blocks that data objects and the
// clipboard hand over. A block is locked to reach its bytes; a handle that
// is not a live block gives the calls' failure answers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qelo::shell {

struct GlobalBlock;
using HGLOBAL = GlobalBlock*;

constexpr uint32_t GMEM_FIXED = 0x0000;
constexpr uint32_t GMEM_MOVEABLE = 0x0002;
constexpr uint32_t GMEM_ZEROINIT = 0x0040;
constexpr uint32_t GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Null when the memory cannot be had. Blocks are always zero-filled.
HGLOBAL GlobalAlloc(uint32_t flags, std::size_t size);
// The bytes (null for a bad handle); each lock is matched by an unlock.
void* GlobalLock(HGLOBAL block);
bool GlobalUnlock(HGLOBAL block);
// 0 for a bad handle.
std::size_t GlobalSize(HGLOBAL block);
// Null on success; the handle itself when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL block);

// A lock held for a scope.
class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL block) : block_(block), bytes_(GlobalLock(block)) {}
  ~GlobalLockScope() {
    if (bytes_) GlobalUnlock(block_);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  void* bytes() const { return bytes_; }
  std::size_t size() const { return bytes_ ? GlobalSize(block_) : 0; }

 private:
  HGLOBAL block_;
  void* bytes_;
};

// A new block of `size` zero bytes, handed locked to `fill` (which is given
// its bytes); null when the memory cannot be had.
template <class Fill>
HGLOBAL GlobalAllocFilled(std::size_t size, Fill fill) {
  HGLOBAL block = GlobalAlloc(GHND, size);
  {
    GlobalLockScope lock(block);
    if (lock.bytes()) {
      fill(static_cast<unsigned char*>(lock.bytes()));
      return block;
    }
  }
  GlobalFree(block);
  return nullptr;
}

// A new block holding a copy of the bytes of `block`; null when `block` is
// not a live block or the memory cannot be had.
HGLOBAL GlobalDuplicate(HGLOBAL block);

}  // namespace qelo::shell
