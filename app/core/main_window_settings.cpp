#include "main_window_settings.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "log_bridge.h"
#include "vcl/classes.h"
#include "vcl/sysutils.h"
#include "win/small_file.h"

namespace qelo::app {

namespace fs = std::filesystem;

namespace {

bool MakeFolder(const std::string& folder) { return !folder.empty() && vcl::ForceDirectories(folder); }

// Makes the folder and marks it as the program's; a folder that is already
// there keeps the mark it has (or has none).
bool MakeMarkedFolder(const std::string& folder) {
  if (folder.empty()) return false;
  if (vcl::DirectoryExists(folder)) return true;
  if (!vcl::ForceDirectories(folder)) return false;
  std::ofstream(fs::path(folder) / kTempFolderMark) << "Clipshift's temporary folder: its files are deleted.\n";
  return true;
}

std::string OutputFolder(const SettingsFolders& folders) {
  // Without a documents folder "/Clipshift/" would land at the root.
  if (folders.documents.empty()) return "";
  const std::string out = folders.documents + "/Clipshift/";
  return MakeFolder(out) ? out : folders.documents;
}

std::string TempFolder(const SettingsFolders& folders) {
  if (!folders.documents.empty()) {
    const std::string temp = folders.documents + "/Clipshift/Temp/";
    if (MakeMarkedFolder(temp)) return temp;
  }
  const std::string programTemp = folders.program + "Temp/";
  if (MakeMarkedFolder(programTemp)) return programTemp;
  return folders.documents;
}

void CheckIntegerLine(vcl::TStrings& lines, int index, bool allowNegative) {
  int32_t value = 0;
  if (ParseSettingsInteger(lines.Get(index), value) && (allowNegative || value >= 0)) return;
  WriteLog("The settings file's line " + std::to_string(index + 1) + " (\"" + lines.Get(index) +
               "\") is not a valid number; 0 is used.",
           kLogWarning);
  lines.Put(index, "0");
}

}  // namespace

bool ParseSettingsInteger(const std::string& text, int32_t& value) {
  try {
    value = vcl::StrToInt(text);
    return true;
  } catch (const vcl::Exception&) {
    return false;
  }
}

void DefaultSettingsLines(const SettingsFolders& folders, vcl::TStrings& lines) {
  lines.Clear();
  lines.Add(folders.program);
  lines.Add("0");
  std::string out = OutputFolder(folders);
  if (out.empty()) out = folders.program;
  const std::string temp = TempFolder(folders);
  lines.Add(out);
  lines.Add(out);
  lines.Add("0");
  lines.Add(temp);
}

SettingsLoad LoadSettingsLines(const std::string& file, const SettingsFolders& folders, vcl::TStrings& lines) {
  lines.Clear();
  const win::SmallFile read = win::ReadSmallFile(file, kSettingsSizeLimit);
  if (read.state == win::SmallFile::State::kRead) lines.LoadFromBytes(read.bytes);
  if (read.state == win::SmallFile::State::kRead && lines.Count() == kSettingsLineCount) {
    CheckIntegerLine(lines, slFilterIndex, false);
    CheckIntegerLine(lines, slProfileChoice, true);
    return SettingsLoad::kUsed;
  }
  const int count = lines.Count();
  DefaultSettingsLines(folders, lines);
  if (read.state == win::SmallFile::State::kMissing) return SettingsLoad::kDefaults;
  const std::string said = "The settings file " + file +
                           (read.state == win::SmallFile::State::kRead
                                ? " has " + std::to_string(count) + " lines instead of " +
                                      std::to_string(kSettingsLineCount)
                                : " cannot be read (" + read.problem + ")");
  std::string problem = "it is a folder";
  const std::string aside = read.folder ? "" : win::KeepAside(file, &problem);
  if (aside.empty()) {
    WriteLog(said + (read.folder ? "" : " and cannot be kept aside (" + problem + ")") +
                 "; the default settings are used, and they are not saved.",
             kLogWarning);
    return SettingsLoad::kKeptOut;
  }
  WriteLog(said + "; it is kept as " + aside + ", and the default settings are used.", kLogWarning);
  return SettingsLoad::kDefaults;
}

bool SaveSettingsLines(const std::string& file, const vcl::TStrings& lines) {
  try {
    lines.SaveToFile(file, vcl::TEncoding::Default);
    return true;
  } catch (const vcl::Exception& error) {
    WriteLog(std::string("The settings file cannot be written: ") + error.what(), kLogWarning);
    return false;
  }
}

int ClearMarkedTempFolder(const std::string& folder) {
  if (folder.empty() || !fs::path(folder).is_absolute()) return 0;
  std::error_code ec;
  const fs::path root(folder);
  if (!fs::is_directory(root, ec) || !fs::is_regular_file(root / kTempFolderMark, ec)) return 0;
  int deleted = 0;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& entry = it->path();
    if (entry.filename() == kTempFolderMark) continue;
    std::error_code entryError;
    if (fs::is_directory(it->symlink_status(entryError))) continue;
    if (fs::remove(entry, entryError)) ++deleted;
  }
  return deleted;
}

}  // namespace qelo::app
