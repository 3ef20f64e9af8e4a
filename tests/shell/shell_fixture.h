// A private home folder for shell tests: HOME and the XDG folders point
// into a temporary folder for the life of the fixture, with helpers that
// make files, folders and links in it.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "shell/idlist.h"
#include "shell/shell_folder.h"

namespace qelo::test {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

class FakeHome {
 public:
  FakeHome();
  const std::string& path() const { return dir_.path(); }
  std::string Path(const std::string& relative) const { return dir_.path() + "/" + relative; }
  // Writes config/user-dirs.dirs with the given lines.
  void WriteUserDirs(const std::string& text) const;

 private:
  TempDir dir_;
  ScopedEnv home_, config_, data_;
};

void MakeDir(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void MakeSymlink(const std::string& target, const std::string& link);

// The names of the items a folder enumerates, in the order given.
std::vector<std::string> EnumeratedNames(shell::IShellFolder* folder, shell::DWORD flags);
std::string DisplayName(shell::IShellFolder* folder, shell::LPCITEMIDLIST item, shell::DWORD flags);
// Binds the folder of an absolute path (fails the test when it cannot).
shell::ComPtr<shell::IShellFolder> BindPath(const std::string& path);
// The list of an absolute path; null when it cannot be parsed.
shell::IdListPtr ParsePath(const std::string& path);
// The one-item list of the entry `name` of the folder at `folderPath`.
shell::IdListPtr ChildItem(const std::string& folderPath, const std::string& name);

}  // namespace qelo::test
