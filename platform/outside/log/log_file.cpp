#include "log/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace qelo::outside {

LogFile::~LogFile() { Close(); }

bool LogFile::Open(const std::string& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (folder.empty()) return false;
  std::string path = folder;
  if (path.back() != '/') path += '/';
  path += kFileName;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

void LogFile::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void LogFile::Write(std::string_view text) {
  std::string line = LocalTimeStamp();
  line += OneLine(text);
  line += '\n';
  std::lock_guard<std::mutex> lock(mutex_);
  if (fd_ < 0) return;
  // One write per line, so lines of several threads or processes never mix.
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a full disk drops the rest of the line, silently
    done += static_cast<size_t>(n);
  }
}

LogFile& LogFile::Instance() {
  // Never destroyed: library threads may still log while the process exits.
  static LogFile* const log = new LogFile;
  return *log;
}

std::string LocalTimeStamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis));
  return buffer;
}

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return line;
}

}  // namespace qelo::outside
