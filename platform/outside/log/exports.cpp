// The flat entry points of QeloLog.
#include "log/log_file.h"
#include "outside/qelo_log.h"
#include "win/codepage.h"

using qelo::outside::LogFile;

int InitializeQeloLog(const char16_t* folder) {
  try {
    return LogFile::Instance().Open(qelo::win::Utf16ToUtf8(folder ? folder : u"")) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

void QeloLogTextW(const char16_t* line) {
  if (!line) return;
  try {
    LogFile::Instance().Write(qelo::win::Utf16ToUtf8(line));
  } catch (...) {
    // Out of memory: the line is lost, the caller goes on.
  }
}

void DeInitializeQeloLog() { LogFile::Instance().Close(); }
