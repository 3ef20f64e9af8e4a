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

}  // namespace qelo::test
