#include "win/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace qelo::win {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return {};
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs file: a quoted path that is
// absolute or starts with "$HOME"; empty when the file has no usable line.
std::string DocumentsEntry(const std::string& userDirsFile, const std::string& home) {
  std::ifstream file(userDirsFile);
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
  for (std::string line; std::getline(file, line);) {
    if (line.rfind(kKey, 0) != 0) continue;
    const size_t end = line.find('"', kKey.size());
    if (end == std::string::npos) continue;
    std::string value = line.substr(kKey.size(), end - kKey.size());
    if (value.rfind("$HOME", 0) == 0) {
      value = home + value.substr(5);
    } else if (value.empty() || value[0] != '/') {
      continue;
    }
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    return value;
  }
  return {};
}

}  // namespace

std::string ProgramFolder() {
  if (const char* folder = std::getenv(kProgramFolderVariable); folder && *folder)
    return WithSlash(folder);
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return WithSlash(std::filesystem::current_path(error).string());
  return WithSlash(executable.parent_path().string());
}

std::string DocumentsFolder() {
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const std::string configFolder = configHome && *configHome ? configHome : home + "/.config";
  const std::string documents = DocumentsEntry(configFolder + "/user-dirs.dirs", home);
  return documents.empty() ? home + "/Documents" : documents;
}

}  // namespace qelo::win
