// How long a GUI thread keeps a posted message waiting: a probe window on
// the thread that makes it, and a thread that posts to it every few
// milliseconds, one message at a time, and notes how long each took to be
// handled. The longest wait is the longest stretch the thread was held up
// (in a call, a lock or a send) while the probe ran.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "win/window/window.h"

namespace qelo::test {

class ResponseProbe {
 public:
  // Made on the thread to watch; that thread must keep handling its
  // messages between the calls under test.
  ResponseProbe() : window_(MakeWindow(this)), poster_([this] { Post(); }) {}
  ~ResponseProbe() {
    Stop();
    if (window_) win::DestroyWindow(window_);
  }
  ResponseProbe(const ResponseProbe&) = delete;
  ResponseProbe& operator=(const ResponseProbe&) = delete;

  void Stop() {
    running_ = false;
    if (poster_.joinable()) poster_.join();
  }
  std::chrono::microseconds Longest() const { return std::chrono::microseconds(longest_.load()); }
  int Answered() const { return answered_.load(); }

 private:
  static constexpr win::UINT kProbe = win::WM_USER + 0x3F0;
  using Clock = std::chrono::steady_clock;

  static win::LRESULT Proc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
    if (message == kProbe) {
      auto* self = reinterpret_cast<ResponseProbe*>(l);
      self->Answer();
      return 0;
    }
    return win::DefWindowProc(window, message, w, l);
  }

  static win::HWND MakeWindow(ResponseProbe*) {
    static const bool registered = [] {
      win::WNDCLASS windowClass;
      windowClass.lpfnWndProc = Proc;
      windowClass.lpszClassName = "Response Probe";
      return win::RegisterClass(windowClass) != 0;
    }();
    (void)registered;
    return win::CreateWindowEx(0, "Response Probe", "probe", win::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
  }

  void Answer() {
    const auto waited = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - postedAt_.load());
    if (waited.count() > longest_.load()) longest_ = waited.count();
    ++answered_;
    pending_ = false;
  }

  void Post() {
    while (running_) {
      if (!pending_) {
        pending_ = true;
        postedAt_ = Clock::now();
        win::PostMessage(window_, kProbe, 0, reinterpret_cast<win::LPARAM>(this));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  win::HWND window_;
  std::atomic<bool> running_{true};
  std::atomic<bool> pending_{false};
  std::atomic<Clock::time_point> postedAt_{Clock::now()};
  std::atomic<long long> longest_{0};
  std::atomic<int> answered_{0};
  std::thread poster_;
};

}  // namespace qelo::test
