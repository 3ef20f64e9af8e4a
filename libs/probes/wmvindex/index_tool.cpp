#include "wmvindex/index_tool.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qelo::probes {
namespace {

std::string TemporaryFolder() {
  std::error_code error;
  const auto folder = std::filesystem::temp_directory_path(error);
  return error ? std::string() : folder.string();
}

std::string MakePrivateFolder() {
  const std::string temp = TemporaryFolder();
  if (temp.empty()) return "";
  std::string pattern = temp + "/qelo-wmvindex-XXXXXX";
  return mkdtemp(pattern.data()) ? pattern : "";
}

// The folder of the file this code was loaded from.
std::string LibraryFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&MakePrivateFolder), &info) || !info.dli_fname) return "";
  return std::filesystem::path(info.dli_fname).parent_path().string();
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool SameContent(const std::string& path, std::string_view bytes) {
  std::ifstream in(path, std::ios::binary);
  std::istreambuf_iterator<char> it(in), end;
  for (const char byte : bytes) {
    if (it == end || *it != byte) return false;
    ++it;
  }
  return it == end;
}

}  // namespace

IndexTool::IndexTool(std::string_view bytes) : bytes_(bytes) {}

IndexTool::~IndexTool() {
  if (!toolPath_.empty()) unlink(toolPath_.c_str());
  if (!privateFolder_.empty()) rmdir(privateFolder_.c_str());
}

std::string IndexTool::Prepare() {
  if (toolPath_.empty()) toolPath_ = ChooseToolPath();
  if (toolPath_.empty()) return "";
  if (IsOurTool(toolPath_)) return toolPath_;
  return WriteTool(toolPath_) ? toolPath_ : "";
}

std::string IndexTool::ChooseToolPath() {
  privateFolder_ = MakePrivateFolder();
  const std::string folder = privateFolder_.empty() ? LibraryFolder() : privateFolder_;
  return folder.empty() ? "" : folder + "/" + kToolName;
}

// Our own regular file, writable by nobody else, holding exactly the tool.
bool IndexTool::IsOurTool(const std::string& path) const {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (info.st_uid != geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH))) return false;
  if ((info.st_mode & S_IXUSR) == 0) return false;
  return static_cast<std::size_t>(info.st_size) == bytes_.size() && SameContent(path, bytes_);
}

// Replaces whatever is at `path` with a new file of ours holding the tool.
bool IndexTool::WriteTool(const std::string& path) const {
  if (bytes_.empty()) return false;
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && (S_ISDIR(info.st_mode) || unlink(path.c_str()) != 0))
    return false;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
  if (fd < 0) return false;
  const bool written = fchmod(fd, 0700) == 0 && WriteAll(fd, bytes_);
  if (close(fd) == 0 && written) return true;
  unlink(path.c_str());
  return false;
}

std::vector<std::string> IndexArguments(const std::string& tool, const std::string& source,
                                        const std::string& destination) {
  return {tool, "-i", source, "-o", destination, "-sionly"};
}

bool RunAndWait(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace qelo::probes
