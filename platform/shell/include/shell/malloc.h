// The shell allocator: an IMalloc over the task allocator, one object for
// the whole process. Item-id lists that the shell hands out are allocated
// with it and freed by whoever receives them.
#pragma once

#include <cstddef>

#include "shell/com.h"

namespace qelo::shell {

inline constexpr IID IID_IMalloc{"IMalloc"};

class IMalloc : public IUnknown {
 public:
  virtual void* Alloc(std::size_t size) = 0;
  virtual void* Realloc(void* block, std::size_t size) = 0;
  virtual void Free(void* block) = 0;
  // The block's size; -1 (as size_t) for null.
  virtual std::size_t GetSize(void* block) = 0;
  // 1 when the block is this allocator's, 0 when not, -1 when it cannot tell.
  virtual int DidAlloc(void* block) = 0;
  virtual void HeapMinimize() = 0;

 protected:
  ~IMalloc() = default;
};

// The process's allocator with one reference for the caller.
HRESULT SHGetMalloc(IMalloc** allocator);

}  // namespace qelo::shell
