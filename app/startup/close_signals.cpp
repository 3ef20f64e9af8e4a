#include "close_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "vcl/controls/forms.h"

namespace qelo::app {
namespace {

constexpr int kCloseSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr char kSignalled = 's';
constexpr char kStop = 'q';

// The pipe lives as long as the process: a handler that began before its
// signal's old handling came back may still write into it.
struct WakePipe {
  int read = -1;
  int write = -1;
};

const WakePipe& Pipe() {
  static const WakePipe pipe = [] {
    WakePipe made;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return made;
    // A full pipe drops the byte: the requests waiting there are enough.
    fcntl(fds[1], F_SETFL, O_NONBLOCK);
    made.read = fds[0];
    made.write = fds[1];
    return made;
  }();
  return pipe;
}

std::atomic<int> gWriteFd{-1};
struct sigaction gPrevious[std::size(kCloseSignals)];

void WakeWatcher(int) {
  const int saved = errno;
  const char byte = kSignalled;
  const ssize_t written = write(gWriteFd.load(std::memory_order_relaxed), &byte, 1);
  (void)written;
  errno = saved;
}

// Bytes of signals that came after the last watcher stopped.
void Drain(int fd) {
  pollfd entry{fd, POLLIN, 0};
  char bytes[64];
  while (poll(&entry, 1, 0) > 0 && read(fd, bytes, sizeof bytes) > 0) {
  }
}

void WriteStop(int fd) {
  const char byte = kStop;
  while (write(fd, &byte, 1) != 1) {
    if (errno != EAGAIN && errno != EINTR) return;
    pollfd entry{fd, POLLOUT, 0};
    poll(&entry, 1, -1);
  }
}

}  // namespace

CloseSignals::CloseSignals(std::function<void()> request)
    : target_(std::make_shared<Target>(Target{std::move(request), true})) {
  const WakePipe& pipe = Pipe();
  if (pipe.read < 0) return;
  Drain(pipe.read);
  readFd_ = pipe.read;
  writeFd_ = pipe.write;
  gWriteFd.store(writeFd_);
  watcher_ = std::thread([this] { Watch(); });
  struct sigaction action {};
  action.sa_handler = WakeWatcher;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kCloseSignals); ++i) sigaction(kCloseSignals[i], &action, &gPrevious[i]);
}

CloseSignals::~CloseSignals() {
  if (readFd_ < 0) return;
  for (std::size_t i = 0; i < std::size(kCloseSignals); ++i) sigaction(kCloseSignals[i], &gPrevious[i], nullptr);
  target_->live = false;
  WriteStop(writeFd_);
  watcher_.join();
}

void CloseSignals::Watch() {
  while (true) {
    char byte = 0;
    const ssize_t n = read(readFd_, &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == kStop) return;
    vcl::Application()->PostAhead([target = target_] {
      if (target->live) target->request();
    });
  }
}

}  // namespace qelo::app
