// The two folders the program keeps its files in: its own folder (where the
// executable lies, with its skin, settings and log) and the user's documents
// folder (where its output folders are made).
#pragma once

#include <string>

namespace qelo::win {

// Names the program folder instead of the executable's, for tests.
inline constexpr const char* kProgramFolderVariable = "QELO_PROGRAM_DIR";

// The folder of the running executable, or the one QELO_PROGRAM_DIR names,
// always with a trailing "/".
std::string ProgramFolder();

// The user's documents folder without a trailing "/": XDG_DOCUMENTS_DIR of
// the XDG user-dirs file ($XDG_CONFIG_HOME/user-dirs.dirs, else
// ~/.config/user-dirs.dirs), else ~/Documents; empty when the home folder is
// unknown. Read afresh on every call.
std::string DocumentsFolder();

}  // namespace qelo::win
