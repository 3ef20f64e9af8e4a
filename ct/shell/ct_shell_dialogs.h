// The shell dialogs: components a form places and runs with Execute.
// TCtShellDialog holds what every shell dialog shares (the window's
// placement and look, the guard against a second run, the placement
// stream); the folder selection dialog runs the folder form and hands back
// the chosen folder. The placement the user leaves is kept for the next
// run of the same component.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ct_common_color.h"
#include "ct_common_controller.h"
#include "ct_common_frames.h"
#include "ct_common_types.h"
#include "ct_shell_folder_form.h"
#include "vcl/controls/forms.h"

namespace qelo::ct {

class TCtShellDialog : public vcl::TComponent {
  QELO_VCL_CLASS()
 public:
  // Left, top, width and height as 32-bit numbers, then the window state
  // and the position as a byte each.
  static constexpr std::size_t kFormDataSize = 18;

  explicit TCtShellDialog(vcl::TComponent* owner);

  // Runs the dialog; true when the user confirmed. Exception "<class>
  // already executing" when a run of this component is under way.
  bool Execute();
  bool Executing() const { return executing_; }

  void WriteFormData(std::vector<uint8_t>& stream) const;
  // Takes the placement back from a stream; a stream shorter than
  // kFormDataSize, or with a window state or position that does not
  // exist, changes nothing and gives false.
  bool ReadFormData(const std::vector<uint8_t>& stream);

  vcl::TPosition FormPosition() const { return formPosition_; }
  void SetFormPosition(vcl::TPosition value) { formPosition_ = value; }
  int FormLeft() const { return formLeft_; }
  void SetFormLeft(int value) { formLeft_ = value; }
  int FormTop() const { return formTop_; }
  void SetFormTop(int value) { formTop_ = value; }
  int FormWidth() const { return formWidth_; }
  void SetFormWidth(int value) { formWidth_ = value; }
  int FormHeight() const { return formHeight_; }
  void SetFormHeight(int value) { formHeight_ = value; }
  vcl::TWindowState FormWindowState() const { return formWindowState_; }
  void SetFormWindowState(vcl::TWindowState value) { formWindowState_ = value; }
  vcl::TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(vcl::TColor value) { frameColor_ = value; }
  TFrameStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFrameStyle value) { frameStyle_ = value; }
  bool FrameVisible() const { return frameVisible_; }
  void SetFrameVisible(bool value) { frameVisible_ = value; }
  TFramingPreference FramingPreference() const { return framingPreference_; }
  void SetFramingPreference(TFramingPreference value) { framingPreference_ = value; }
  vcl::TColor ButtonColor() const { return buttonColor_; }
  void SetButtonColor(vcl::TColor value) { buttonColor_ = value; }
  bool ShowButtonGlyphs() const { return showButtonGlyphs_; }
  void SetShowButtonGlyphs(bool value) { showButtonGlyphs_ = value; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value) { hotTrack_ = value; }
  vcl::TColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(vcl::TColor value) { highlightColor_ = value; }
  vcl::TColor HotTrackColor() const { return hotTrackColor_; }
  void SetHotTrackColor(vcl::TColor value) { hotTrackColor_ = value; }
  TCtHotTrackColorType HotTrackColorType() const { return hotTrackColorType_; }
  void SetHotTrackColorType(TCtHotTrackColorType value) { hotTrackColorType_ = value; }
  TCtGradientColorStyle ToolBtnGradientColorStyle() const { return toolBtnGradientColorStyle_; }
  void SetToolBtnGradientColorStyle(TCtGradientColorStyle value) { toolBtnGradientColorStyle_ = value; }
  vcl::TColor ToolBtnSelectionColorStart() const { return toolBtnSelectionColorStart_; }
  void SetToolBtnSelectionColorStart(vcl::TColor value) { toolBtnSelectionColorStart_ = value; }
  vcl::TColor ToolBtnSelectionColorStop() const { return toolBtnSelectionColorStop_; }
  void SetToolBtnSelectionColorStop(vcl::TColor value) { toolBtnSelectionColorStop_ = value; }
  vcl::TColor ToolBtnSelectionFrameColor() const { return toolBtnSelectionFrameColor_; }
  void SetToolBtnSelectionFrameColor(vcl::TColor value) { toolBtnSelectionFrameColor_ = value; }
  TCtVisualStyle ToolBtnVisualStyle() const { return toolBtnVisualStyle_; }
  void SetToolBtnVisualStyle(TCtVisualStyle value) { toolBtnVisualStyle_ = value; }
  // The text the form's status bar starts with (empty unless set).
  const std::string& StatusText() const { return statusText_; }
  void SetStatusText(const std::string& text) { statusText_ = text; }

