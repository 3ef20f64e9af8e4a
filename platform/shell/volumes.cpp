#include "shell/volumes.h"

#include <fcntl.h>
#include <gio/gunixmounts.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

namespace qelo::shell {
namespace {

constexpr std::string_view kRemoteTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs",
                                              "davfs", "fuse.davfs2", "afs", "ncpfs", "9p"};
constexpr std::string_view kRamTypes[] = {"tmpfs", "ramfs"};
constexpr std::string_view kOpticalTypes[] = {"iso9660", "udf"};

template <std::size_t N>
bool IsOneOf(std::string_view value, const std::string_view (&set)[N]) {
  return std::find(std::begin(set), std::end(set), value) != std::end(set);
}

DriveType KindOf(GUnixMountEntry* entry) {
  std::string_view fsType = g_unix_mount_get_fs_type(entry);
  if (IsOneOf(fsType, kRemoteTypes)) return DRIVE_REMOTE;
  if (IsOneOf(fsType, kRamTypes)) return DRIVE_RAMDISK;
  if (IsOneOf(fsType, kOpticalTypes)) return DRIVE_CDROM;
  return g_unix_mount_guess_can_eject(entry) ? DRIVE_REMOVABLE : DRIVE_FIXED;
}

Volume RootVolume() { return Volume{"/", "File System", DRIVE_FIXED}; }

// The user-visible mounts of the system's mount table.
std::vector<Volume> ReadMountTable() {
  std::vector<Volume> volumes;
  GList* mounts = g_unix_mounts_get(nullptr);
  for (GList* node = mounts; node; node = node->next) {
    auto* entry = static_cast<GUnixMountEntry*>(node->data);
    std::string root = g_unix_mount_get_mount_path(entry);
    if (root == "/" || root.empty() || root.front() != '/' || !g_unix_mount_guess_should_display(entry)) continue;
    char* name = g_unix_mount_guess_name(entry);
    volumes.push_back(Volume{root, name ? name : root, KindOf(entry)});
    g_free(name);
  }
  g_list_free_full(mounts, reinterpret_cast<GDestroyNotify>(g_unix_mount_free));
  return volumes;
}

std::mutex sourceLock;
std::function<std::vector<Volume>()> testSource;

bool HoldsPath(const std::string& root, const std::string& path) {
  if (root == "/") return true;
  return path.compare(0, root.size(), root) == 0 && (path.size() == root.size() || path[root.size()] == '/');
}

// The monitor: registered windows, the volumes of the last check and the
// thread that watches the mount table. `lock` guards the first two and the
// thread's start and stop.
struct Monitor {
  std::mutex lock;
  std::vector<win::HWND> windows;
  std::vector<Volume> last;
  std::thread thread;
  int stopFd = -1;
};

// Never destroyed: a window still registered at exit leaves the thread to
// end with the process.
Monitor& TheMonitor() {
  static auto* monitor = new Monitor;
  return *monitor;
}

void WatchMountTable(int stopFd) {
  int table = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  pollfd fds[2] = {{stopFd, POLLIN, 0}, {table, POLLPRI, 0}};
  for (;;) {
    int ready = poll(fds, table >= 0 ? 2 : 1, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (fds[0].revents & POLLIN)) break;
    if (fds[1].revents & (POLLPRI | POLLERR)) CheckVolumeChanges();
  }
  if (table >= 0) close(table);
}

void PostToAll(const std::vector<win::HWND>& windows, win::WPARAM event) {
  for (win::HWND window : windows) win::PostMessage(window, WM_DEVICECHANGE, event, 0);
}

bool SameRoot(const Volume& a, const Volume& b) { return a.root == b.root; }

bool Contains(const std::vector<Volume>& volumes, const Volume& v) {
  return std::any_of(volumes.begin(), volumes.end(), [&](const Volume& o) { return SameRoot(o, v); });
}

}  // namespace

std::vector<Volume> MountedVolumes() {
  std::vector<Volume> volumes;
  {
    std::lock_guard<std::mutex> hold(sourceLock);
    volumes = testSource ? testSource() : ReadMountTable();
  }
  volumes.erase(std::remove_if(volumes.begin(), volumes.end(), [](const Volume& v) { return v.root == "/"; }),
                volumes.end());
  std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
  volumes.insert(volumes.begin(), RootVolume());
  return volumes;
}

Volume VolumeOf(const std::string& absolutePath) {
  Volume best = RootVolume();
  for (const Volume& v : MountedVolumes())
    if (HoldsPath(v.root, absolutePath) && v.root.size() > best.root.size()) best = v;
  return best;
}

DriveType GetDriveType(const std::string& root) {
  for (const Volume& v : MountedVolumes())
    if (v.root == root) return v.type;
  return DRIVE_NO_ROOT_DIR;
}

void SetVolumeSourceForTesting(std::function<std::vector<Volume>()> source) {
  std::lock_guard<std::mutex> hold(sourceLock);
  testSource = std::move(source);
}

void RegisterDeviceChangeWindow(win::HWND window) {
  Monitor& m = TheMonitor();
  std::lock_guard<std::mutex> hold(m.lock);
  if (std::find(m.windows.begin(), m.windows.end(), window) != m.windows.end()) return;
  m.windows.push_back(window);
  if (m.thread.joinable()) return;
  m.last = MountedVolumes();
  m.stopFd = eventfd(0, EFD_CLOEXEC);
  if (m.stopFd < 0) return;  // no monitor: changes are seen only through CheckVolumeChanges
  m.thread = std::thread(WatchMountTable, m.stopFd);
}

void UnregisterDeviceChangeWindow(win::HWND window) {
  Monitor& m = TheMonitor();
  std::thread stopping;
  int stopFd = -1;
  {
    std::lock_guard<std::mutex> hold(m.lock);
    m.windows.erase(std::remove(m.windows.begin(), m.windows.end(), window), m.windows.end());
    if (!m.windows.empty() || !m.thread.joinable()) return;
    stopping = std::move(m.thread);
    stopFd = std::exchange(m.stopFd, -1);
  }
  uint64_t one = 1;
  // An eventfd write fails only on counter overflow, which one write cannot cause.
  [[maybe_unused]] ssize_t written = write(stopFd, &one, sizeof one);
  stopping.join();
  close(stopFd);
}

int DeviceChangeWindowCount() {
  Monitor& m = TheMonitor();
  std::lock_guard<std::mutex> hold(m.lock);
  return static_cast<int>(m.windows.size());
}

void CheckVolumeChanges() {
  std::vector<Volume> now = MountedVolumes();
  Monitor& m = TheMonitor();
  std::lock_guard<std::mutex> hold(m.lock);
  for (const Volume& v : now)
    if (!Contains(m.last, v)) PostToAll(m.windows, DBT_DEVICEARRIVAL);
  for (const Volume& v : m.last)
    if (!Contains(now, v)) PostToAll(m.windows, DBT_DEVICEREMOVECOMPLETE);
  m.last = std::move(now);
}

}  // namespace qelo::shell
