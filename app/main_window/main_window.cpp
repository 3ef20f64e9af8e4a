#include "main_window.h"

#include "main_window_convert.h"
#include "qelo/player.h"

#include "program_resources.h"
#include "startup.h"
#include "vcl/form_reader.h"

namespace qelo::app {

using namespace vcl;

const ClassInfo& TfrmVideoConvertor::StaticClass() {
  using T = TfrmVideoConvertor;
  static const ClassInfo info = ClassBuilder<T>("TfrmVideoConvertor", TSkinForm::StaticClass())
      .Field("Image1", &T::Image1)
      .Field("LabCaption", &T::LabCaption)
      .Field("BtnFileMenu", &T::BtnFileMenu)
      .Field("btnEditMenu", &T::btnEditMenu)
      .Field("btnHelpMenu", &T::btnHelpMenu)
      .Field("LabSource", &T::LabSource)
      .Field("btnAddMediaFile", &T::btnAddMediaFile)
      .Field("btnEdit", &T::btnEdit)
      .Field("BtnMerge", &T::BtnMerge)
      .Field("lvMediaFile", &T::lvMediaFile)
      .Field("ilRowHeight", &T::ilRowHeight)
      .Field("pnlPlayer", &T::pnlPlayer)
      .Field("tbPlayer", &T::tbPlayer)
      .Field("BtnPlay", &T::BtnPlay)
      .Field("btnPause", &T::btnPause)
      .Field("btnStop", &T::btnStop)
      .Field("btnSnapshot", &T::btnSnapshot)
      .Field("btnSnapMenu", &T::btnSnapMenu)
      .Field("LabDestination", &T::LabDestination)
      .Field("lblProfile", &T::lblProfile)
      .Field("btnProfile", &T::btnProfile)
      .Field("btnSettings", &T::btnSettings)
      .Field("lblOutPath", &T::lblOutPath)
      .Field("beOutpath", &T::beOutpath)
      .Field("BtnOpenPath", &T::BtnOpenPath)
      .Field("LabStart", &T::LabStart)
      .Field("BtnStart", &T::BtnStart)
      .Field("BtnStartStop", &T::BtnStartStop)
      .Field("chkAutoShutdown", &T::chkAutoShutdown)
      .Field("pbWgProgress", &T::pbWgProgress)
      .Field("pbTotalProgress", &T::pbTotalProgress)
      .Field("odMediaFile", &T::odMediaFile)
      .Field("fdOutputPath", &T::fdOutputPath)
      .Field("menuFile", &T::menuFile)
      .Field("Open1", &T::Open1)
      .Field("Exit1", &T::Exit1)
      .Field("MenuEdit", &T::MenuEdit)
      .Field("miCrop", &T::miCrop)
      .Field("miEffect", &T::miEffect)
      .Field("miWatermark", &T::miWatermark)
      .Field("miClip", &T::miClip)
      .Field("miDelete", &T::miDelete)
      .Field("miClear", &T::miClear)
      .Field("MenuHelp", &T::MenuHelp)
      .Field("miHelp", &T::miHelp)
      .Field("ServiceSupport1", &T::ServiceSupport1)
      .Field("About1", &T::About1)
      .Field("pmMediaFile", &T::pmMediaFile)
      .Field("ppmEdit", &T::ppmEdit)
      .Field("ppmMerge", &T::ppmMerge)
      .Field("ppmDelete", &T::ppmDelete)
      .Field("ppmClear", &T::ppmClear)
      .Field("ppmMoveDown", &T::ppmMoveDown)
      .Field("ppmMoveup", &T::ppmMoveup)
      .Field("ppmAdd", &T::ppmAdd)
      .Field("menuSelectAll", &T::menuSelectAll)
      .Field("pmSnapshot", &T::pmSnapshot)
      .Field("miSnapshot", &T::miSnapshot)
      .Field("miExploreSnap", &T::miExploreSnap)
      .Field("miSetOutpath", &T::miSetOutpath)
      .Method("FormCreate", &T::FormCreate)
      .Method("FormShow", &T::FormShow)
      .Method("FormCloseQuery", &T::FormCloseQuery)
      .Method("FormClose", &T::FormClose)
      .Method("FormDestroy", &T::FormDestroy)
      .Method("FormMouseDown", &T::FormMouseDown)
      .Method("LabCaptionMouseDown", &T::LabCaptionMouseDown)
      .Method("BtnFileMenuClick", &T::BtnFileMenuClick)
      .Method("Exit1Click", &T::Exit1Click)
      .Method("miHelpClick", &T::miHelpClick)
      .Method("ServiceSupport1Click", &T::ServiceSupport1Click)
      .Method("About1Click", &T::About1Click)
      .Method("beOutpathClick", &T::beOutpathClick)
      .Method("BtnOpenPathClick", &T::BtnOpenPathClick)
      .Method("btnAddMediaFileClick", &T::btnAddMediaFileClick)
      .Method("ppmAddClick", &T::ppmAddClick)
      .Method("lvMediaFileCustomDrawItem", &T::lvMediaFileCustomDrawItem)
      .Method("lvMediaFileDrawHeader", &T::lvMediaFileDrawHeader)
      .Method("lvMediaFileMouseDown", &T::lvMediaFileMouseDown)
      .Method("lvMediaFileMouseMove", &T::lvMediaFileMouseMove)
      .Method("lvMediaFileMouseLeave", &T::lvMediaFileMouseLeave)
      .Method("lvMediaFileKeyDown", &T::lvMediaFileKeyDown)
      .Method("lvMediaFileSelectItem", &T::lvMediaFileSelectItem)
      .Method("lvMediaFileDblClick", &T::lvMediaFileDblClick)
      .Method("lvMediaFileCustomDraw", &T::lvMediaFileCustomDraw)
      .Method("lvMediaFileColumnDragged", &T::lvMediaFileColumnDragged)
      .Method("lvMediaFileDataStateChange", &T::lvMediaFileDataStateChange)
      .Method("miDeleteClick", &T::miDeleteClick)
      .Method("ppmDeleteClick", &T::ppmDeleteClick)
      .Method("miClearClick", &T::miClearClick)
      .Method("ppmClearClick", &T::ppmClearClick)
      .Method("ppmMoveupClick", &T::ppmMoveupClick)
      .Method("ppmMoveDownClick", &T::ppmMoveDownClick)
      .Method("menuSelectAllClick", &T::menuSelectAllClick)
      .Method("pmMediaFilePopup", &T::pmMediaFilePopup)
      .Method("btnEditClick", &T::btnEditClick)
      .Method("miEffectClick", &T::miEffectClick)
      .Method("miWatermarkClick", &T::miWatermarkClick)
      .Method("miClipClick", &T::miClipClick)
      .Method("ppmEditClick", &T::ppmEditClick)
      .Method("BtnMergeClick", &T::BtnMergeClick)
      .Method("ppmMergeClick", &T::ppmMergeClick)
      .Method("btnProfileClick", &T::btnProfileClick)
      .Method("btnSettingsClick", &T::btnSettingsClick)
      .Method("BtnPlayClick", &T::BtnPlayClick)
      .Method("btnPauseClick", &T::btnPauseClick)
      .Method("btnStopClick", &T::btnStopClick)
      .Method("tbPlayerTrackChange", &T::tbPlayerTrackChange)
      .Method("btnSnapshotClick", &T::btnSnapshotClick)
      .Method("btnSnapMenuClick", &T::btnSnapMenuClick)
      .Method("miExploreSnapClick", &T::miExploreSnapClick)
      .Method("miSetOutpathClick", &T::miSetOutpathClick)
      .Method("BtnStartClick", &T::BtnStartClick)
      .Done();
  return info;
}

TfrmVideoConvertor::TfrmVideoConvertor(TComponent* owner) : TSkinForm(owner, StaticClass()) {
  ReadComponentResource(*this, ProgramResources());
}

TfrmVideoConvertor::~TfrmVideoConvertor() { FreeHeldMediaInfo(); }

uint32_t TfrmVideoConvertor::RowData(const TListItem* item) {
  return item ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(item->Data())) : 0;
}

