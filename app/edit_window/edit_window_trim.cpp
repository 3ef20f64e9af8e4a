// The edit window's Trim page: the start and end of the part converted,
// typed or set from the preview's position, shown on the bar's markers,
// played from its start to its end.
#include "edit_window.h"
#include "qelo/player_exports.h"

namespace qelo::app {

using namespace vcl;

namespace {

constexpr int64_t kUnitsPerMs = QELO_TIME_UNITS_PER_SECOND / 1000;

}  // namespace

void TfrmEditVideo::FillTrimPage() {
  {
    TFlagScope scope(updating_);
    tbTrim->SetMax(edited_.sourceDuration / kUnitsPerMs);
  }
  ShowTrim();
}

void TfrmEditVideo::ShowTrim() {
  {
    TFlagScope scope(updating_);
    // The end first goes out of the start's way, so that neither marker
    // stops the other.
    tbTrim->SetEndPos(tbTrim->Max());
    tbTrim->SetStartPos(edited_.trimStart / kUnitsPerMs);
    tbTrim->SetEndPos(edited_.trimEnd / kUnitsPerMs);
  }
  edTrimStart->SetText(TrimTimeText(edited_.trimStart));
  edTrimEnd->SetText(TrimTimeText(edited_.trimEnd));
  LabTrimLength->SetCaption("Converted: " + TrimTimeText(EntryLength(edited_)) + " of " +
                            TrimTimeText(edited_.sourceDuration) +
                            (edited_.trimEnabled ? "" : " (the whole file)"));
  ShowOutputLength();
}

void TfrmEditVideo::ApplyTrimStart(int64_t start) {
  SetTrimStart(edited_, start);
  ShowTrim();
}

void TfrmEditVideo::ApplyTrimEnd(int64_t end) {
  SetTrimEnd(edited_, end);
  ShowTrim();
}

void TfrmEditVideo::ApplyTrimField(ct::TCtEdit* field) {
  int64_t value = 0;
  if (!ParseTrimTime(field->Text(), value)) {
    // Not a time: the fields show the trim as it is.
    ShowTrim();
    return;
  }
  if (field == edTrimStart)
    ApplyTrimStart(value);
  else
    ApplyTrimEnd(value);
}

void TfrmEditVideo::edTrimExit(TObject* sender) {
  if (auto* field = dynamic_cast<ct::TCtEdit*>(sender)) ApplyTrimField(field);
}

void TfrmEditVideo::btnTrimSetStartClick(TObject*) { ApplyTrimStart(position_); }

void TfrmEditVideo::btnTrimSetEndClick(TObject*) { ApplyTrimEnd(position_); }

void TfrmEditVideo::btnTrimPlayClick(TObject*) {
  if (playerIndex_ < 0) return;
  ShowFrameAt(edited_.trimStart);
  QeloPlay(playerIndex_);
  SetPlaying(true);
  playToTrimEnd_ = true;
}

void TfrmEditVideo::btnTrimResetClick(TObject*) {
  SetTrim(edited_, 0, edited_.sourceDuration);
  ShowTrim();
}

}  // namespace qelo::app