  // After the form is made and set up, before it is shown.
  vcl::TNotifyEvent OnInitialized;
  vcl::TNotifyEvent OnFormShow;
  vcl::TNotifyEvent OnFormClose;

 protected:
  // The run itself, inside the guard.
  virtual bool Run() = 0;

 private:
  vcl::TPosition formPosition_ = vcl::poScreenCenter;
  int formLeft_ = -1;
  int formTop_ = -1;
  int formWidth_ = -1;
  int formHeight_ = -1;
  vcl::TWindowState formWindowState_ = vcl::wsNormal;
  vcl::TColor frameColor_ = vcl::clBtnShadow;
  TFrameStyle frameStyle_ = fsFlat;
  bool frameVisible_ = false;
  TFramingPreference framingPreference_ = fpXPThemes;
  vcl::TColor buttonColor_ = vcl::clBtnFace;
  bool showButtonGlyphs_ = false;
  bool hotTrack_ = false;
  vcl::TColor highlightColor_ = vcl::clHighlight;
  vcl::TColor hotTrackColor_ = 0x149BF0;
  TCtHotTrackColorType hotTrackColorType_ = htctActual;
  TCtGradientColorStyle toolBtnGradientColorStyle_ = gcsSystem;
  vcl::TColor toolBtnSelectionColorStart_ = vcl::clBtnFace;
  vcl::TColor toolBtnSelectionColorStop_ = vcl::clBtnShadow;
  vcl::TColor toolBtnSelectionFrameColor_ = vcl::cl3DDkShadow;
  TCtVisualStyle toolBtnVisualStyle_ = vsWinXP;
  std::string statusText_;
  bool executing_ = false;
};

inline constexpr TCtSelectFolderDialogOptions kDefaultSelectFolderDialogOptions{
    sfdoContextMenus, sfdoCreateFolderIcon, sfdoDeleteFolderIcon, sfdoShowHidden};

class TCtCustomSelectFolderDialog : public TCtShellDialog {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomSelectFolderDialog(vcl::TComponent* owner);
  ~TCtCustomSelectFolderDialog() override;

  // Empty: the form shows "Browse for Folder".
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  // The tree's root; set by copying.
  TCtShellLocator* BaseFolder() const { return baseFolder_.get(); }
  void SetBaseFolder(TCtShellLocator* folder) { baseFolder_->Assign(folder); }
  TCtSelectFolderDialogOptions Options() const { return options_; }
  void SetOptions(TCtSelectFolderDialogOptions options) { options_ = options; }
  // The folder the tree opens at, and the one chosen after an OK.
  TCtShellLocator* SelectedFolder() const { return selectedFolder_.get(); }
  std::string SelectedPathName() const { return selectedFolder_->GetPathName(); }
  void SetSelectedPathName(const std::string& path) { selectedFolder_->SetPathName(path); }
  // The form of the run under way; null between runs.
  TCtSelectFolderForm* Form() const { return form_; }

  TCtShAddItemEvent OnAddItem;
  TCtFolderBrowseSelChangeEvent OnSelChange;

 protected:
  virtual TCtSelectFolderForm* CreateForm();
  virtual void CopySettingsToForm(TCtSelectFolderForm& form);
  virtual void CopyResultsFromForm(TCtSelectFolderForm& form);
  bool Run() override;

 private:
  std::string title_;
  std::unique_ptr<TCtShellLocator> baseFolder_;
  std::unique_ptr<TCtShellLocator> selectedFolder_;
  TCtSelectFolderDialogOptions options_ = kDefaultSelectFolderDialogOptions;
  TCtSelectFolderForm* form_ = nullptr;
};

class TCtSelectFolderDialog : public TCtCustomSelectFolderDialog {
  QELO_VCL_CLASS()
 public:
  using TCtCustomSelectFolderDialog::TCtCustomSelectFolderDialog;
};

// Registers TCtSelectFolderDialog (once) so that form files can place it.
void RegisterCtShellDialogClasses();

}  // namespace qelo::ct
