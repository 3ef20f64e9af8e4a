// Aborts the test program when a scope takes longer than it may: a hang in
// the engine then fails fast with a message instead of stalling the suite.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace qelo::test {

class Watchdog {
 public:
  Watchdog(std::chrono::seconds limit, std::string what)
      : what_(std::move(what)), thread_([this, limit] {
          std::unique_lock<std::mutex> hold(mutex_);
          if (!done_changed_.wait_for(hold, limit, [this] { return done_; })) {
            std::fprintf(stderr, "watchdog: %s took longer than %lld s\n", what_.c_str(),
                         static_cast<long long>(limit.count()));
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      done_ = true;
    }
    done_changed_.notify_one();
    thread_.join();
  }

 private:
  std::string what_;
  std::mutex mutex_;
  std::condition_variable done_changed_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace qelo::test
