// The log sink of the libraries that report through a LogCallback: each keeps
// the callback handed to its initialise call and prefixes its lines with its
// own name ("Qelo Codecs: ", ...). A line keeps at most 1,023 bytes of UTF-8;
// with no callback stored, lines are dropped without being formatted.
#pragma once

#include <atomic>
#include <cstdarg>

namespace qelo::log {

// Receives one zero-terminated UTF-16 line; the libraries' LogCallback is
// this same function type.
using LineCallback = void (*)(const char16_t* line);

class LibraryLog {
 public:
  static constexpr int kMaxLineBytes = 1023;

  explicit constexpr LibraryLog(const char* prefix) : prefix_(prefix) {}
  LibraryLog(const LibraryLog&) = delete;
  LibraryLog& operator=(const LibraryLog&) = delete;

  void SetCallback(LineCallback callback) { callback_.store(callback); }
  LineCallback Callback() const { return callback_.load(); }

  // printf-style; UTF-16 arguments are converted by the caller and passed
  // with %s. Safe from any thread.
  void Write(const char* format, ...) const __attribute__((format(printf, 2, 3)));
  void WriteV(const char* format, va_list args) const;

 private:
  const char* prefix_;
  std::atomic<LineCallback> callback_{nullptr};
};

}  // namespace qelo::log
