// Speed of the folder dialog's tree (headless): expanding a folder of
// 10,000 sub-folders (filled, sorted and painted) and selecting a folder
// six levels below the dialog's base folder, through that big folder, on a
// freshly filled tree. Each run is one uninterrupted stretch of work on
// the GUI thread, so the time of a run is also how long the GUI thread is
// blocked.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_folder_form.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "vcl/controls/scripting.h"

namespace {

using namespace qelo;
using namespace qelo::vcl;

constexpr int kFolders = 10000;

std::string FolderName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "clip%05d", i);
  return name;
}

// A private folder tree and the dialog's form on it, made once.
struct Sheet {
  std::string root;
  std::string deep;  // six levels below the base
  ct::TCtSelectFolderForm* form = nullptr;
  TTreeNode* big = nullptr;

  Sheet() {
    setenv("QELO_HEADLESS", "1", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    char pattern[] = "/tmp/qelo-tree-bench-XXXXXX";
    root = mkdtemp(pattern);
    const std::string folder = root + "/big";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFolders; ++i) mkdir((folder + "/" + FolderName(i)).c_str(), 0755);
    deep = folder + "/" + FolderName(kFolders / 2) + "/season/episode/take/cut";
    std::filesystem::create_directories(deep);
    Application()->Initialize();
    ct::InitializeCtShellIntf();
    ct::InitializeCtShellUtils();
    ct::InitializeShellCtrls();
    form = new ct::TCtSelectFolderForm(nullptr);
    form->ApplyOptions({ct::sfdoCreateDeleteButtons, ct::sfdoCreateFolderIcon, ct::sfdoDeleteFolderIcon,
                        ct::sfdoShowHidden});
    form->ShellTree->BaseFolder()->SetPathName(root);
    form->Show();
    script::Pump();
    TTreeNode* base = form->ShellTree->Items()->GetFirstNode();
    for (int i = 0; i < base->Count(); ++i)
      if (base->Item(i)->Text() == "big") big = base->Item(i);
  }
  ~Sheet() {
    form->Free();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
};

Sheet& TheSheet() {
  static Sheet sheet;
  return sheet;
}

void BM_ExpandTenThousandFolders(benchmark::State& state) {
  Sheet& s = TheSheet();
  for (auto _ : state) {
    state.PauseTiming();
    s.big->Collapse(false);
    s.big->DeleteChildren();
    s.big->SetHasChildren(true);
    script::Pump();
    state.ResumeTiming();
    s.big->Expand(false);
    win::UpdateWindow(s.form->ShellTree->Handle());
  }
  state.counters["children"] = s.big->Count();
}
BENCHMARK(BM_ExpandTenThousandFolders)->Unit(benchmark::kMillisecond);

void BM_SelectSixLevelsDeep(benchmark::State& state) {
  Sheet& s = TheSheet();
  ct::TCtShellLocator target;
  target.SetPathName(s.deep);
  for (auto _ : state) {
    state.PauseTiming();
    s.form->ShellTree->SelectedFolder()->SetIdList(nullptr);
    s.form->ShellTree->FillTree();
    script::Pump();
    state.ResumeTiming();
    s.form->ShellTree->SetSelectedFolder(&target);
    win::UpdateWindow(s.form->ShellTree->Handle());
  }
  if (s.form->ShellTree->SelectedPathName() != s.deep) state.SkipWithError("the deep folder was not selected");
  s.big = nullptr;
}
BENCHMARK(BM_SelectSixLevelsDeep)->Unit(benchmark::kMillisecond);

}  // namespace
