// The codec bridge's log: lines go to the callback handed to
// QeloInitializeCodecs, prefixed with the library's name.
#pragma once

#include "log/library_log.h"

namespace qelo::codecs {

extern log::LibraryLog gLog;

}  // namespace qelo::codecs
