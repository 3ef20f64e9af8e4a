// Speed of the folder dialog's tree (headless): expanding a folder of
// 10,000 sub-folders and selecting a folder six levels below the dialog's
// base folder, through that big folder, on a freshly filled tree.
//
// A run lasts from the call until the level is whole (every node in, with
// its expand button as the shell says) and painted; the window's thread
// handles its messages meanwhile, as the dialog's loop would. Besides the
// run's time the benchmark reports the longest stretch the window's thread
// spent in one message (or in the call itself), and how long a message
// posted to it waited at most for an answer: how long a user would wait.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_folder_form.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "vcl/controls/scripting.h"

namespace {

using namespace qelo;
using namespace qelo::vcl;
using Clock = std::chrono::steady_clock;

constexpr int kFolders = 10000;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

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
    FindBig();
  }
  ~Sheet() {
    form->Free();
    ct::FinalizeShellCtrls();
    ct::FinalizeCtShellUtils();
    ct::FinalizeCtShellIntf();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
  void FindBig() {
    TTreeNode* base = form->ShellTree->Items()->GetFirstNode();
    big = nullptr;
    for (int i = 0; base && i < base->Count(); ++i)
      if (base->Item(i)->Text() == "big") big = base->Item(i);
  }
};

Sheet& TheSheet() {
  static Sheet sheet;
  return sheet;
}

// What one run measured.
struct Run {
  double total = 0;
  double longestStretch = 0;
  double longestAnswer = 0;
};

// Runs `start` on the window's thread, then handles messages one at a time
// until the tree has no fill pending and none waits, and paints. Every few
// milliseconds a probe is posted to the thread (not more often: posted
// messages go before the timer that paces the fill).
Run Measure(ct::TCtShellTree& tree, const std::function<void()>& start) {
  constexpr auto kProbeEvery = std::chrono::milliseconds(3);
  Run run;
  bool outstanding = false;
  Clock::time_point posted, answered;
  auto postProbe = [&] {
    outstanding = true;
    posted = Clock::now();
    Application()->Post([&] {
      answered = Clock::now();
      run.longestAnswer = std::max(run.longestAnswer, Milliseconds(answered - posted));
      outstanding = false;
    });
  };
  const Clock::time_point begin = Clock::now();
  postProbe();
  start();
  run.longestStretch = Milliseconds(Clock::now() - begin);
  for (;;) {
    if (!outstanding && tree.FillsPending() && Clock::now() - answered >= kProbeEvery) postProbe();
    win::MSG m;
    const bool waiting = win::PeekMessage(&m, nullptr, 0, 0, win::PM_NOREMOVE);
    if (!waiting && !tree.FillsPending() && !outstanding) break;
    if (!waiting) {
      win::MsgWaitForMultipleObjects(0, nullptr, 0, 1, win::QS_ALLINPUT);
      continue;
    }
    const Clock::time_point from = Clock::now();
    Application()->HandleMessage();
    run.longestStretch = std::max(run.longestStretch, Milliseconds(Clock::now() - from));
  }
  const Clock::time_point painting = Clock::now();
  win::UpdateWindow(tree.Handle());
  run.longestStretch = std::max(run.longestStretch, Milliseconds(Clock::now() - painting));
  run.total = Milliseconds(Clock::now() - begin);
  return run;
}

void Report(benchmark::State& state, const std::vector<Run>& runs) {
  double stretch = 0, answer = 0;
  for (const Run& r : runs) {
    stretch = std::max(stretch, r.longestStretch);
    answer = std::max(answer, r.longestAnswer);
  }
  state.counters["longest_stretch_ms"] = stretch;
  state.counters["longest_answer_ms"] = answer;
}

void BM_ExpandTenThousandFolders(benchmark::State& state) {
  Sheet& s = TheSheet();
  ct::TCtShellTree& tree = *s.form->ShellTree;
  std::vector<Run> runs;
  for (auto _ : state) {
    s.big->Collapse(false);
    s.big->DeleteChildren();
    s.big->SetHasChildren(true);
    script::Pump();
    const Run run = Measure(tree, [&] { s.big->Expand(false); });
    state.SetIterationTime(run.total / 1000);
    runs.push_back(run);
  }
  if (s.big->Count() != kFolders) state.SkipWithError("the big folder was not filled whole");
  state.counters["children"] = s.big->Count();
  Report(state, runs);
}
BENCHMARK(BM_ExpandTenThousandFolders)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_SelectSixLevelsDeep(benchmark::State& state) {
  Sheet& s = TheSheet();
  ct::TCtShellTree& tree = *s.form->ShellTree;
  ct::TCtShellLocator target;
  target.SetPathName(s.deep);
  std::vector<Run> runs;
  for (auto _ : state) {
    tree.SelectedFolder()->SetIdList(nullptr);
    tree.FillTree();
    script::Pump();
    const Run run = Measure(tree, [&] { tree.SetSelectedFolder(&target); });
    state.SetIterationTime(run.total / 1000);
    runs.push_back(run);
  }
  if (tree.SelectedPathName() != s.deep) state.SkipWithError("the deep folder was not selected");
  s.FindBig();
  if (!s.big || s.big->Count() != kFolders) state.SkipWithError("the big folder on the way was not filled whole");
  Report(state, runs);
}
BENCHMARK(BM_SelectSixLevelsDeep)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
