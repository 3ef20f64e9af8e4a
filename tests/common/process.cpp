#include "common/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace qelo::test {

namespace {

// Reads both pipes until the program closed them.
void CollectOutput(int outFd, int errFd, ProcessResult* result) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&result->output, &result->errors};
  int open = 2;
  while (open > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

// The strings as a null-terminated array, as exec takes its arguments.
std::vector<char*> Pointers(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv) {
  ProcessResult result;
  int outPipe[2], errPipe[2];
  if (argv.empty() || pipe2(outPipe, O_CLOEXEC) != 0) return result;
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  std::vector<char*> args = Pointers(argv);
  pid_t pid;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  if (spawned == 0) {
    CollectOutput(outPipe[0], errPipe[0], &result);
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  }
  close(outPipe[0]);
  close(errPipe[0]);
  return result;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
  int pipeFds[2];
  if (argv.empty() || pipe2(pipeFds, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char*> args = Pointers(argv);
  std::vector<char*> variables = Pointers(environment);
  pid_t pid;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environment.empty() ? environ : variables.data()) ==
      0)
    pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  output_ = pipeFds[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (output_ >= 0) close(output_);
}

std::string ChildProcess::ReadLine(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (output_ < 0 || left.count() <= 0) return {};
    pollfd entry{output_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) return {};
    char buffer[512];
    const ssize_t n = read(output_, buffer, sizeof buffer);
    if (n <= 0) return {};
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

bool ChildProcess::Signal(int signal) { return pid_ > 0 && kill(pid_, signal) == 0; }

int ChildProcess::Wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
  if (pidFd < 0) return -1;
  pollfd entry{pidFd, POLLIN, 0};
  const int ended = poll(&entry, 1, timeoutMs);
  close(pidFd);
  int status = 0;
  if (ended <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace qelo::test
