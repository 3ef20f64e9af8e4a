#include "win/folders.h"

#include <cstdlib>
#include <filesystem>

namespace qelo::win {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
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

}  // namespace qelo::win
