#include "convertor_log.h"

namespace qelo::convertor {

log::LibraryLog gLog("Qelo VideoConvertor: ");

}  // namespace qelo::convertor
