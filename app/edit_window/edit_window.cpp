#include "edit_window.h"

#include <initializer_list>

#include "ct_bmp_btn.h"
#include "ct_common_controller.h"
#include "edit_window_resources.h"
#include "log_bridge.h"
#include "qelo/player_exports.h"
#include "register_controls.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/picture.h"
#include "vcl/sysutils.h"
#include "win/codepage.h"

namespace qelo::app {

using namespace vcl;

namespace {

struct PageInfo {
  TEditPage page;
  const char* hint;
};
constexpr PageInfo kPages[] = {
    {epCrop, "Drag the dashed frame or its handles on the original picture, or type the numbers and press Enter."},
    {epEffect, "The effects work in the order listed; the output picture shows them."},
    {epWatermark, "Drag the watermark on the output picture to place it."},
    {epTrim, "Drag the markers on the bar, or type the times (hh:mm:ss.mmm) and press Enter."},
};

}  // namespace

void RegisterEditWindowClasses() {
  static const bool registered = [] {
    RegisterPictureResources(EditWindowResources());
    ct::RegisterCtCommonClasses();
    ct::RegisterCtButtonClasses();
    ct::RegisterCtBmpButtonClasses();
    ct::RegisterCtLabelClasses();
    ct::RegisterCtPanelClasses();
    ct::RegisterCtEditClasses();
    ct::RegisterCtComboBoxClasses();
    ct::RegisterCtRadChkClasses();
    controls::RegisterCustomControls();
    RegisterDialogClasses();
    RegisterClass(TfrmEditVideo::StaticClass());
    return true;
  }();
  (void)registered;
}

const ClassInfo& TfrmEditVideo::StaticClass() {
  using T = TfrmEditVideo;
  static const ClassInfo info =
      ClassBuilder<T>("TfrmEditVideo", TSkinForm::StaticClass())
          .Field("LabCaption", &T::LabCaption)
          .Field("LabOriginal", &T::LabOriginal)
          .Field("LabOutput", &T::LabOutput)
          .Field("pnlPreview", &T::pnlPreview)
          .Field("LabSoundOnly", &T::LabSoundOnly)
          .Field("tbTrim", &T::tbTrim)
          .Field("btnPlay", &T::btnPlay)
          .Field("btnPause", &T::btnPause)
          .Field("btnPrevFrame", &T::btnPrevFrame)
          .Field("btnNextFrame", &T::btnNextFrame)
          .Field("LabTime", &T::LabTime)
          .Field("LabOutputLength", &T::LabOutputLength)
          .Field("btnPageCrop", &T::btnPageCrop)
          .Field("btnPageEffect", &T::btnPageEffect)
          .Field("btnPageWatermark", &T::btnPageWatermark)
          .Field("btnPageTrim", &T::btnPageTrim)
          .Field("pnlCrop", &T::pnlCrop)
          .Field("pnlEffect", &T::pnlEffect)
          .Field("pnlWatermark", &T::pnlWatermark)
          .Field("pnlTrim", &T::pnlTrim)
          .Field("LabHint", &T::LabHint)
          .Field("btnOK", &T::btnOK)
          .Field("btnCancel", &T::btnCancel)
          .Field("tmRefresh", &T::tmRefresh)
          .Field("odPicture", &T::odPicture)
          .Field("edCropLeft", &T::edCropLeft)
          .Field("edCropTop", &T::edCropTop)
          .Field("edCropWidth", &T::edCropWidth)
          .Field("edCropHeight", &T::edCropHeight)
          .Field("LabCropSize", &T::LabCropSize)
          .Field("cbAspect", &T::cbAspect)
          .Field("btnCropReset", &T::btnCropReset)
          .Field("lbEffects", &T::lbEffects)
          .Field("lbChosen", &T::lbChosen)
          .Field("btnEffectAdd", &T::btnEffectAdd)
          .Field("btnEffectRemove", &T::btnEffectRemove)
          .Field("btnEffectUp", &T::btnEffectUp)
          .Field("btnEffectDown", &T::btnEffectDown)
          .Field("LabChosen", &T::LabChosen)
          .Field("LabParams", &T::LabParams)
          .Field("LabParam1", &T::LabParam1)
          .Field("LabParam1Value", &T::LabParam1Value)
          .Field("tbParam1", &T::tbParam1)
          .Field("LabParam2", &T::LabParam2)
          .Field("LabParam2Value", &T::LabParam2Value)
          .Field("tbParam2", &T::tbParam2)
          .Field("cbWmKind", &T::cbWmKind)
          .Field("LabTransparency", &T::LabTransparency)
          .Field("tbTransparency", &T::tbTransparency)
          .Field("LabTransparencyValue", &T::LabTransparencyValue)
          .Field("LabWmText", &T::LabWmText)
          .Field("edWmText", &T::edWmText)
          .Field("LabWmFont", &T::LabWmFont)
          .Field("cbWmFont", &T::cbWmFont)
          .Field("LabWmColor", &T::LabWmColor)
          .Field("cbWmColor", &T::cbWmColor)
          .Field("LabWmPicture", &T::LabWmPicture)
          .Field("edWmPicture", &T::edWmPicture)
          .Field("btnWmBrowse", &T::btnWmBrowse)
          .Field("LabWmSize", &T::LabWmSize)
          .Field("tbWmSize", &T::tbWmSize)
          .Field("LabWmSizeValue", &T::LabWmSizeValue)
          .Field("chkWmBold", &T::chkWmBold)
          .Field("chkWmItalic", &T::chkWmItalic)
          .Field("LabWmPosition", &T::LabWmPosition)
          .Field("edTrimStart", &T::edTrimStart)
          .Field("edTrimEnd", &T::edTrimEnd)
          .Field("btnTrimSetStart", &T::btnTrimSetStart)
          .Field("btnTrimSetEnd", &T::btnTrimSetEnd)
          .Field("LabTrimLength", &T::LabTrimLength)
          .Field("btnTrimPlay", &T::btnTrimPlay)
          .Field("btnTrimReset", &T::btnTrimReset)
          .Method("FormCreate", &T::FormCreate)
          .Method("FormShow", &T::FormShow)
          .Method("FormClose", &T::FormClose)
          .Method("FormKeyDown", &T::FormKeyDown)
          .Method("LabCaptionMouseDown", &T::LabCaptionMouseDown)
          .Method("btnPageClick", &T::btnPageClick)
          .Method("btnOKClick", &T::btnOKClick)
          .Method("btnCancelClick", &T::btnCancelClick)
          .Method("btnPlayClick", &T::btnPlayClick)
          .Method("btnPauseClick", &T::btnPauseClick)
          .Method("btnPrevFrameClick", &T::btnPrevFrameClick)
          .Method("btnNextFrameClick", &T::btnNextFrameClick)
          .Method("tbTrimTrackChange", &T::tbTrimTrackChange)
          .Method("tbTrimStartChange", &T::tbTrimStartChange)
          .Method("tbTrimEndChange", &T::tbTrimEndChange)
          .Method("tmRefreshTimer", &T::tmRefreshTimer)
          .Method("edCropExit", &T::edCropExit)
          .Method("cbAspectChange", &T::cbAspectChange)
          .Method("btnCropResetClick", &T::btnCropResetClick)
          .Method("btnEffectAddClick", &T::btnEffectAddClick)
          .Method("btnEffectRemoveClick", &T::btnEffectRemoveClick)
          .Method("btnEffectUpClick", &T::btnEffectUpClick)
          .Method("btnEffectDownClick", &T::btnEffectDownClick)
          .Method("lbChosenClick", &T::lbChosenClick)
          .Method("tbParamChange", &T::tbParamChange)
          .Method("cbWmKindChange", &T::cbWmKindChange)
          .Method("edWmTextChange", &T::edWmTextChange)
          .Method("cbWmFontChange", &T::cbWmFontChange)
          .Method("tbTransparencyChange", &T::tbTransparencyChange)
          .Method("tbWmSizeChange", &T::tbWmSizeChange)
          .Method("chkWmStyleClick", &T::chkWmStyleClick)
          .Method("btnWmBrowseClick", &T::btnWmBrowseClick)
          .Method("edTrimExit", &T::edTrimExit)
          .Method("btnTrimSetStartClick", &T::btnTrimSetStartClick)
          .Method("btnTrimSetEndClick", &T::btnTrimSetEndClick)
          .Method("btnTrimPlayClick", &T::btnTrimPlayClick)
          .Method("btnTrimResetClick", &T::btnTrimResetClick)
          .Done();
  return info;
}

TfrmEditVideo::TfrmEditVideo(TComponent* owner)
    : TSkinForm(owner, StaticClass()), liveOutput_(std::make_unique<TLiveOutput>()), effects_(ListEffects()) {
  RegisterEditWindowClasses();
  ReadComponentResource(*this, EditWindowResources());
  trimTabLeft_ = btnPageTrim->Left();
}

TfrmEditVideo::~TfrmEditVideo() = default;

void TfrmEditVideo::Destroying() {
  ClosePreview();
  TSkinForm::Destroying();
}

void TfrmEditVideo::FormCreate(TObject*) { ApplySkin(); }

bool TfrmEditVideo::Load(TWorkGroupClass& job, int entryIndex, TEditPage page) {
  const SourceEntry* entry = job.EntryAt(entryIndex);
  if (!entry) return false;
  edited_ = *entry;
  // What the window shows is sound from the start: a damaged record is not
  // carried into the preview or back into the job.
  SetTrim(edited_, edited_.trimEnabled ? edited_.trimStart : 0,
          edited_.trimEnabled ? edited_.trimEnd : edited_.sourceDuration);
  SetCrop(edited_, EffectiveCrop(edited_));
  edited_.effectCount = EffectCount(edited_);
  GiveWatermarkDefaults(edited_);
  JobOutputSize(job);
  LabCaption->SetCaption("Edit - " + FileName());
  FillCropPage();
  FillEffectPage();
  FillWatermarkPage();
  FillTrimPage();
  ShowOutputLength();
  ShowPosition();
  ShowWhatApplies();
  ShowPage(page);
  return true;
}

void TfrmEditVideo::ShowWhatApplies() {
  const bool picture = HasPicture(edited_);
  for (TControl* control : std::initializer_list<TControl*>{LabOriginal, LabOutput, pnlPreview, btnPrevFrame,
                                                             btnNextFrame, btnPageCrop, btnPageEffect,
                                                             btnPageWatermark})
    control->SetVisible(picture);
  // The one page keeps its tab, at the first tab's place.
  btnPageTrim->SetLeft(picture ? trimTabLeft_ : btnPageCrop->Left());
  LabSoundOnly->SetVisible(!picture);
  if (picture) return;
  LabSoundOnly->SetCaption(FileName() +
                           " has sound only: there is no picture to crop, colour or mark.\n"
                           "Play lets you hear it; the markers on the bar and the Trim page below set the part "
                           "converted.");
}

void TfrmEditVideo::JobOutputSize(TWorkGroupClass& job) {
  const FormatSettings& format = job.GetFormatSettings();
  outputWidth_ = format.width > 0 ? format.width : SourceWidth();
  outputHeight_ = format.height > 0 ? format.height : SourceHeight();
}

void TfrmEditVideo::ShowPage(TEditPage page) {
  if (page < epCrop || page > epTrim) page = epCrop;
  if (SoundOnly()) page = epTrim;
  page_ = page;
  ct::TCtButton* const tabs[] = {btnPageCrop, btnPageEffect, btnPageWatermark, btnPageTrim};
  ct::TCtPanel* const panels[] = {pnlCrop, pnlEffect, pnlWatermark, pnlTrim};
  for (int i = 0; i <= epTrim; ++i) {
    tabs[i]->SetDown(i == page);
    panels[i]->SetVisible(i == page);
  }
  LabHint->SetCaption(kPages[page].hint);
  // The crop's frame and handles are drawn and dragged only on its page, and
  // the watermark's on its own: elsewhere the panes show the pictures alone.
  if (playerIndex_ >= 0) QeloEnableCrop(page == epCrop ? 1 : 0, playerIndex_);
  PlaceWatermarkOnPreview();
}

void TfrmEditVideo::btnPageClick(TObject* sender) {
  if (auto* tab = dynamic_cast<TComponent*>(sender)) ShowPage(static_cast<TEditPage>(tab->Tag()));
}

bool TfrmEditVideo::CanConfirm() {
  if (WatermarkChoiceOf(edited_) == wcPicture && !ReadablePicture(WatermarkImagePath(edited_))) {
    Application()->MessageBox("The watermark picture cannot be read:\n" + WatermarkImagePath(edited_),
                              "Information", MB_OK | MB_ICONWARNING);
    ShowPage(epWatermark);
    return false;
  }
  return true;
}

void TfrmEditVideo::btnOKClick(TObject*) {
  if (!CanConfirm()) return;
  // A text watermark without text draws nothing: it is stored as none.
  if (WatermarkChoiceOf(edited_) == wcText && WatermarkText(edited_).empty()) SetWatermarkChoice(edited_, wcNone);
  SetModalResult(mrOk);
}

void TfrmEditVideo::btnCancelClick(TObject*) { SetModalResult(mrCancel); }

void TfrmEditVideo::FormKeyDown(TObject*, uint16_t& key, TShiftState) {
  if (key != win::VK_RETURN) return;
  auto* field = dynamic_cast<ct::TCtEdit*>(ActiveControl());
  if (!field) return;
  if (field == edCropLeft || field == edCropTop || field == edCropWidth || field == edCropHeight)
    edCropExit(field);
  else if (field == edTrimStart || field == edTrimEnd)
    edTrimExit(field);
  // The watermark's text is taken as it is typed.
  key = 0;
}

void TfrmEditVideo::LabCaptionMouseDown(TObject*, TMouseButton, TShiftState, int, int) { MoveByMouse(); }

void TfrmEditVideo::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_EDIT_FRAME_SHOWN:
      FrameShown(static_cast<int64_t>((uint64_t(uint32_t(message.WParam)) << 32) | uint32_t(message.LParam)));
      return;
    case WM_PLAYER_POSITION:
      SoundPlayedTo(static_cast<int64_t>((uint64_t(uint32_t(message.WParam)) << 32) | uint32_t(message.LParam)));
      return;
    case WM_PLAYER_END:
      SetPlaying(false);
      return;
    case WM_PLAYER_CROP_RECT:
      CropDragged();
      return;
    case WM_PLAYER_WATERMARK_MOVED:
      WatermarkDragged();
      return;
    default:
      TSkinForm::Dispatch(message);
  }
}

// ---- the file's picture ------------------------------------------------------------------

int TfrmEditVideo::SourceWidth() const { return edited_.videoWidth > 0 ? edited_.videoWidth : 1; }
int TfrmEditVideo::SourceHeight() const { return edited_.videoHeight > 0 ? edited_.videoHeight : 1; }

std::string TfrmEditVideo::FileName() const {
  return ExtractFileName(win::Utf16ToUtf8(win::Utf16Field(edited_.path, QELO_PATH_CHARS)));
}

// ---- the modal run -----------------------------------------------------------------------

bool EditJobEntry(TWorkGroupClass& job, int entryIndex, TEditPage page) {
  SourceEntry* entry = job.EntryAt(entryIndex);
  if (!entry) return false;
  RegisterEditWindowClasses();
  auto* window = new TfrmEditVideo(Application());
  bool confirmed = false;
  try {
    window->Load(job, entryIndex, page);
    confirmed = window->ShowModal() == mrOk;
    if (confirmed) WriteEditedFields(window->Edited(), *entry);
  } catch (...) {
    window->Free();
    throw;
  }
  window->Free();
  return confirmed;
}

}  // namespace qelo::app
