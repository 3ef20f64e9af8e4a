#include "shell/global_memory.h"

#include <cstring>

#include <mutex>
#include <new>
#include <unordered_set>
#include <vector>

namespace qelo::shell {

struct GlobalBlock {
  std::vector<unsigned char> bytes;
  int locks = 0;
};

namespace {

std::mutex blocksLock;
// Never destroyed: blocks may be freed by other objects' destructors at exit.
std::unordered_set<GlobalBlock*>& LiveBlocks() {
  static auto* blocks = new std::unordered_set<GlobalBlock*>;
  return *blocks;
}

bool IsLive(HGLOBAL block) {
  std::lock_guard<std::mutex> hold(blocksLock);
  return LiveBlocks().count(block) != 0;
}

}  // namespace

HGLOBAL GlobalAlloc(uint32_t, std::size_t size) {
  auto* block = new (std::nothrow) GlobalBlock;
  if (!block) return nullptr;
  try {
    block->bytes.assign(size, 0);
  } catch (const std::bad_alloc&) {
    delete block;
    return nullptr;
  }
  std::lock_guard<std::mutex> hold(blocksLock);
  LiveBlocks().insert(block);
  return block;
}

void* GlobalLock(HGLOBAL block) {
  if (!IsLive(block)) return nullptr;
  ++block->locks;
  // A block of no bytes still locks to a valid pointer.
  return block->bytes.empty() ? static_cast<void*>(block) : block->bytes.data();
}

bool GlobalUnlock(HGLOBAL block) {
  if (!IsLive(block) || block->locks == 0) return false;
  return --block->locks > 0;
}

std::size_t GlobalSize(HGLOBAL block) { return IsLive(block) ? block->bytes.size() : 0; }

HGLOBAL GlobalFree(HGLOBAL block) {
  {
    std::lock_guard<std::mutex> hold(blocksLock);
    if (LiveBlocks().erase(block) == 0) return block;
  }
  delete block;
  return nullptr;
}

HGLOBAL GlobalDuplicate(HGLOBAL block) {
  GlobalLockScope from(block);
  if (!from.bytes()) return nullptr;
  return GlobalAllocFilled(from.size(), [&](unsigned char* bytes) {
    if (from.size()) std::memcpy(bytes, from.bytes(), from.size());
  });
}

}  // namespace qelo::shell
