#include "temporary_copy.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelo::reindex {
namespace {

// Every signal whose default action ends the process.
constexpr int kTerminatingSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGILL,  SIGTRAP,   SIGABRT, SIGBUS,
                                       SIGFPE,  SIGUSR1,   SIGSEGV, SIGUSR2, SIGPIPE,   SIGALRM, SIGTERM,
                                       SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,
                                       SIGSYS};

// The named copy in progress, for the handler: changed only while every
// signal is blocked.
char gNamedCopy[PATH_MAX];
// What the handled signals did before, put back once the copy is gone.
struct sigaction gPrevious[_NSIG];
bool gHandled[_NSIG];

void RemoveCopyAndEnd(int signal) {
  if (gNamedCopy[0]) unlink(gNamedCopy);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigaction(signal, &fallback, nullptr);
  raise(signal);  // delivered when the handler returns: the process ends as killed
}

template <typename Visit>
void ForEachTerminatingSignal(Visit visit) {
  for (const int signal : kTerminatingSignals) visit(signal);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) visit(signal);
}

// Signals a handler takes over only when they would end the process: one
// the caller ignores stays ignored.
void HandleTerminatingSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveCopyAndEnd;
  sigfillset(&action.sa_mask);
  ForEachTerminatingSignal([&action](int signal) {
    struct sigaction current {};
    gHandled[signal] = sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
                       !(current.sa_flags & SA_SIGINFO) && sigaction(signal, &action, &gPrevious[signal]) == 0;
  });
}

void RestoreSignals() {
  ForEachTerminatingSignal([](int signal) {
    if (gHandled[signal]) sigaction(signal, &gPrevious[signal], nullptr);
    gHandled[signal] = false;
  });
}

// Blocks every signal for its lifetime (SIGKILL and SIGSTOP cannot be).
class AllSignalsBlocked {
 public:
  AllSignalsBlocked() {
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous_);
  }
  ~AllSignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  AllSignalsBlocked(const AllSignalsBlocked&) = delete;
  AllSignalsBlocked& operator=(const AllSignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// Names the unnamed file open on `fd`. Linking by the descriptor itself
// needs a privilege; its /proc entry does not.
bool LinkDescriptor(int fd, const std::string& path) {
  if (linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return true;
  if (errno == EEXIST) return false;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace

TemporaryCopy::~TemporaryCopy() { Discard(); }

bool TemporaryCopy::Open(const std::string& destination, bool allowUnnamed) {
  Discard();
  destination_ = destination;
  if (allowUnnamed && OpenUnnamed()) return true;
  return OpenNamed();
}

bool TemporaryCopy::OpenUnnamed() {
  fd_ = open(FolderOf(destination_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  kind_ = Kind::kUnnamed;
  return fd_ >= 0;
}

bool TemporaryCopy::OpenNamed() {
  std::string path = destination_ + ".reindex-XXXXXX";
  if (path.size() >= sizeof gNamedCopy) {
    errno = ENAMETOOLONG;
    return false;
  }
  AllSignalsBlocked blocked;
  fd_ = mkostemp(path.data(), O_CLOEXEC);
  if (fd_ < 0) return false;
  kind_ = Kind::kNamed;
  named_ = path;
  std::memcpy(gNamedCopy, path.c_str(), path.size() + 1);
  HandleTerminatingSignals();
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd_, 0666 & ~mask);
  return true;
}

// Straight to the destination's name when it is free; otherwise under a
// name of its own that is at once renamed over the destination, with every
// signal held off between the two.
bool TemporaryCopy::LinkUnnamedInPlace() {
  if (LinkDescriptor(fd_, destination_)) return true;
  if (errno != EEXIST) return false;
  AllSignalsBlocked blocked;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string aside =
        destination_ + ".reindex-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    if (!LinkDescriptor(fd_, aside)) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (std::rename(aside.c_str(), destination_.c_str()) == 0) return true;
    const int error = errno;
    unlink(aside.c_str());
    errno = error;
    return false;
  }
  errno = EEXIST;
  return false;
}

bool TemporaryCopy::Commit() {
  if (fd_ < 0) {
    errno = EBADF;
    return false;
  }
  bool committed = false;
  if (kind_ == Kind::kUnnamed) {
    committed = LinkUnnamedInPlace();
  } else {
    AllSignalsBlocked blocked;
    committed = std::rename(named_.c_str(), destination_.c_str()) == 0;
    if (committed) {
      named_.clear();
      gNamedCopy[0] = '\0';
      RestoreSignals();
    }
  }
  const int error = errno;
  Discard();
  errno = error;
  return committed;
}

void TemporaryCopy::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (named_.empty()) return;
  AllSignalsBlocked blocked;
  unlink(named_.c_str());
  named_.clear();
  gNamedCopy[0] = '\0';
  RestoreSignals();
}

}  // namespace qelo::reindex
