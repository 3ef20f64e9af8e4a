#include "shell_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "shell/namespace.h"

namespace qelo::test {

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (old_) setenv(name_.c_str(), old_->c_str(), 1);
  else unsetenv(name_.c_str());
}

FakeHome::FakeHome()
    : home_("HOME", dir_.path()),
      config_("XDG_CONFIG_HOME", dir_.path() + "/config"),
      data_("XDG_DATA_HOME", dir_.path() + "/data") {}

void FakeHome::WriteUserDirs(const std::string& text) const {
  MakeDir(Path("config"));
  WriteFile(Path("config/user-dirs.dirs"), text);
}

void MakeDir(const std::string& path) { ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path; }

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

void MakeSymlink(const std::string& target, const std::string& link) {
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
}

std::vector<std::string> EnumeratedNames(shell::IShellFolder* folder, shell::DWORD flags) {
  std::vector<std::string> names;
  shell::ComPtr<shell::IEnumIDList> items;
  EXPECT_EQ(folder->EnumObjects(nullptr, flags, items.Put()), shell::S_OK);
  if (!items) return names;
  shell::LPITEMIDLIST item = nullptr;
  while (items->Next(1, &item, nullptr) == shell::S_OK) {
    shell::IdListPtr owned(item);
    names.push_back(DisplayName(folder, item, shell::SHGDN_INFOLDER | shell::SHGDN_FORPARSING));
  }
  return names;
}

std::string DisplayName(shell::IShellFolder* folder, shell::LPCITEMIDLIST item, shell::DWORD flags) {
  shell::STRRET name;
  if (shell::FAILED(folder->GetDisplayNameOf(item, flags, &name))) return "<failed>";
  return shell::TakeStrRet(&name, item);
}

shell::ComPtr<shell::IShellFolder> BindPath(const std::string& path) {
  shell::ComPtr<shell::IShellFolder> desktop, folder;
  EXPECT_EQ(shell::SHGetDesktopFolder(desktop.Put()), shell::S_OK);
  shell::IdListPtr list = ParsePath(path);
  EXPECT_TRUE(list) << path;
  if (!desktop || !list) return folder;
  EXPECT_EQ(desktop->BindToObject(list.Get(), nullptr, shell::IID_IShellFolder, folder.PutVoid()), shell::S_OK)
      << path;
  return folder;
}

shell::IdListPtr ParsePath(const std::string& path) {
  shell::IdListPtr list;
  if (shell::FAILED(shell::SHParsePath(path, list.Put()))) list.Reset();
  return list;
}

shell::IdListPtr ChildItem(const std::string& folderPath, const std::string& name) {
  shell::IdListPtr full = ParsePath(folderPath + "/" + name);
  if (!full) return {};
  return shell::IdListPtr(shell::ILCloneFirstN(shell::ILFindLastID(full.Get()), 1));
}

}  // namespace qelo::test
