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
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "main_window.h"
#include "program.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/timer.h"

using namespace qelo;

namespace {

void Ready(const std::string& detail = "") {
  std::printf("ready%s%s\n", detail.empty() ? "" : " ", detail.c_str());
  std::fflush(stdout);
}

// Whether the state is reached; called every 20 ms from the loop.
bool Reached(const std::string& state, app::TfrmVideoConvertor& window) {
  if (state == "previewing") return window.tbPlayer->Position() > 0;
  if (state == "converting" || state == "asking")
    return window.Converting() && window.pbTotalProgress->Percent() >= 1;
  return true;
}

void Enter(const std::string& state, const std::string& clip, app::TfrmVideoConvertor& window) {
  if (state == "idle") return;
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
  return app::RunClipshift(app::RealLibraries(), [&state, &clip](vcl::TCustomForm& form) {
    auto* window = dynamic_cast<app::TfrmVideoConvertor*>(&form);
    if (!window) return;
    vcl::Application()->Post([&state, &clip, window] { Enter(state, clip, *window); });
    auto* poll = new vcl::TTimer(&form);
    poll->SetInterval(20);
    poll->SetOnTimer([&state, window, poll](vcl::TObject*) {
      if (!Reached(state, *window)) return;
      poll->SetEnabled(false);
      if (state != "asking") {
        Ready(state == "converting" ? window->Jobs().JobAt(0)->GetOutputName() : "");
        return;
      }
      vcl::Application()->OnModalBegin = [window, told = false](vcl::TCustomForm&) mutable {
        if (!std::exchange(told, true)) Ready(window->Jobs().JobAt(0)->GetOutputName());
      };
      window->Close();
    });
  });
}
