// A place of its own for the real program run in this process (and the
// processes it starts): a program folder with the built skin linked in, a
// home with a documents folder, a registry, and a stand-in for the
// shut-down that only leaves a file behind. The environment it sets is
// put back at destruction.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace qelo::app::test {

class ProgramSandbox {
 public:
  // Everything goes under `root`, an existing folder; `skinFolder` is the
  // built skin.
  ProgramSandbox(const std::string& root, const std::string& skinFolder);
  ~ProgramSandbox();
  ProgramSandbox(const ProgramSandbox&) = delete;
  ProgramSandbox& operator=(const ProgramSandbox&) = delete;

  const std::string& ProgramFolder() const { return programFolder_; }  // with its trailing "/"
  const std::string& DocumentsFolder() const { return documentsFolder_; }
  // The registry store's folder.
  const std::string& RegistryFolder() const { return registryFolder_; }
  // The file the shut-down stand-in leaves.
  const std::string& ShutDownMark() const { return shutDownMark_; }

 private:
  void SetVariable(const char* name, const std::string& value);

  std::string programFolder_;
  std::string documentsFolder_;
  std::string registryFolder_;
  std::string shutDownMark_;
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace qelo::app::test