void TfrmVideoConvertor::SetRowData(TListItem* item, uint32_t data) {
  item->SetData(reinterpret_cast<void*>(static_cast<uintptr_t>(data)));
}

void TfrmVideoConvertor::SetMainCaptions() {
  SetCaption(kProgramName);
  LabCaption->SetCaption(kProgramName);
  LabSource->SetCaption("1. Source Setup");
  LabDestination->SetCaption("2. Destination Setup");
  LabStart->SetCaption("3. Start Conversion");
  lblProfile->SetCaption("Convert to");
  lblOutPath->SetCaption("Save to");
  chkAutoShutdown->SetCaption("Shutdown when done");
  const char* columns[] = {"Source File", "Original Length", "Output Length", "Output Format", "Destination File"};
  for (int i = 0; i < lvMediaFile->Columns()->Count() && i < 5; ++i)
    lvMediaFile->Columns()->Items(i)->SetCaption(columns[i]);
  beOutpath->SetHint(" Specify Destination Folder...");
  BtnOpenPath->SetHint("Open Destination Folder...");
  BtnPlay->SetHint("Play");
  btnPause->SetHint("Pause");
  btnStop->SetHint("Stop");
  btnSnapshot->SetHint("Take a Snapshot");
  btnSnapMenu->SetHint("Setting... ");
  About1->SetCaption(std::string("About ") + kProgramName + "...");
}

void TfrmVideoConvertor::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PROFILE_SELECTED:
      WMProfileSelected(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
      return;
    case WM_OPEN_FORMAT_CELL_MENU:
      OpenFormatCellMenu(static_cast<int>(message.WParam));
      return;
    case WM_OPEN_LIST_MENU:
      pmMediaFile->Popup(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
      return;
    case WM_PLAYER_POSITION:
      WMPlayerPosition(static_cast<uint32_t>(message.WParam), static_cast<uint32_t>(message.LParam));
      return;
    case WM_PLAYER_END:
      WMPlayerEnd();
      return;
    case WM_CONVERT_PROGRESS:
      WMConvertProgress(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
      return;
    case WM_CONVERT_JOB_START:
      WMConvertJobStart(static_cast<int32_t>(message.LParam));
      return;
    case WM_CONVERT_JOB_DONE:
      WMConvertJobDone(static_cast<int32_t>(message.LParam));
      return;
    case WM_CONVERT_ALL_DONE:
      WMConvertAllDone();
      return;
    case WM_CONVERT_STOPPED:
      WMConvertStopped(message.LParam == 1);
      return;
    default:
      TSkinForm::Dispatch(message);
  }
}

}  // namespace qelo::app
