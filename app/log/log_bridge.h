// The program's own log lines: a level prefix, then QeloLog.
#pragma once

#include <string_view>

namespace qelo::app {

enum LogLevel { kLogInfo = 0, kLogWarning = 1, kLogError = 2 };

// "Info: " for level 0 and for any level other than 1 ("Warning: ") and 2
// ("Error: "), then the text, as one line of QeloLog. Never fails visibly.
void WriteLog(std::string_view text, int level = kLogInfo) noexcept;

}  // namespace qelo::app
