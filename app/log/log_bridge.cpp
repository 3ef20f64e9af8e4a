#include "log_bridge.h"

#include <string>

#include "outside/qelo_log.h"
#include "win/codepage.h"

namespace qelo::app {

namespace {

const char* LevelPrefix(int level) {
  switch (level) {
    case kLogWarning: return "Warning: ";
    case kLogError: return "Error: ";
    default: return "Info: ";
  }
}

}  // namespace

void WriteLog(std::string_view text, int level) noexcept {
  try {
    const std::u16string line = win::Utf8ToUtf16(std::string(LevelPrefix(level)) + std::string(text));
    QeloLogTextW(line.c_str());
  } catch (...) {
    // Out of memory: the line is lost, the program goes on.
  }
}

}  // namespace qelo::app
