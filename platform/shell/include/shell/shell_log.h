// Lines the shell layer writes about conditions the user cannot see
// (system limits reached, watches given up). They go to standard error
// unless a sink is set (the program's log, or a test).
#pragma once

#include <functional>
#include <string>

namespace qelo::shell {

void ShellLog(const std::string& line);
// An empty function restores standard error.
void SetShellLogSink(std::function<void(const std::string&)> sink);

}  // namespace qelo::shell
