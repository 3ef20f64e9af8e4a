// Speed of the real program, headless, in a sandbox of its own:
//   start     from starting the program's process to the first paint of its
//             main window, and to every control of it painted (a first
//             start without a settings file, then starts with one);
//   adding    200 files through the Add Files command (each probed by the
//             codec bridge and given a unique output name, one row each),
//             half of them merged into one job (the list holds 128 jobs);
//   repaint   the whole main window, every control in it, with 201 rows;
//   stalls    the longest stretch the window's thread leaves a posted call
//             waiting while a 1080p clip's conversion is stopped (Stop
//             answered Yes), while the window is closed during its
//             conversion, and while its preview is sought, stepped a frame
//             at a time and closed.
// Goals: start under 1 s, adding under 2 s, repaint under 16 ms, every
// stall under 50 ms.
//
//   clipshift_bench [--starts N] [--repaints N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/media_fixture.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "main_window.h"
#include "program.h"
#include "qelo/player_exports.h"
#include "program_sandbox.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "vcl/controls/window_hook.h"
#include "vcl/dialogs/open_dialog_form.h"

namespace {

namespace fs = std::filesystem;
using namespace qelo;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 200;

// Milliseconds on the steady clock, which all processes of the machine share.
double NowMs() { return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void RedrawWhole(vcl::TCustomForm& window) {
  win::RedrawWindow(window.Handle(), nullptr, nullptr,
                    win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME | win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
}

// ---- in the started program's process -----------------------------------------------

// Runs the program until its main window has painted, then closes it;
// prints when the window's own first paint ended and when every control
// had painted, in steady-clock milliseconds.
int FirstPaintChild() {
  double painted = 0;
  double allPainted = 0;
  std::unique_ptr<vcl::TWindowHook> hook;
  const int status = app::RunClipshift(app::RealLibraries(), [&](vcl::TCustomForm& window) {
    hook = std::make_unique<vcl::TWindowHook>(&window, [&, w = &window](vcl::TMessage& m) {
      hook->CallPrevious(m);
      if (m.Msg != win::WM_PAINT || painted != 0) return;
      painted = NowMs();
      vcl::Application()->Post([&, w] {
        // What is left to paint is painted now, as the loop would next.
        win::RedrawWindow(w->Handle(), nullptr, nullptr, win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
        allPainted = NowMs();
        w->Close();
      });
    });
    hook->Hook(window.Handle());
  });
  std::printf("%.3f %.3f\n", painted, allPainted);
  return status;
}

// ---- in the benchmark's process -----------------------------------------------------

struct StartTimes {
  double window = 0;
  double controls = 0;
};

bool TimeStart(const std::string& self, StartTimes& times) {
  const double before = NowMs();
  const test::ProcessResult child = test::RunProcess({self, "--first-paint"});
  double painted = 0;
  double allPainted = 0;
  if (child.exitCode != 0 || std::sscanf(child.output.c_str(), "%lf %lf", &painted, &allPainted) != 2 ||
      painted == 0) {
    std::printf("the program did not start: %s\n", child.errors.c_str());
    return false;
  }
  times = {painted - before, allPainted - before};
  return true;
}

void BenchStarts(const std::string& self, int starts) {
  std::vector<double> window;
  std::vector<double> controls;
  for (int i = 0; i < starts; ++i) {
    StartTimes t;
    if (!TimeStart(self, t)) return;
    if (i == 0) {
      std::printf("start, first (no settings file): window painted %.1f ms, every control %.1f ms\n", t.window,
                  t.controls);
      continue;
    }
    window.push_back(t.window);
    controls.push_back(t.controls);
  }
  if (window.empty()) return;
  std::printf("start, median of %zu with settings: window painted %.1f ms, every control %.1f ms"
              " (slowest %.1f ms; goal < 1000 ms)\n",
              window.size(), Median(window), Median(controls), *std::max_element(controls.begin(), controls.end()));
}

// 200 copies of one small clip, each of its own name.
std::vector<std::string> MakeFiles(const std::string& folder) {
  const std::string clip = test::MakeVideoAudio(folder, "clip.avi", 2.0, 320, 240, 25);
  std::vector<std::string> files;
  if (clip.empty()) return files;
  for (int i = 0; i < kFiles; ++i) {
    const std::string copy = folder + "/take " + std::to_string(i) + ".avi";
    fs::copy_file(clip, copy);
    files.push_back(copy);
  }
  return files;
}

// Adds the files through the Add Files command; its time in ms.
double AddFiles(app::TfrmVideoConvertor& window, const std::vector<std::string>& files) {
  vcl::script::ModalScript modal;
  vcl::script::AnswerOpenDialog(modal, files);
  const double before = NowMs();
  window.btnAddMediaFileClick(nullptr);
  vcl::script::Pump();
  return NowMs() - before;
}

// The list holds at most 128 jobs: the first half of the files is merged
// into one job before the second half is added, which gives 200 file rows
// and the merged job's header.
void BenchList(app::TfrmVideoConvertor& window, const std::vector<std::string>& files, int repaints) {
  const std::vector<std::string> first(files.begin(), files.begin() + kFiles / 2);
  const std::vector<std::string> second(files.begin() + kFiles / 2, files.end());
  for (int round = 0; round < 3; ++round) {
    window.miClearClick(nullptr);
    const double adding = AddFiles(window, first);
    vcl::TListItems& rows = *window.lvMediaFile->Items();
    for (int i = 0; i < rows.Count(); ++i) rows[i]->SetSelected(true);
    const double before = NowMs();
    window.BtnMergeClick(nullptr);
    const double merging = NowMs() - before;
    const double total = adding + AddFiles(window, second);
    std::printf("adding %d files in two runs of the command: %.1f ms (goal < 2000 ms); merging %d of them %.1f ms;"
                " %d rows, %d jobs\n",
                kFiles, total, kFiles / 2, merging, window.lvMediaFile->Items()->Count(), window.Jobs().Count());
  }

  window.lvMediaFile->ClearSelection();
  window.lvMediaFile->Items()->Item(3)->SetSelected(true);
  vcl::script::Pump();
  RedrawWhole(window);
  std::vector<double> times;
  for (int i = 0; i < repaints; ++i) {
    const double before = NowMs();
    RedrawWhole(window);
    times.push_back(NowMs() - before);
  }
  std::printf("repaint of the whole window with %d rows: median %.2f ms, slowest %.2f ms of %d (goal < 16 ms)\n",
              window.lvMediaFile->Items()->Count(), Median(times), *std::max_element(times.begin(), times.end()),
              repaints);
}

void BenchListInProgram(const std::vector<std::string>& files, int repaints) {
  app::RunClipshift(app::RealLibraries(), [&](vcl::TCustomForm& form) {
    auto& window = dynamic_cast<app::TfrmVideoConvertor&>(form);
    vcl::Application()->Post([&] {
      vcl::script::Pump();
      BenchList(window, files, repaints);
      window.Close();
    });
  });
}

// ---- stalls of the window's thread -------------------------------------------------

// How long the window's thread leaves a posted call waiting: a thread of its
// own posts one call at a time, a millisecond after the last one ran, and
// notes how long each waited. A call still waiting counts as long as it has
// waited so far.
class StallProbe {
 public:
  StallProbe() : state_(std::make_shared<State>()), thread_([this] { Run(); }) {}
  ~StallProbe() {
    state_->stop = true;
    thread_.join();
  }
  void Reset() {
    std::lock_guard lock(state_->mutex);
    state_->longest = 0;
  }
  double Longest() const {
    std::lock_guard lock(state_->mutex);
    return std::max(state_->longest, state_->waiting ? NowMs() - state_->postedAt : 0.0);
  }

 private:
  // Shared with the posted calls, which may outlive the probe.
  struct State {
    std::mutex mutex;
    double longest = 0;
    bool waiting = false;
    double postedAt = 0;
    std::atomic<bool> stop{false};
  };

  void Run() {
    while (!state_->stop) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::lock_guard lock(state_->mutex);
      if (state_->waiting) continue;
      state_->waiting = true;
      state_->postedAt = NowMs();
      vcl::Application()->Post([state = state_] {
        std::lock_guard lock(state->mutex);
        state->longest = std::max(state->longest, NowMs() - state->postedAt);
        state->waiting = false;
      });
    }
  }

  std::shared_ptr<State> state_;
  std::thread thread_;
};

// Runs the window's loop for `ms`, or until `done` says so.
void PumpFor(double ms, const std::function<bool()>& done = {}) {
  const double until = NowMs() + ms;
  while (NowMs() < until && !(done && done())) {
    vcl::script::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  vcl::script::Pump();
}

void PrintStall(const char* what, double ms) {
  std::printf("stall of the window's thread, %s: longest %.1f ms (goal < 50 ms)\n", what, ms);
}

// A 1080p clip added, selected, and its conversion started and well under way.
bool StartConversion(app::TfrmVideoConvertor& window, const std::string& clip) {
  window.miClearClick(nullptr);
  window.AddMediaFiles({clip});
  if (window.lvMediaFile->Items()->Count() == 0) return false;
  window.lvMediaFile->Items()->Item(0)->SetSelected(true);
  window.BtnStartClick(window.BtnStart);
  PumpFor(30'000, [&] { return window.Converting() && window.pbTotalProgress->Percent() >= 5; });
  return window.Converting();
}

void BenchStalls(app::TfrmVideoConvertor& window, const std::string& clip) {
  StallProbe probe;
  if (!StartConversion(window, clip)) {
    std::printf("stalls: the 1080p conversion did not start\n");
    return;
  }
  {
    vcl::script::ModalScript modal;
    modal.Answer(vcl::mrYes);
    probe.Reset();
    window.BtnStartClick(window.BtnStartStop);  // Stop, and Yes to its question
    PumpFor(100);
    PrintStall("Stop during a 1080p conversion", probe.Longest());
  }

  window.lvMediaFile->Items()->Item(0)->SetSelected(true);
  window.BtnPlayClick(window.BtnPlay);
  PumpFor(10'000, [&] { return window.tbPlayer->Position() > 0; });
  probe.Reset();
  window.tbPlayerTrackChange(nullptr, window.tbPlayer->Max() / 2);
  PumpFor(500);
  PrintStall("seek of a playing 1080p preview", probe.Longest());

  window.btnPauseClick(nullptr);
  PumpFor(200);
  probe.Reset();
  for (int i = 0; i < 5; ++i) {
    QeloNextFrame(window.PlayerIndex());
    PumpFor(20);
  }
  PrintStall("five frame steps of a paused 1080p preview", probe.Longest());

  window.BtnPlayClick(window.BtnPlay);
  PumpFor(300);
  probe.Reset();
  window.ClosePreviewFile();
  PumpFor(100);
  PrintStall("close of a playing 1080p preview", probe.Longest());

  if (!StartConversion(window, clip)) return;
  vcl::script::ModalScript modal;
  modal.Answer(vcl::mrYes);
  probe.Reset();
  window.Close();  // Yes to its question: the run stops and the window closes
  PrintStall("close of the window during a 1080p conversion", probe.Longest());
}

void BenchStallsInProgram(const std::string& clip) {
  app::RunClipshift(app::RealLibraries(), [&](vcl::TCustomForm& form) {
    auto& window = dynamic_cast<app::TfrmVideoConvertor&>(form);
    vcl::Application()->Post([&] {
      vcl::script::Pump();
      BenchStalls(window, clip);
      if (window.Visible()) window.Close();
    });
  });
}

int Option(int argc, char** argv, const char* name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], name) == 0) return std::max(std::atoi(argv[i + 1]), 1);
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QELO_HEADLESS", "1", 0);
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (argc > 1 && std::strcmp(argv[1], "--first-paint") == 0) return FirstPaintChild();

  const test::TempDir dir;
  const app::test::ProgramSandbox sandbox(dir.path(), QELO_SKIN_DIR);
  const std::string self = fs::canonical("/proc/self/exe").string();
  BenchStarts(self, Option(argc, argv, "--starts", 6));

  fs::create_directories(dir.File("media"));
  const std::vector<std::string> files = MakeFiles(dir.File("media"));
  if (files.empty()) {
    std::printf("ffmpeg made no clip\n");
    return 1;
  }
  BenchListInProgram(files, Option(argc, argv, "--repaints", 50));

  fs::create_directories(dir.File("hd"));
  const std::string hd = test::MakeVideoAudio(dir.File("hd"), "take 1080p.avi", 20.0, 1920, 1080, 25);
  if (hd.empty()) {
    std::printf("ffmpeg made no 1080p clip\n");
    return 1;
  }
  BenchStallsInProgram(hd);
  return 0;
}
