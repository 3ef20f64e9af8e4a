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

// A quoted value of the user-dirs file with "$HOME" replaced; empty when
// it is not closed, not absolute or empty.
std::string UserDirsValue(std::string_view quoted, const std::string& home) {
  if (quoted.empty() || quoted.front() != '"') return {};
  std::string value;
  bool closed = false;
  for (size_t i = 1; i < quoted.size() && !closed; ++i) {
    char c = quoted[i];
    if (c == '"') closed = true;
    else value += (c == '\\' && i + 1 < quoted.size()) ? quoted[++i] : c;
  }
  if (!closed) return {};
  if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) value = home + value.substr(5);
  if (value.empty() || value[0] != '/') return {};
  while (value.size() > 1 && value.back() == '/') value.pop_back();
  return value;
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

std::string ProgramDataFolder() {
  const std::string program = ProgramFolder();
  if (access(program.c_str(), W_OK | X_OK) == 0) return program;
  const std::string data = ConfigFolder() + "/clipshift/";
  std::error_code error;
  std::filesystem::create_directories(data, error);
  return data;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return {};
}

std::string ConfigFolder() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  return configHome && *configHome == '/' ? std::string(configHome) : HomeFolder() + "/.config";
}

std::string UserDirsEntry(std::string_view key) {
  const std::string home = HomeFolder();
  std::ifstream file(ConfigFolder() + "/user-dirs.dirs");
  for (std::string line; std::getline(file, line);) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    const size_t equals = line.find('=', start);
    if (equals == std::string::npos || std::string_view(line).substr(start, equals - start) != key) continue;
    std::string value = UserDirsValue(std::string_view(line).substr(equals + 1), home);
    if (!value.empty()) return value;
  }
  return {};
}

std::string DocumentsFolder() {
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  const std::string documents = UserDirsEntry("XDG_DOCUMENTS_DIR");
  return documents.empty() ? home + "/Documents" : documents;
}

}  // namespace qelo::win
