// TfrmEditVideo: the edit window, where the user sets what the engine does
// to one file of a job: the crop, the effects, the watermark and the trim.
//
// One skinned window ("edit" skin). Above, a two-pane preview through the
// player: the original on the left, where the crop is drawn and dragged,
// and the output on the right, made by the engine's own compositing through
// the player's frame hook, where the watermark is dragged; under it
// one bar that seeks (its thumb) and trims (its two markers), and the play,
// pause and frame-step buttons. Below, four pages chosen by tabs: Crop,
// Effect, Watermark, Trim; a file with sound only gets a note in the panes'
// place and the Trim page alone. The window edits a copy of the file's entry; OK
// writes the copy into the job, Cancel (or closing) leaves the job as it
// was.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ct_button.h"
#include "ct_cmbo_bx.h"
#include "ct_edit.h"
#include "ct_label.h"
#include "ct_panel.h"
#include "ct_radchk.h"
#include "edit_window_effects.h"
#include "edit_window_entry.h"
#include "edit_window_output.h"
#include "edit_window_page.h"
#include "qelo_track_bar.h"
#include "skin_form.h"
#include "vcl/controls/listbox.h"
#include "vcl/controls/timer.h"
#include "vcl/dialogs/dialogs.h"
#include "work_group_class.h"

namespace qelo::app {

// The crop shapes offered: the player's own (free, 16:9, 4:3, the source
// picture's) and the output's.
enum TCropAspect { caFree = 0, caOutput = 1, caFourThree = 2, caSixteenNine = 3, caSource = 4 };

class TfrmEditVideo : public controls::TSkinForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmEditVideo(vcl::TComponent* owner);
  ~TfrmEditVideo() override;

  // Takes a copy of entry `entryIndex` of `job` to edit and shows `page`.
  // The job's output settings give the output's size. False for an entry
  // the job does not have.
  bool Load(TWorkGroupClass& job, int entryIndex, TEditPage page);
  const SourceEntry& Edited() const { return edited_; }
  TEditPage Page() const { return page_; }
  void ShowPage(TEditPage page);
  // The preview's player instance; -1 while none is made.
  int PlayerIndex() const { return playerIndex_; }
  // The position the preview last showed, 100-ns units.
  int64_t PreviewPosition() const { return position_; }
  bool Playing() const { return playing_; }
  // How many frames the preview has shown since it opened.
  int FramesShown() const { return framesShown_; }
  // A file with sound only: the window offers only its trim.
  bool SoundOnly() const { return !HasPicture(edited_); }
  // Whether every choice can be written: false, after a message, when a
  // picture watermark's file cannot be read.
  bool CanConfirm();

