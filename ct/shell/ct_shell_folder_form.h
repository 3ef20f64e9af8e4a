// The window of the folder selection dialog: a shell tree of folders, tool
// buttons that create and delete folders, OK and Cancel, and a status bar
// with the selected folder's path shortened to fit. The dialog component
// makes it, sets it up, runs it modally and frees it.
#pragma once

#include <functional>
#include <string>

#include "ct_button_bitbtn.h"
#include "ct_button_tool.h"
#include "ct_panel_status_bar.h"
#include "ct_shell_ctrls_tree.h"
#include "vcl/controls/extctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/image_list.h"

namespace qelo::ct {

enum TCtSelectFolderDialogOption {
  sfdoCreateDeleteButtons,
  sfdoContextMenus,
  sfdoReadOnly,
  sfdoIncludeNonFolders,
  sfdoOleDrag,
  sfdoOleDrop,
  sfdoCreateFolderIcon,
  sfdoDeleteFolderIcon,
  sfdoVirtualFolders,
  sfdoShowHidden
};
using TCtSelectFolderDialogOptions = vcl::TSet<TCtSelectFolderDialogOption>;
extern const vcl::EnumInfo kSelectFolderDialogOptionInfo;

// The folder newly selected, as an absolute item-id list.
using TCtFolderBrowseSelChangeEvent = std::function<void(vcl::TObject* sender, LPCITEMIDLIST newSelection)>;

// The path, shortened from its first folders ("...\" in their place, then
// the drive, then all but the name) until it fits `maxWidth` pixels in the
// canvas's font. Folders are separated by "/" (a "\" does as well).
std::string MinimizePathText(const std::string& path, vcl::TCanvas& canvas, int maxWidth);

class TCtSelectFolderForm : public vcl::TForm {
  QELO_VCL_CLASS()
 public:
  static constexpr int kMinTrackWidth = 366;
  static constexpr int kMinTrackHeight = 340;

  // Read from its form file, with its four tool pictures.
  explicit TCtSelectFolderForm(vcl::TComponent* owner);

  TCtSelectFolderDialogOptions Options() const { return options_; }
  virtual void ApplyOptions(TCtSelectFolderDialogOptions options);
  void SetStatusText(const std::string& text);

  void FormCreate(vcl::TObject* sender);
  void FormResize(vcl::TObject* sender);
  void ShellTreeChange(vcl::TObject* sender, vcl::TTreeNode* node);
  void CreateBtnClick(vcl::TObject* sender);
  void DeleteBtnClick(vcl::TObject* sender);

  vcl::TNotifyEvent OnFormShow;
  vcl::TNotifyEvent OnFormClose;
  TCtFolderBrowseSelChangeEvent OnSelChange;

  TCtToolButton* btnNewFolder = nullptr;
  TCtToolButton* btnDeleteFolder = nullptr;
  TCtShellTree* ShellTree = nullptr;
  vcl::TPanel* ButtonPanel = nullptr;
  TCtBitBtn* btnOk = nullptr;
  TCtBitBtn* btnCancel = nullptr;
  TCtStatusBar* CtStatusBar1 = nullptr;
  vcl::TImageList* ImageList1 = nullptr;

  void Dispatch(vcl::TMessage& message) override;

 protected:
  void DoShow() override;
  void DoHide() override;
  // The buttons' captions, and the form's when it has none.
  virtual void SetCaptions();

 private:
  void LoadToolPictures();
  void ShowSelectedPath(const std::string& path);

  TCtSelectFolderDialogOptions options_;
};

// Registers the form's class and the classes its form file places (once).
void RegisterCtShellFolderFormClasses();

}  // namespace qelo::ct
