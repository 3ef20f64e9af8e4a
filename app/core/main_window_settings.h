// The main window's settings file, "clipshift.dat" in the program's folder
// (in the user's config folder when the program may not write its own):
// six lines, one value a line, read whole at creation and written whole when
// the window is destroyed. A file of any other length, or one that cannot be
// read (not a regular file, larger than 64 KiB), is kept aside under a name
// of its own and the settings are rebuilt from the defaults, making the
// output and temporary folders on the way; the log says so.
#pragma once

#include <cstddef>
#include <string>

#include "vcl/strings.h"

namespace qelo::app {

inline constexpr const char* kSettingsFileName = "clipshift.dat";
// A settings file is read only up to this size: six folders and two numbers.
inline constexpr std::size_t kSettingsSizeLimit = 64 * 1024;

// The lines of the file, by what they hold.
enum SettingsLine {
  slOpenFolder = 0,      // folder of the last added file (the open dialog starts there)
  slFilterIndex = 1,     // the open dialog's filter index, decimal
  slSnapshotFolder = 2,  // snapshots are saved here
  slOutputFolder = 3,    // converted files are written here
  slProfileChoice = 4,   // (profile << 16) | format, decimal
  slTempFolder = 5,      // emptied when the window goes
  kSettingsLineCount = 6
};

// A temporary folder that the program made holds this file; only such a
// folder is ever emptied.
inline constexpr const char* kTempFolderMark = ".clipshift-temp";

// The two folders the defaults are made from: the program's (with its
// trailing "/") and the user's documents folder (without; empty when
// unknown).
struct SettingsFolders {
  std::string program;
  std::string documents;
};

// The six lines of a fresh start: the program folder, "0", the Clipshift
// folder under the documents folder (snapshots and output), "0", and its
// Temp folder. Folders that do not exist are made; an output folder that
// cannot be made falls back to the documents folder (the program's folder
// when there is none), a temporary folder to the program's Temp folder,
// then to the documents folder. A temporary folder made here is marked as
// the program's own.
void DefaultSettingsLines(const SettingsFolders& folders, vcl::TStrings& lines);

// What became of the settings file when it was read.
enum class SettingsLoad {
  kUsed,      // its six lines are the settings
  kDefaults,  // there was none, or what stood there is kept aside: the defaults replace it
  kKeptOut,   // what stands there could neither be used nor kept aside: it must not be replaced
};

// Reads the file into `lines`: exactly six lines are kept; for anything
// else the defaults are used, and what stood at the path (but a folder) is
// kept aside first, with a warning in the log naming the file, the reason
// and where it went. Lines 1 and 4 must be decimal integers (line 1 not
// negative); a line that is not becomes "0".
SettingsLoad LoadSettingsLines(const std::string& file, const SettingsFolders& folders, vcl::TStrings& lines);

// Writes the lines as UTF-8 text, CR LF after each, replacing the file only
// once the whole text is written. False when it could not be written.
bool SaveSettingsLines(const std::string& file, const vcl::TStrings& lines);

// A strict decimal int32 ("-12", "40"); false for anything else.
bool ParseSettingsInteger(const std::string& text, int32_t& value);

// Deletes the files (not the folders, not the mark) directly inside
// `folder` when it is an absolute path to a folder the program marked as
// its own; any other folder is left alone. Failures are skipped. Returns
// the number of files deleted.
int ClearMarkedTempFolder(const std::string& folder);

}  // namespace qelo::app
