// What the shell tree and folder dialog tests share: one private home for
// the whole process (the Trash's library remembers the first home it saw),
// a fresh folder below it per test, the shell units started, and helpers
// that read a tree's nodes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ct_shell_ctrls_tree.h"
#include "shell_fixture.h"

namespace qelo::ct::test {

// The process's home, made on first use and kept to the end.
qelo::test::FakeHome& ProcessHome();

class ShellTreeFixture : public vcl::test::FormTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A path below this test's folder.
  std::string Path(const std::string& relative) const { return base + "/" + relative; }
  // The Trash's copy of an item moved there.
  static std::string TrashedPath(const std::string& name);

  std::string base;  // this test's own folder
};

// The texts of a node's children in order.
std::vector<std::string> ChildTexts(vcl::TTreeNode* node);
// The child of that text; null when there is none.
vcl::TTreeNode* ChildNamed(vcl::TTreeNode* node, const std::string& text);

}  // namespace qelo::ct::test
