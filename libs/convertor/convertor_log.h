// The engine's log: lines go to the callback handed to
// InitializeVideoConvertor, prefixed with the library's name.
#pragma once

#include "log/library_log.h"

namespace qelo::convertor {

extern log::LibraryLog gLog;

}  // namespace qelo::convertor