  // ---- handlers bound by the form file ----
  void FormCreate(vcl::TObject* sender);
  void FormShow(vcl::TObject* sender);
  void FormClose(vcl::TObject* sender, vcl::TCloseAction& action);
  // Enter in a text field takes what was typed there and keeps the window
  // open; elsewhere it is the OK button's.
  void FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift);
  void LabCaptionMouseDown(vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void btnPageClick(vcl::TObject* sender);
  void btnOKClick(vcl::TObject* sender);
  void btnCancelClick(vcl::TObject* sender);
  // Preview.
  void btnPlayClick(vcl::TObject* sender);
  void btnPauseClick(vcl::TObject* sender);
  void btnPrevFrameClick(vcl::TObject* sender);
  void btnNextFrameClick(vcl::TObject* sender);
  void tbTrimTrackChange(vcl::TObject* sender, int64_t value);
  void tbTrimStartChange(vcl::TObject* sender, int64_t value);
  void tbTrimEndChange(vcl::TObject* sender, int64_t value);
  void tmRefreshTimer(vcl::TObject* sender);
  // Crop.
  void edCropExit(vcl::TObject* sender);
  void cbAspectChange(vcl::TObject* sender);
  void btnCropResetClick(vcl::TObject* sender);
  // Effect.
  void btnEffectAddClick(vcl::TObject* sender);
  void btnEffectRemoveClick(vcl::TObject* sender);
  void btnEffectUpClick(vcl::TObject* sender);
  void btnEffectDownClick(vcl::TObject* sender);
  void lbChosenClick(vcl::TObject* sender);
  void tbParamChange(vcl::TObject* sender, int64_t value);
  // Watermark.
  void cbWmKindChange(vcl::TObject* sender);
  void edWmTextChange(vcl::TObject* sender);
  void cbWmFontChange(vcl::TObject* sender);
  void tbTransparencyChange(vcl::TObject* sender, int64_t value);
  void tbWmSizeChange(vcl::TObject* sender, int64_t value);
  void chkWmStyleClick(vcl::TObject* sender);
  void btnWmBrowseClick(vcl::TObject* sender);
  // Trim.
  void edTrimExit(vcl::TObject* sender);
  void btnTrimSetStartClick(vcl::TObject* sender);
  void btnTrimSetEndClick(vcl::TObject* sender);
  void btnTrimPlayClick(vcl::TObject* sender);
  void btnTrimResetClick(vcl::TObject* sender);

  // ---- the form's controls ----
  ct::TCtLabel* LabCaption = nullptr;
  ct::TCtLabel* LabOriginal = nullptr;
  ct::TCtLabel* LabOutput = nullptr;
  ct::TCtPanel* pnlPreview = nullptr;
  ct::TCtLabel* LabSoundOnly = nullptr;
  controls::TQeloTrackBar* tbTrim = nullptr;
  ct::TCtButton* btnPlay = nullptr;
  ct::TCtButton* btnPause = nullptr;
  ct::TCtButton* btnPrevFrame = nullptr;
  ct::TCtButton* btnNextFrame = nullptr;
  ct::TCtLabel* LabTime = nullptr;
  ct::TCtLabel* LabOutputLength = nullptr;
  ct::TCtButton* btnPageCrop = nullptr;
  ct::TCtButton* btnPageEffect = nullptr;
  ct::TCtButton* btnPageWatermark = nullptr;
  ct::TCtButton* btnPageTrim = nullptr;
  ct::TCtPanel* pnlCrop = nullptr;
  ct::TCtPanel* pnlEffect = nullptr;
  ct::TCtPanel* pnlWatermark = nullptr;
  ct::TCtPanel* pnlTrim = nullptr;
  ct::TCtLabel* LabHint = nullptr;
  ct::TCtButton* btnOK = nullptr;
  ct::TCtButton* btnCancel = nullptr;
  vcl::TTimer* tmRefresh = nullptr;
  vcl::TOpenDialog* odPicture = nullptr;
  // Crop page.
  ct::TCtEdit* edCropLeft = nullptr;
  ct::TCtEdit* edCropTop = nullptr;
  ct::TCtEdit* edCropWidth = nullptr;
  ct::TCtEdit* edCropHeight = nullptr;
  ct::TCtLabel* LabCropSize = nullptr;
  ct::TCtComboBox* cbAspect = nullptr;
  ct::TCtButton* btnCropReset = nullptr;
  // Effect page.
  vcl::TListBox* lbEffects = nullptr;
  vcl::TListBox* lbChosen = nullptr;
  ct::TCtButton* btnEffectAdd = nullptr;
  ct::TCtButton* btnEffectRemove = nullptr;
  ct::TCtButton* btnEffectUp = nullptr;
  ct::TCtButton* btnEffectDown = nullptr;
  ct::TCtLabel* LabChosen = nullptr;
  ct::TCtLabel* LabParams = nullptr;
  ct::TCtLabel* LabParam1 = nullptr;
  ct::TCtLabel* LabParam1Value = nullptr;
  controls::TQeloTrackBar* tbParam1 = nullptr;
  ct::TCtLabel* LabParam2 = nullptr;
  ct::TCtLabel* LabParam2Value = nullptr;
  controls::TQeloTrackBar* tbParam2 = nullptr;
  // Watermark page.
  ct::TCtComboBox* cbWmKind = nullptr;
  ct::TCtLabel* LabTransparency = nullptr;
  controls::TQeloTrackBar* tbTransparency = nullptr;
  ct::TCtLabel* LabTransparencyValue = nullptr;
  ct::TCtLabel* LabWmText = nullptr;
  ct::TCtEdit* edWmText = nullptr;
  ct::TCtLabel* LabWmFont = nullptr;
  ct::TCtComboBox* cbWmFont = nullptr;
  ct::TCtLabel* LabWmColor = nullptr;
  ct::TCtComboBox* cbWmColor = nullptr;
  ct::TCtLabel* LabWmPicture = nullptr;
  ct::TCtEdit* edWmPicture = nullptr;
  ct::TCtButton* btnWmBrowse = nullptr;
  ct::TCtLabel* LabWmSize = nullptr;
  controls::TQeloTrackBar* tbWmSize = nullptr;
  ct::TCtLabel* LabWmSizeValue = nullptr;
  ct::TCtCheckBox* chkWmBold = nullptr;
  ct::TCtCheckBox* chkWmItalic = nullptr;
  ct::TCtLabel* LabWmPosition = nullptr;
  // Trim page.
  ct::TCtEdit* edTrimStart = nullptr;
  ct::TCtEdit* edTrimEnd = nullptr;
  ct::TCtButton* btnTrimSetStart = nullptr;
  ct::TCtButton* btnTrimSetEnd = nullptr;
  ct::TCtLabel* LabTrimLength = nullptr;
  ct::TCtButton* btnTrimPlay = nullptr;
  ct::TCtButton* btnTrimReset = nullptr;

 protected:
  void Dispatch(vcl::TMessage& message) override;
  // The preview goes before the controls it sits on.
  void Destroying() override;

 private:
  // Preview (edit_window_preview.cpp).
  void OpenPreview();
  void ClosePreview();
  void ShowFrameAt(int64_t position);
  // The output pane shows the entry as it now is.
  void RefreshPreview();
  // The entry as the preview's frames get it: the text's size scaled as
  // the picture is.
  SourceEntry PreviewEntry() const;
  void SetPlaying(bool playing);
  void FrameShown(int64_t pts);
  // WM_PLAYER_POSITION: a file of sound alone has no frames to follow.
  void SoundPlayedTo(int64_t position);
  // The bar and the time at `pts`; playback from the trim's start pauses at
  // its end.
  void PlayedTo(int64_t pts);
  void ShowPosition();
  void ShowOutputLength();
  // Crop (edit_window_crop.cpp).
  void FillCropPage();
  void ShowCropNumbers();
  void ApplyCrop(const RelativeRect& crop);
  void CropDragged();
  void ApplyAspect();
  int PlayerClipAspect() const;
  double AspectOf(TCropAspect aspect) const;
  // Effect (edit_window_effect_page.cpp).
  void FillEffectPage();
  void ShowChosenEffects(int selected);
  void ShowEffectParams();
  void EffectsChanged(int selected);
  // Watermark (edit_window_watermark.cpp).
  void FillWatermarkPage();
  void ShowWatermarkControls();
  void ShowWatermarkValues();
  void ShowWatermarkPosition();
  void WatermarkChanged();
  void WatermarkDragged();
  // The player draws the watermark's outline and lets it be dragged on the
  // Watermark page only; the watermark itself is the output's.
  void PlaceWatermarkOnPreview();
  // The text's size in the preview, which shows the output smaller.
  int PreviewFontSize() const;
  // Trim (edit_window_trim.cpp).
  void FillTrimPage();
  void ShowTrim();
  // One end moves; the other stays, and the moved one keeps clear of it.
  void ApplyTrimStart(int64_t start);
  void ApplyTrimEnd(int64_t end);
  void ApplyTrimField(ct::TCtEdit* field);

  // Shows only the controls that apply to the file: without a picture,
  // no panes, frame steps, crop, effects or watermark.
  void ShowWhatApplies();
  void JobOutputSize(TWorkGroupClass& job);
  // The preview picture's height: the source fitted into one pane.
  int PreviewFrameHeight() const;
  int SourceWidth() const;
  int SourceHeight() const;
  std::string FileName() const;

  SourceEntry edited_{};
  int outputWidth_ = 0;
  int outputHeight_ = 0;
  TEditPage page_ = epCrop;
  // The preview. The hook lives as long as the player may call it: it is
  // taken off the instance before the instance goes.
  std::unique_ptr<TLiveOutput> liveOutput_;
  int playerIndex_ = -1;
  int64_t position_ = 0;
  int framesShown_ = 0;
  bool playing_ = false;
  // Playback from the trim's start stops at its end.
  bool playToTrimEnd_ = false;
  // The code moves the bar or fills fields: their events change nothing.
  bool updating_ = false;
  // The effects offered, as QeloEnumEffect lists them.
  std::vector<TEffectChoice> effects_;
  // Where the form puts the Trim tab.
  int trimTabLeft_ = 0;
  // The watermark picture's size, for keeping its shape.
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
};

// Opens the edit window modally for entry `entryIndex` of `job` at `page`;
// on OK the entry takes what was set. True when the user confirmed.
bool EditJobEntry(TWorkGroupClass& job, int entryIndex, TEditPage page);

// Makes the edit window's classes and pictures known to form files (once).
void RegisterEditWindowClasses();

}  // namespace qelo::app
