#include "ct_shell_intf.h"

#include "shell/com.h"

namespace qelo::ct {
namespace {

bool comStarted = false;

}  // namespace

void InitializeCtShellIntf() { comStarted = shell::SUCCEEDED(shell::CoInitialize(nullptr)); }

void FinalizeCtShellIntf() {
  if (comStarted) shell::CoUninitialize();
  comStarted = false;
}

shell::IMalloc* ShellMalloc() {
  static shell::IMalloc* const allocator = [] {
    shell::IMalloc* a = nullptr;
    shell::SHGetMalloc(&a);
    return a;
  }();
  return allocator;
}

void* ShellMemAlloc(std::size_t size) { return ShellMalloc()->Alloc(size); }

void ShellMemFree(void* block) {
  if (block) ShellMalloc()->Free(block);
}

}  // namespace qelo::ct
