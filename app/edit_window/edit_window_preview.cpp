// The edit window's preview: its two-pane player instance, the bar that
// seeks and trims, the play, pause and step buttons, and the times shown.
#include <algorithm>

#include "edit_window.h"
#include "log_bridge.h"
#include "qelo/player_exports.h"
#include "win/codepage.h"

namespace qelo::app {

using namespace vcl;

namespace {

constexpr int64_t kUnitsPerMs = QELO_TIME_UNITS_PER_SECOND / 1000;
// The player's gap between its panes.
constexpr int kPaneGap = 8;

// A picture of w x h fitted inside box x box, its shape kept.
struct FittedSize {
  int width, height;
};
FittedSize Fit(int w, int h, int boxWidth, int boxHeight) {
  if (w <= 0 || h <= 0 || boxWidth <= 0 || boxHeight <= 0) return {std::max(boxWidth, 1), std::max(boxHeight, 1)};
  if (int64_t{w} * boxHeight > int64_t{h} * boxWidth)
    return {boxWidth, std::max(1, static_cast<int>(int64_t{h} * boxWidth / w))};
  return {std::max(1, static_cast<int>(int64_t{w} * boxHeight / h)), boxHeight};
}

}  // namespace

void TfrmEditVideo::FormShow(TObject*) { OpenPreview(); }

void TfrmEditVideo::FormClose(TObject*, TCloseAction&) { ClosePreview(); }

void TfrmEditVideo::OpenPreview() {
  if (playerIndex_ >= 0) return;
  const int index = QeloCreatePlayerInstance(pnlPreview->Handle(), 1);
  if (index < 0) {
    WriteLog("Edit window: the preview cannot be made.", kLogWarning);
    return;
  }
  playerIndex_ = index;
  QeloSetMsgHandle(Handle(), index);
  liveOutput_->Set(PreviewEntry());
  liveOutput_->SetNotifyWindow(Handle());
  QeloSetCallBack(TLiveOutput::Hook, QELO_HOOK_DRAWS_OUTPUT, liveOutput_.get(), index);
  MediaInfo* info = nullptr;
  const std::u16string path(win::Utf16Field(edited_.path, QELO_PATH_CHARS));
  if (!QeloInitFile(path.c_str(), &info, index)) {
    WriteLog("Edit window: the preview cannot open \"" + win::Utf16ToUtf8(path) + "\".", kLogWarning);
    return;
  }
  const RelativeRect crop = EffectiveCrop(edited_);
  QeloSetCrop(&crop, index);
  QeloForceClipAspect(PlayerClipAspect(), index);
  QeloEnableCrop(page_ == epCrop ? 1 : 0, index);
  PlaceWatermarkOnPreview();
  SetPlaying(false);
  ShowFrameAt(edited_.trimEnabled ? edited_.trimStart : 0);
}

void TfrmEditVideo::ClosePreview() {
  if (playerIndex_ < 0) return;
  const int index = playerIndex_;
  playerIndex_ = -1;
  // No call of the hook can come after this: the player takes its lock.
  QeloSetCallBack(nullptr, 0, nullptr, index);
  liveOutput_->SetNotifyWindow(nullptr);
  QeloSetMsgHandle(nullptr, index);
  QeloDestroyPlayerInstance(index);
  tmRefresh->SetEnabled(false);
  playing_ = false;
}

void TfrmEditVideo::ShowFrameAt(int64_t position) {
  if (playerIndex_ < 0) return;
  // The frame shown takes the entry as it now is: a refresh still to come
  // would seek back to where the preview was.
  tmRefresh->SetEnabled(false);
  const uint64_t bits = static_cast<uint64_t>(std::max<int64_t>(position, 0));
  QeloSeek(static_cast<uint32_t>(bits & 0xFFFFFFFFu), static_cast<int32_t>(bits >> 32), playerIndex_);
}

SourceEntry TfrmEditVideo::PreviewEntry() const {
  SourceEntry entry = edited_;
  entry.watermarkFont.size = PreviewFontSize();
  return entry;
}

void TfrmEditVideo::RefreshPreview() {
  liveOutput_->Set(PreviewEntry());
  // A shown frame is taken again once the changes stop coming (a slider
  // being dragged); playback picks them up with its next frame.
  if (playing_ || playerIndex_ < 0) return;
  tmRefresh->SetEnabled(false);
  tmRefresh->SetEnabled(true);
}

void TfrmEditVideo::tmRefreshTimer(TObject*) {
  tmRefresh->SetEnabled(false);
  if (!playing_) ShowFrameAt(position_);
}

void TfrmEditVideo::SetPlaying(bool playing) {
  playing_ = playing;
  if (!playing) playToTrimEnd_ = false;
  const bool open = playerIndex_ >= 0;
  btnPlay->SetEnabled(open && !playing);
  btnPause->SetEnabled(open && playing);
  btnPrevFrame->SetEnabled(open);
  btnNextFrame->SetEnabled(open);
}

void TfrmEditVideo::btnPlayClick(TObject*) {
  if (playerIndex_ < 0) return;
  QeloPlay(playerIndex_);
  SetPlaying(true);
}

void TfrmEditVideo::btnPauseClick(TObject*) {
  if (playerIndex_ < 0) return;
  QeloPause(playerIndex_);
  SetPlaying(false);
}

void TfrmEditVideo::btnPrevFrameClick(TObject*) {
  if (playerIndex_ < 0) return;
  tmRefresh->SetEnabled(false);
  QeloPreviousFrame(playerIndex_);
  SetPlaying(false);
}

void TfrmEditVideo::btnNextFrameClick(TObject*) {
  if (playerIndex_ < 0) return;
  tmRefresh->SetEnabled(false);
  QeloNextFrame(playerIndex_);
  SetPlaying(false);
}

void TfrmEditVideo::FrameShown(int64_t pts) {
  if (playerIndex_ < 0) return;
  ++framesShown_;
  PlayedTo(pts);
}

void TfrmEditVideo::SoundPlayedTo(int64_t position) {
  // A file with pictures follows its frames.
  if (edited_.videoWidth <= 0) PlayedTo(position);
}

void TfrmEditVideo::PlayedTo(int64_t pts) {
  if (playerIndex_ < 0) return;
  position_ = pts;
  ShowPosition();
  if (playing_ && playToTrimEnd_ && pts >= edited_.trimEnd) {
    QeloPause(playerIndex_);
    SetPlaying(false);
  }
}

void TfrmEditVideo::ShowPosition() {
  {
    TFlagScope scope(updating_);
    tbTrim->SetPosition(position_ / kUnitsPerMs);
  }
  LabTime->SetCaption(TrimTimeText(position_) + " / " + TrimTimeText(edited_.sourceDuration));
}

void TfrmEditVideo::ShowOutputLength() {
  LabOutputLength->SetCaption("Output length " + TrimTimeText(EntryLength(edited_)));
}

void TfrmEditVideo::tbTrimTrackChange(TObject*, int64_t value) {
  if (updating_) return;
  ShowFrameAt(value * kUnitsPerMs);
}

void TfrmEditVideo::tbTrimStartChange(TObject*, int64_t value) {
  if (updating_) return;
  ApplyTrimStart(value * kUnitsPerMs);
}

void TfrmEditVideo::tbTrimEndChange(TObject*, int64_t value) {
  if (updating_) return;
  ApplyTrimEnd(value * kUnitsPerMs);
}

// ---- the preview's picture ---------------------------------------------------------------

int TfrmEditVideo::PreviewFrameHeight() const {
  return Fit(SourceWidth(), SourceHeight(), (pnlPreview->Width() - kPaneGap) / 2, pnlPreview->Height()).height;
}

int TfrmEditVideo::PreviewFontSize() const {
  // The engine draws on the source fitted into the output size.
  const int engineHeight = Fit(SourceWidth(), SourceHeight(), outputWidth_, outputHeight_).height;
  const double scale = double(PreviewFrameHeight()) / std::max(engineHeight, 1);
  return std::max(1, static_cast<int>(edited_.watermarkFont.size * scale + 0.5));
}

}  // namespace qelo::app
