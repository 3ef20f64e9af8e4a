// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C in a terminal, the
// terminal gone) as close requests: while an object of this class lives,
// each of them calls `request` on the GUI thread instead of ending the
// process, so the program closes through its normal close path.
//
// The signal handler only writes a byte into a pipe, which is all a handler
// may safely do; a thread of the object's own reads the pipe and hands the
// request to the application's message loop ahead of what is queued there.
// The signals' earlier handling comes back at destruction, and a request
// still queued then is dropped.
#pragma once

#include <functional>
#include <memory>
#include <thread>

namespace qelo::app {

class CloseSignals {
 public:
  explicit CloseSignals(std::function<void()> request);
  ~CloseSignals();
  CloseSignals(const CloseSignals&) = delete;
  CloseSignals& operator=(const CloseSignals&) = delete;

  // Whether the handlers are in place (a pipe could be made).
  bool Active() const { return readFd_ >= 0; }

 private:
  void Watch();

  // Shared with the requests posted to the GUI thread, which may run after
  // this object is gone: they then do nothing.
  struct Target {
    std::function<void()> request;
    bool live = true;  // GUI thread only
  };
  std::shared_ptr<Target> target_;
  int readFd_ = -1;
  int writeFd_ = -1;
  std::thread watcher_;
};

}  // namespace qelo::app
