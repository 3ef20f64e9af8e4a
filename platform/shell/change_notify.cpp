#include "shell/change_notify.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <set>

#include "shell/errors.h"
#include "location.h"
#include "shell/shell_log.h"

namespace qelo::shell {
namespace {

constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t kSelfEvents = IN_DELETE_SELF | IN_MOVE_SELF;
constexpr std::size_t kMaxListedFolders = 65536;

uint32_t InotifyMask(DWORD filter) {
  uint32_t mask = kSelfEvents;
  if (filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_CREATION))
    mask |= kNameEvents;
  if (filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) mask |= IN_ATTRIB;
  if (filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)) mask |= IN_MODIFY;
  if (filter & FILE_NOTIFY_CHANGE_LAST_WRITE) mask |= IN_CLOSE_WRITE;
  if (filter & FILE_NOTIFY_CHANGE_LAST_ACCESS) mask |= IN_ACCESS;
  return mask;
}

bool HoldsFolder(const std::string& root, const std::string& path) {
  if (root == "/") return path.size() > 1 && path.front() == '/';
  return path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

class ChangeWatch;

// Folders listed so far and the subtree watches that take them; `lock` is
// taken before any watch's own lock.
struct Registry {
  std::mutex lock;
  std::set<ChangeWatch*> subtreeWatches;
  std::set<std::string> listed;
  unsigned folderLimit = 0;
  bool listFullLogged = false;
};

// Never destroyed: watches may be closed by other objects' destructors at exit.
Registry& TheRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

// One inotify instance: the watched folder and, for a subtree watch, the
// listed folders below it. `lock_` guards the folders and the signal state
// (the waiting thread drains events while the GUI thread adds folders).
class ChangeWatch final : public WaitObject {
 public:
  ChangeWatch(int fd, std::string root, bool subtree, DWORD filter)
      : fd_(fd), root_(std::move(root)), subtree_(subtree), filter_(filter), mask_(InotifyMask(filter)) {}
  ~ChangeWatch() override {
    if (subtree_) {
      Registry& r = TheRegistry();
      std::lock_guard<std::mutex> hold(r.lock);
      r.subtreeWatches.erase(this);
    }
    close(fd_);
  }

  const std::string& Root() const { return root_; }
  bool Subtree() const { return subtree_; }

  bool WatchRoot() {
    std::lock_guard<std::mutex> hold(lock_);
    rootWd_ = inotify_add_watch(fd_, root_.c_str(), mask_ | IN_ONLYDIR);
    if (rootWd_ < 0) return false;
    folders_[rootWd_] = root_;
    return true;
  }

  void AddFolder(const std::string& path, unsigned limit) {
    std::lock_guard<std::mutex> hold(lock_);
    if (limit != 0 && folders_.size() >= limit) return LogLimitOnce("its folder limit");
    int wd = inotify_add_watch(fd_, path.c_str(), mask_ | IN_ONLYDIR);
    if (wd >= 0) folders_[wd] = path;
    else if (errno == ENOSPC) LogLimitOnce("the system's limit of inotify watches");
  }

  int Descriptor() const override { return fd_; }

  State Take() override {
    std::lock_guard<std::mutex> hold(lock_);
    Drain();
    if (signalled_) return State::kSignalled;
    return rootGone_ ? State::kAbandoned : State::kNotSignalled;
  }

  // The signal ends; a change that came after the wait ended and before now
  // signals again at once, so none is lost.
  bool Next() {
    std::lock_guard<std::mutex> hold(lock_);
    signalled_ = false;
    Drain();
    return !rootGone_;
  }

 private:
  void LogLimitOnce(const char* which) {
    if (limitLogged_) return;
    limitLogged_ = true;
    ShellLog("change notification for \"" + root_ + "\" reached " + which + " at " + std::to_string(folders_.size()) +
             " folders; folders listed later are not watched");
  }

  void Drain() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got <= 0) return;
      for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        Handle(*event);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  void Handle(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) signalled_ = true;
    if (event.mask & IN_IGNORED) {
      folders_.erase(event.wd);
      if (event.wd == rootWd_) rootGone_ = signalled_ = true;
      return;
    }
    if (Matches(event.mask)) signalled_ = true;
  }

  bool Matches(uint32_t mask) const {
    if (mask & kSelfEvents) return true;
    if (mask & kNameEvents) {
      if ((mask & IN_CREATE) && (filter_ & FILE_NOTIFY_CHANGE_CREATION)) return true;
      return (mask & IN_ISDIR) ? (filter_ & FILE_NOTIFY_CHANGE_DIR_NAME) != 0
                               : (filter_ & FILE_NOTIFY_CHANGE_FILE_NAME) != 0;
    }
    return (mask & (IN_ATTRIB | IN_MODIFY | IN_CLOSE_WRITE | IN_ACCESS)) != 0;
  }

  int fd_;
  std::string root_;
  bool subtree_;
  DWORD filter_;
  uint32_t mask_;
  std::mutex lock_;
  std::map<int, std::string> folders_;
  int rootWd_ = -1;
  bool signalled_ = false;
  bool rootGone_ = false;
  bool limitLogged_ = false;
};

ChangeWatch* AsWatch(HANDLE handle) {
  return IsOpenHandle(handle) ? dynamic_cast<ChangeWatch*>(handle) : nullptr;
}

HANDLE Fail(uint32_t error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstChangeNotification(const std::string& path, BOOL watchSubtree, DWORD filter) {
  if (filter == 0 || path.empty()) return Fail(ERROR_INVALID_PARAMETER);
  if (!detail::IsDirectoryPath(path)) return Fail(ERROR_PATH_NOT_FOUND);
  int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    if (errno == EMFILE) ShellLog("no more inotify instances for \"" + path + "\" (the system's limit)");
    return Fail(ErrorFromErrno(errno));
  }
  std::string root = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
  auto* watch = new ChangeWatch(fd, root, watchSubtree != 0, filter);
  if (!watch->WatchRoot()) {
    uint32_t error = ErrorFromErrno(errno);
    if (errno == ENOSPC) ShellLog("no inotify watch left for \"" + path + "\" (the system's limit)");
    delete watch;
    return Fail(error);
  }
  if (watch->Subtree()) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> hold(r.lock);
    for (const std::string& listed : r.listed)
      if (HoldsFolder(watch->Root(), listed)) watch->AddFolder(listed, r.folderLimit);
    r.subtreeWatches.insert(watch);
  }
  RegisterHandle(watch);
  return watch;
}

BOOL FindNextChangeNotification(HANDLE handle) {
  ChangeWatch* watch = AsWatch(handle);
  if (!watch) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return watch->Next() ? 1 : 0;
}

BOOL FindCloseChangeNotification(HANDLE handle) {
  if (!AsWatch(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return CloseHandle(handle);
}

void NoteFolderListed(const std::string& path) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  if (r.listed.size() >= kMaxListedFolders && !r.listed.count(path)) {
    if (!r.listFullLogged) ShellLog("more than 65536 folders listed; later ones are not watched");
    r.listFullLogged = true;
    return;
  }
  r.listed.insert(path);
  for (ChangeWatch* watch : r.subtreeWatches)
    if (HoldsFolder(watch->Root(), path)) watch->AddFolder(path, r.folderLimit);
}

void SetSubtreeFolderLimitForTesting(unsigned limit) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.folderLimit = limit;
}

void ForgetListedFoldersForTesting() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.listed.clear();
  r.listFullLogged = false;
}

}  // namespace qelo::shell
