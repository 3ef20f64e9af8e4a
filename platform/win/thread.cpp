#include "win/thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <system_error>

namespace qelo::win {

void LowerCurrentThreadPriority() {
  // Linux keeps a nice value per thread; 19 is the lowest. Failure leaves the
  // thread at normal priority, which is harmless.
  (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

Thread::~Thread() { Join(); }

bool Thread::Start(std::function<void()> body, ThreadPriority priority) {
  if (thread_.joinable()) return false;
  finished_.Reset();
  try {
    thread_ = std::thread([this, body = std::move(body), priority] {
      if (priority == ThreadPriority::Idle) LowerCurrentThreadPriority();
      body();
      finished_.Set();
    });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool Thread::JoinFor(std::chrono::milliseconds timeout) {
  if (!thread_.joinable()) return true;
  if (!finished_.WaitFor(timeout)) return false;
  thread_.join();
  return true;
}

void Thread::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace qelo::win
