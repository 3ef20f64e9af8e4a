#include "shell_tree_fixture.h"

#include <atomic>
#include <filesystem>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "shell/volumes.h"

namespace qelo::ct::test {

qelo::test::FakeHome& ProcessHome() {
  static auto* home = new qelo::test::FakeHome;  // never torn down: GIO keeps using it
  return *home;
}

void ShellTreeFixture::SetUp() {
  FormTest::SetUp();
  static std::atomic<int> counter{0};
  base = ProcessHome().Path("case" + std::to_string(++counter));
  std::filesystem::create_directories(base);
  shell::SetVolumeSourceForTesting([] { return std::vector<shell::Volume>{}; });
  InitializeCtShellIntf();
  InitializeCtShellUtils();
  InitializeShellCtrls();
  RegisterCtShellTreeClasses();
}

void ShellTreeFixture::TearDown() {
  FormTest::TearDown();
  FinalizeShellCtrls();
  FinalizeCtShellUtils();
  FinalizeCtShellIntf();
  shell::SetVolumeSourceForTesting({});
  std::error_code ignored;
  std::filesystem::remove_all(base, ignored);
}

std::string ShellTreeFixture::TrashedPath(const std::string& name) {
  return ProcessHome().Path("data/Trash/files/" + name);
}

std::vector<std::string> ChildTexts(vcl::TTreeNode* node) {
  std::vector<std::string> texts;
  for (int i = 0; node && i < node->Count(); ++i) texts.push_back(node->Item(i)->Text());
  return texts;
}

vcl::TTreeNode* ChildNamed(vcl::TTreeNode* node, const std::string& text) {
  for (int i = 0; node && i < node->Count(); ++i)
    if (node->Item(i)->Text() == text) return node->Item(i);
  return nullptr;
}

}  // namespace qelo::ct::test
