#include "shell/malloc.h"

namespace qelo::shell {
namespace {

// Lives for the whole process; its count only tells callers what they hold.
class TaskAllocator final : public IMalloc {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMalloc) {
      AddRef();
      *object = static_cast<IMalloc*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return refs_.Increment(); }
  ULONG Release() override { return refs_.Decrement(); }
  void* Alloc(std::size_t size) override { return CoTaskMemAlloc(size); }
  void* Realloc(void* block, std::size_t size) override { return CoTaskMemRealloc(block, size); }
  void Free(void* block) override { CoTaskMemFree(block); }
  std::size_t GetSize(void* block) override {
    return block ? CoTaskMemSize(block) : static_cast<std::size_t>(-1);
  }
  int DidAlloc(void* block) override { return block ? -1 : 0; }
  void HeapMinimize() override {}

 private:
  RefCount refs_;
};

}  // namespace

HRESULT SHGetMalloc(IMalloc** allocator) {
  if (!allocator) return E_INVALIDARG;
  static TaskAllocator shared;
  shared.AddRef();
  *allocator = &shared;
  return S_OK;
}

}  // namespace qelo::shell
