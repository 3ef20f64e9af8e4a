// Runs a program with an argument vector (no shell) and collects its output.
#pragma once

#include <string>
#include <vector>

namespace qelo::test {

struct ProcessResult {
  int exitCode = -1;  // -1 when the program could not be started or was killed
  std::string output;  // standard output
  std::string errors;  // standard error
};

ProcessResult RunProcess(const std::vector<std::string>& argv);

// A program left running while a test talks to it (a bus, a fake service):
// its standard output is read line by line, and it is killed and reaped at
// destruction if it has not ended by then.
class ChildProcess {
 public:
  // With `environment` ("NAME=value" each) the program gets exactly that;
  // without, this process's.
  explicit ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // Sends it `signal`; false when it has ended (or never started).
  bool Signal(int signal);
  // The next line of its output, without the line break; empty when none
  // came within `timeoutMs` or the output ended.
  std::string ReadLine(int timeoutMs);
  // Waits at most `timeoutMs` for it to end; its exit code, or -1.
  int Wait(int timeoutMs);

 private:
  int pid_ = -1;
  int output_ = -1;
  std::string pending_;
};

}  // namespace qelo::test
