// The folders the program keeps its files in: its own folder (where the
// executable lies, with its skin, and where it writes its settings and log
// when it may), the user's config folder and the user's documents folder
// (where its output folders are made).
#pragma once

#include <string>
#include <string_view>

namespace qelo::win {

// Names the program folder instead of the executable's, for tests.
inline constexpr const char* kProgramFolderVariable = "QELO_PROGRAM_DIR";

// The folder of the running executable, or the one QELO_PROGRAM_DIR names,
// always with a trailing "/".
std::string ProgramFolder();

// The folder the program writes its own files to (its settings file, its
// log): its own folder when it may write there, as a program kept in a
// folder of its own; otherwise (a program installed into a folder of the
// system's) the "clipshift" folder in the user's config folder, made when
// needed. Always with a trailing "/".
std::string ProgramDataFolder();

// The home folder: $HOME, else the user database's; empty when unknown.
std::string HomeFolder();
// The folder of the user's settings: $XDG_CONFIG_HOME when it is absolute,
// else ~/.config.
std::string ConfigFolder();
// The folder the XDG user-dirs file (in the config folder) names for `key`
// ("XDG_VIDEOS_DIR"): a quoted path, absolute or starting with "$HOME",
// backslash escapes allowed, without a trailing "/". Empty when the file
// has no usable entry. Read afresh on every call.
std::string UserDirsEntry(std::string_view key);

// The user's documents folder without a trailing "/": XDG_DOCUMENTS_DIR of
// the XDG user-dirs file ($XDG_CONFIG_HOME/user-dirs.dirs, else
// ~/.config/user-dirs.dirs), else ~/Documents; empty when the home folder is
// unknown. Read afresh on every call.
std::string DocumentsFolder();

}  // namespace qelo::win
