// The shell's ground for the control library: the object model started for
// the GUI thread, and the shell allocator that every item-id list the
// control library makes comes from.
#pragma once

#include <cstddef>

#include "shell/malloc.h"

namespace qelo::ct {

// Start-up and close-down of the unit: the object model for the calling
// (GUI) thread; close-down ends it only when start-up succeeded.
void InitializeCtShellIntf();
void FinalizeCtShellIntf();

// The shell's allocator, kept for the program's life.
shell::IMalloc* ShellMalloc();
void* ShellMemAlloc(std::size_t size);
// Null is ignored.
void ShellMemFree(void* block);

}  // namespace qelo::ct
