// The preview in the player panel: the file open in the player instance and
// the play buttons' states.
#include "main_window.h"
#include "qelo/player_exports.h"

namespace qelo::app {

using namespace vcl;

void TfrmVideoConvertor::ClosePreviewFile() {
  if (!previewSource_) return;
  QeloDeInitFile(playerIndex_);
  SetPlayButtons(-1);
  previewSource_ = nullptr;
  tbPlayer->SetPosition(0);
}

void TfrmVideoConvertor::SetPlayButtons(int state) {
  struct Buttons {
    bool play, stop, pause, snapshot;
  };
  static constexpr Buttons kStates[] = {
      {false, false, false, false},  // -1 nothing open
      {true, true, false, false},    // 0 ready or paused
      {false, true, true, true},     // 1 playing
      {true, false, false, false},   // 2 stopped
  };
  if (state < -1 || state > 2) return;
  const Buttons& b = kStates[state + 1];
  BtnPlay->SetEnabled(b.play);
  btnStop->SetEnabled(b.stop);
  btnPause->SetEnabled(b.pause);
  btnSnapshot->SetEnabled(b.snapshot);
  miSnapshot->SetEnabled(b.snapshot);
}

}  // namespace qelo::app
