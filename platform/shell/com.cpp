#include "shell/com.h"

#include <cstdlib>
#include <cstring>

namespace qelo::shell {
namespace {

// Each block starts with its requested size; the header keeps the block's
// payload aligned for any type.
struct alignas(std::max_align_t) BlockHeader {
  std::size_t size;
};

BlockHeader* HeaderOf(const void* block) {
  return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(block)) -
                                        sizeof(BlockHeader));
}

struct ThreadInit {
  int com = 0;
  int ole = 0;
};
thread_local ThreadInit threadInit;

}  // namespace

void* CoTaskMemAlloc(std::size_t size) {
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
  if (!header) return nullptr;
  header->size = size;
  return header + 1;
}

void* CoTaskMemRealloc(void* block, std::size_t size) {
  if (!block) return CoTaskMemAlloc(size);
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  auto* header = static_cast<BlockHeader*>(std::realloc(HeaderOf(block), sizeof(BlockHeader) + size));
  if (!header) return nullptr;
  header->size = size;
  return header + 1;
}

void CoTaskMemFree(void* block) {
  if (block) std::free(HeaderOf(block));
}

std::size_t CoTaskMemSize(const void* block) { return block ? HeaderOf(block)->size : 0; }

HRESULT CoInitialize(void*) { return threadInit.com++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (threadInit.com > 0) --threadInit.com;
}

HRESULT OleInitialize(void* reserved) {
  HRESULT hr = CoInitialize(reserved);
  ++threadInit.ole;
  return hr;
}

void OleUninitialize() {
  if (threadInit.ole > 0) --threadInit.ole;
  CoUninitialize();
}

bool IsComInitialized() { return threadInit.com > 0; }
bool IsOleInitialized() { return threadInit.ole > 0; }

}  // namespace qelo::shell
