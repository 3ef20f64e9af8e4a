#include "shell/shell_log.h"

#include <cstdio>
#include <mutex>

namespace qelo::shell {
namespace {

std::mutex sinkLock;
std::function<void(const std::string&)> sink;

}  // namespace

void ShellLog(const std::string& line) {
  std::lock_guard<std::mutex> hold(sinkLock);
  if (sink) sink("Shell: " + line);
  else std::fprintf(stderr, "Shell: %s\n", line.c_str());
}

void SetShellLogSink(std::function<void(const std::string&)> newSink) {
  std::lock_guard<std::mutex> hold(sinkLock);
  sink = std::move(newSink);
}

}  // namespace qelo::shell
