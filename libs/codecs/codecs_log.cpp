#include "codecs_log.h"

namespace qelo::codecs {

log::LibraryLog gLog("Qelo Codecs: ");

}  // namespace qelo::codecs
