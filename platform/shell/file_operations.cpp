#include "shell/file_operations.h"

#include <dirent.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "shell/errors.h"
#include "location.h"

namespace qelo::shell {
namespace {

constexpr int kMaxFreeNames = 10000;

std::string NameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

std::string Trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsInside(const std::string& path, const std::string& folder) {
  return folder == path || (folder.size() > path.size() && folder.compare(0, path.size(), path) == 0 &&
                            (path == "/" || folder[path.size()] == '/'));
}

// The n-th candidate name: the name itself, then "stem (n).ext".
std::string Candidate(const std::string& name, bool isFolder, int n) {
  if (n == 1) return name;
  std::size_t dot = isFolder ? std::string::npos : name.find_last_of('.');
  if (dot == 0) dot = std::string::npos;  // ".hidden" has no extension
  std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  return stem + " (" + std::to_string(n) + ")" + extension;
}

int CopyFileContents(int from, int to) {
  char buffer[65536];
  for (;;) {
    ssize_t got = read(from, buffer, sizeof buffer);
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(to, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += put;
    }
  }
}

int CopyTree(const std::string& from, const std::string& to);

// Creates `to` exclusively; EEXIST tells the caller to try another name.
int CopyEntry(const std::string& from, const std::string& to, const struct stat& st) {
  if (S_ISLNK(st.st_mode)) {
    std::vector<char> target(static_cast<std::size_t>(st.st_size) + 1);
    ssize_t got = readlink(from.c_str(), target.data(), target.size());
    if (got < 0) return errno;
    target.resize(static_cast<std::size_t>(got));
    target.push_back('\0');
    return symlink(target.data(), to.c_str()) == 0 ? 0 : errno;
  }
  if (S_ISDIR(st.st_mode)) {
    if (mkdir(to.c_str(), st.st_mode & 07777) != 0) return errno;
    int error = CopyTree(from, to);
    return error == EEXIST ? EIO : error;  // only the top name's clash means "try another name"
  }
  if (!S_ISREG(st.st_mode)) return ENOTSUP;  // devices, pipes and sockets are not copied
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) return errno;
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
  if (out < 0) {
    int error = errno;
    close(in);
    return error;
  }
  int error = CopyFileContents(in, out);
  if (close(out) != 0 && error == 0) error = errno;
  close(in);
  if (error != 0) unlink(to.c_str());
  return error;
}

// Copies the entries of folder `from` into the new folder `to`.
int CopyTree(const std::string& from, const std::string& to) {
  DIR* dir = opendir(from.c_str());
  if (!dir) return errno;
  int error = 0;
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    std::string source = detail::JoinPath(from, entry->d_name);
    struct stat st;
    if (lstat(source.c_str(), &st) != 0) continue;  // gone meanwhile
    if ((error = CopyEntry(source, detail::JoinPath(to, entry->d_name), st)) != 0) break;
  }
  closedir(dir);
  return error;
}

int RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return unlink(path.c_str()) == 0 ? 0 : errno;
  DIR* dir = opendir(path.c_str());
  if (!dir) return errno;
  int error = 0;
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    if ((error = RemoveTree(detail::JoinPath(path, entry->d_name))) != 0) break;
  }
  closedir(dir);
  if (error != 0) return error;
  return rmdir(path.c_str()) == 0 ? 0 : errno;
}

std::atomic<bool> crossDeviceMoves{false};

int MoveNoReplace(const std::string& from, const std::string& to) {
  if (crossDeviceMoves.load()) return EXDEV;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Places one source under the first free name; an operation that finds
// the name taken (a race with another program) moves on to the next.
int PlaceOne(const std::string& source, const std::string& folder, Transfer kind, std::string* placed) {
  struct stat st;
  if (lstat(source.c_str(), &st) != 0) return errno;
  const std::string name = NameOf(source);
  for (int n = 1; n <= kMaxFreeNames; ++n) {
    std::string target = detail::JoinPath(folder, Candidate(name, S_ISDIR(st.st_mode), n));
    int error = 0;
    if (kind == Transfer::kLink) {
      error = symlink(source.c_str(), target.c_str()) == 0 ? 0 : errno;
    } else if (kind == Transfer::kMove) {
      error = MoveNoReplace(source, target);
      if (error == EXDEV) {
        // Across volumes: copy, then remove the source. A source that cannot be
        // removed whole keeps the copy, so nothing is lost either way.
        error = CopyEntry(source, target, st);
        if (error == 0) error = RemoveTree(source);
        else if (error != EEXIST) RemoveTree(target);
      }
    } else {
      error = CopyEntry(source, target, st);
      if (error != 0 && error != EEXIST && S_ISDIR(st.st_mode)) RemoveTree(target);
    }
    if (error == EEXIST) continue;
    if (error == 0) *placed = target;
    return error;
  }
  return EEXIST;
}

}  // namespace

void SimulateCrossDeviceMovesForTesting(bool simulate) { crossDeviceMoves.store(simulate); }

std::string FreeNameIn(const std::string& folder, const std::string& name) {
  bool isFolder = detail::IsDirectoryPath(detail::JoinPath(folder, name));
  for (int n = 1; n <= kMaxFreeNames; ++n) {
    std::string candidate = Candidate(name, isFolder, n);
    struct stat st;
    if (lstat(detail::JoinPath(folder, candidate).c_str(), &st) != 0 && errno == ENOENT) return candidate;
  }
  return {};
}

HRESULT TransferItems(const std::vector<std::string>& sources, const std::string& folderPath, Transfer kind,
                      std::vector<std::string>* placed) {
  const std::string folder = Trimmed(folderPath);
  if (!detail::IsDirectoryPath(folder)) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  for (const std::string& raw : sources) {
    const std::string source = Trimmed(raw);
    if (source.empty() || source.front() != '/') return E_INVALIDARG;
    if (kind != Transfer::kLink && IsInside(source, folder)) return HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER);
    if (kind == Transfer::kMove && FolderOf(source) == folder) continue;  // already there
    std::string made;
    if (int error = PlaceOne(source, folder, kind, &made); error != 0) return HResultFromErrno(error);
    if (placed) placed->push_back(made);
  }
  return S_OK;
}

HRESULT MoveToTrash(const std::string& path) {
  GFile* file = g_file_new_for_path(path.c_str());
  GError* error = nullptr;
  bool trashed = g_file_trash(file, nullptr, &error);
  g_object_unref(file);
  if (trashed) return S_OK;
  HRESULT hr = error && error->code == G_IO_ERROR_NOT_FOUND ? HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
               : error && error->code == G_IO_ERROR_PERMISSION_DENIED ? HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)
                                                                       : HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
  if (error) g_error_free(error);
  return hr;
}

HRESULT DeletePermanently(const std::string& path) {
  int error = RemoveTree(Trimmed(path));
  return error == 0 ? S_OK : HResultFromErrno(error);
}

}  // namespace qelo::shell
