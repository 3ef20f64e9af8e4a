// The real program (the libraries, the main window and its loop, as
// Clipshift's own main runs them) brought into one state for a test that
// drives it from outside, here by signals:
//
//   clipshift_scripted --state STATE [--clip FILE]
//
// STATE: starting: a window of start-up open (the DirectX information
// window, when the system says DirectX is too old); idle: the main window
// shown; previewing: FILE added and playing; converting: FILE added and its
// conversion under way; asking: converting, with the close question open.
// Prints "ready" (with the output file when converting) once the state is
// reached, then runs until the program ends; exits with the program's
// status.
//
// The state is seen in the messages the window gets (a timer would wait
// while a slow build keeps the window painting).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "main_window.h"
#include "main_window_convert.h"
#include "program.h"
#include "qelo/player.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/window_hook.h"

using namespace qelo;

namespace {

void Ready(const std::string& detail = "") {
  std::printf("ready%s%s\n", detail.empty() ? "" : " ", detail.c_str());
  std::fflush(stdout);
}

void Enter(const std::string& state, const std::string& clip, app::TfrmVideoConvertor& window) {
  if (state == "idle") return Ready();
  int32_t groupId = -1;
  if (clip.empty() || !window.AddFileToJob(clip, groupId)) {
    std::fprintf(stderr, "could not add %s\n", clip.c_str());
    return;
  }
  window.AddJobListItem(groupId);
  window.lvMediaFile->Items()->Item(0)->SetSelected(true);
  if (state == "previewing") window.BtnPlayClick(window.BtnPlay);
  else window.BtnStartClick(window.BtnStart);
}

// Whether the message the window just handled shows the state reached: the
// preview's position moved, or the run's progress went past 1 %.
bool Reached(const std::string& state, const vcl::TMessage& m, app::TfrmVideoConvertor& window) {
  if (state == "previewing") return m.Msg == WM_PLAYER_POSITION && window.tbPlayer->Position() > 0;
  return m.Msg == app::WM_CONVERT_PROGRESS && window.Converting() && window.pbTotalProgress->Percent() >= 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string state = "idle";
  std::string clip;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--state") == 0) state = argv[i + 1];
    if (std::strcmp(argv[i], "--clip") == 0) clip = argv[i + 1];
  }
  if (state == "starting") {
    vcl::Application()->OnModalBegin = [told = false](vcl::TCustomForm&) mutable {
      if (!std::exchange(told, true)) Ready();
    };
  }
  std::unique_ptr<vcl::TWindowHook> hook;
  return app::RunClipshift(app::RealLibraries(), [&state, &clip, &hook](vcl::TCustomForm& form) {
    auto* window = dynamic_cast<app::TfrmVideoConvertor*>(&form);
    if (!window) return;
    vcl::Application()->Post([&state, &clip, window] { Enter(state, clip, *window); });
    hook = std::make_unique<vcl::TWindowHook>(window, [&state, &hook, window, told = false](vcl::TMessage& m) mutable {
      hook->CallPrevious(m);
      if (told || !Reached(state, m, *window)) return;
      told = true;
      const std::string output = state == "previewing" ? "" : window->Jobs().JobAt(0)->GetOutputName();
      if (state != "asking") return Ready(output);
      vcl::Application()->OnModalBegin = [output, asked = false](vcl::TCustomForm&) mutable {
        if (!std::exchange(asked, true)) Ready(output);
      };
      vcl::Application()->Post([window] { window->Close(); });
    });
    hook->Hook(window->Handle());
  });
}
