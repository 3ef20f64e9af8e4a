// The program's own folder: where the executable lies, with its skin,
// settings and log. (The user's documents folder is the shell's, see
// shell/special_folders.h.)
#pragma once

#include <string>

namespace qelo::win {

// Names the program folder instead of the executable's, for tests.
inline constexpr const char* kProgramFolderVariable = "QELO_PROGRAM_DIR";

// The folder of the running executable, or the one QELO_PROGRAM_DIR names,
// always with a trailing "/".
std::string ProgramFolder();

}  // namespace qelo::win
