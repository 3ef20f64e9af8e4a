// The file behind QeloLog: opened in a folder, appended to one whole line at
// a time, safe from any thread.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace qelo::outside {

class LogFile {
 public:
  static constexpr const char* kFileName = "QeloLog.log";

  LogFile() = default;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile();

  // Closes any open file first. False when the file cannot be opened.
  bool Open(const std::string& folder);
  void Close();
  // The line as it is stored: local time, a blank, the text with its line
  // breaks and other control characters turned into blanks.
  void Write(std::string_view text);

  // The one log of the process that the exports use.
  static LogFile& Instance();

 private:
  std::mutex mutex_;  // guards fd_ against Open, Close and Write on other threads
  int fd_ = -1;
};

// "2024-03-05 14:05:09.042 " for the time now.
std::string LocalTimeStamp();
// Control characters (line breaks, tabs, ...) become blanks.
std::string OneLine(std::string_view text);

}  // namespace qelo::outside
