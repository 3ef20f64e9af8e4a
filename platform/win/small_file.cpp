#include "win/small_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelo::win {
namespace {

constexpr int kMostAsideNames = 1000;

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

// Why a file of `info` is not read, or empty when it may be.
std::string Refusal(const struct stat& info, std::size_t limit, bool linked) {
  if (!S_ISREG(info.st_mode)) return std::string(linked ? "it is a link to " : "it is ") + KindOf(info.st_mode);
  if (static_cast<std::size_t>(info.st_size) > limit)
    return "it is larger than " + std::to_string(limit) + " bytes";
  return "";
}

SmallFile Unusable(std::string problem, bool folder = false) {
  SmallFile file;
  file.state = SmallFile::State::kUnusable;
  file.problem = std::move(problem);
  file.folder = folder;
  return file;
}

// Reads at most `limit` + 1 bytes: one more than allowed tells a file that
// grew since it was looked at.
bool ReadBounded(int fd, std::size_t limit, std::string* bytes) {
  char buffer[8192];
  while (bytes->size() <= limit) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes->append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: a new link fails rather than replace.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

}  // namespace

SmallFile ReadSmallFile(const std::string& path, std::size_t limit) {
  struct stat entry;
  if (lstat(path.c_str(), &entry) != 0) {
    if (errno == ENOENT) return SmallFile{};
    return Unusable(std::strerror(errno));
  }
  const bool linked = S_ISLNK(entry.st_mode);
  struct stat info;
  if (stat(path.c_str(), &info) != 0)
    return Unusable(std::string(linked ? "its link is broken: " : "") + std::strerror(errno));
  if (std::string refusal = Refusal(info, limit, linked); !refusal.empty())
    return Unusable(std::move(refusal), S_ISDIR(info.st_mode));
  // What stands there may change between the look and the open: the open
  // never waits, and what was opened is looked at again.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Unusable(std::strerror(errno));
  SmallFile file;
  std::string refusal = fstat(fd, &info) != 0 ? std::strerror(errno) : Refusal(info, limit, linked);
  if (refusal.empty() && !ReadBounded(fd, limit, &file.bytes)) refusal = std::strerror(errno);
  if (refusal.empty() && file.bytes.size() > limit) refusal = "it is larger than " + std::to_string(limit) + " bytes";
  close(fd);
  if (!refusal.empty()) return Unusable(std::move(refusal), S_ISDIR(info.st_mode));
  file.state = SmallFile::State::kRead;
  return file;
}

std::string KeepAside(const std::string& path, std::string* problem) {
  for (int n = 1; n <= kMostAsideNames; ++n) {
    const std::string aside = path + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
    if (RenameWithoutReplacing(path, aside)) return aside;
    if (errno != EEXIST) {
      if (problem) *problem = std::strerror(errno);
      return "";
    }
  }
  if (problem) *problem = "every name up to " + path + ".damaged-" + std::to_string(kMostAsideNames) + " is taken";
  return "";
}

}  // namespace qelo::win
