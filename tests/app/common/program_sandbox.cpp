#include "program_sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "win/folders.h"

namespace qelo::app::test {

namespace fs = std::filesystem;

ProgramSandbox::ProgramSandbox(const std::string& root, const std::string& skinFolder) {
  programFolder_ = root + "/program/";
  fs::create_directories(programFolder_);
  fs::create_directory_symlink(skinFolder, programFolder_ + "Skin");
  const std::string home = root + "/home";
  documentsFolder_ = home + "/My Documents";
  fs::create_directories(documentsFolder_);
  fs::create_directories(home + "/.config");
  std::ofstream(home + "/.config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/My Documents\"\n";
  registryFolder_ = root + "/registry";
  shutDownMark_ = root + "/shut-down";
  SetVariable("QELO_HEADLESS", "1");
  SetVariable("HOME", home);
  SetVariable("XDG_CONFIG_HOME", home + "/.config");
  SetVariable(win::kProgramFolderVariable, programFolder_);
  SetVariable("QELO_REGISTRY_DIR", registryFolder_);
  SetVariable("QELO_SHUTDOWN_COMMAND", "touch '" + shutDownMark_ + "'");
}

ProgramSandbox::~ProgramSandbox() {
  for (const auto& [name, value] : saved_) {
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
  }
}

void ProgramSandbox::SetVariable(const char* name, const std::string& value) {
  if (!saved_.count(name)) {
    const char* old = std::getenv(name);
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
  }
  setenv(name, value.c_str(), 1);
}

}  // namespace qelo::app::test
