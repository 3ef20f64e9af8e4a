#include "log/library_log.h"

#include <cstdio>
#include <string>

#include "win/codepage.h"

namespace qelo::log {

void LibraryLog::Write(const char* format, ...) const {
  va_list args;
  va_start(args, format);
  WriteV(format, args);
  va_end(args);
}

void LibraryLog::WriteV(const char* format, va_list args) const {
  const LineCallback callback = callback_.load();
  if (!callback) return;
  char message[kMaxLineBytes + 1];
  if (std::vsnprintf(message, sizeof message, format, args) < 0) message[0] = 0;
  std::string line = prefix_;
  line += message;
  const std::u16string wide = win::Utf8ToUtf16(win::TruncateUtf8(line, kMaxLineBytes));
  callback(wide.c_str());
}

}  // namespace qelo::log
