#include "ct_shell_folder_form.h"

#include <algorithm>

#include "ct_resources.h"
#include "ct_shell_resources.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/png_image.h"
#include "win/window/window.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kSelectFolderDialogOptionInfo{
    "TCtSelectFolderDialogOption",
    {"sfdoCreateDeleteButtons", "sfdoContextMenus", "sfdoReadOnly", "sfdoIncludeNonFolders", "sfdoOleDrag",
     "sfdoOleDrop", "sfdoCreateFolderIcon", "sfdoDeleteFolderIcon", "sfdoVirtualFolders", "sfdoShowHidden"}};

namespace {

constexpr const char* kBrowseForFolder = "Browse for Folder";
constexpr const char* kOkCaption = "OK";
constexpr const char* kCancelCaption = "Cancel";
constexpr const char* kCreateFolderCaption = "Create Folder";
constexpr const char* kDeleteCaption = "Delete";
constexpr const char* kFormFont = "MS Sans Serif";
constexpr int kNewFolderImage = 0, kDeleteImage = 2;
// The status text keeps this far from the bar's right end.
constexpr int kStatusTextMargin = 20;

// The tool pictures in image-list order: new folder, the same disabled,
// delete, the same disabled.
constexpr const char* kToolPictures[] = {"CTSELECTFOLDER_NEWFOLDER", "CTSELECTFOLDER_NEWFOLDER_DISABLED",
                                         "CTSELECTFOLDER_DELETE", "CTSELECTFOLDER_DELETE_DISABLED"};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// "/" becomes empty; a leading separator is set aside and a leading "...\"
// dropped; then the first folder goes and "...\" stands in its place.
std::string DropFirstFolder(std::string folder) {
  if (folder.size() == 1 && IsSeparator(folder[0])) return {};
  std::string lead;
  if (!folder.empty() && IsSeparator(folder[0])) {
    lead = folder.substr(0, 1);
    folder.erase(0, 1);
  }
  if (folder.size() >= 4 && folder.compare(0, 3, "...") == 0 && IsSeparator(folder[3])) folder.erase(0, 4);
  const std::size_t separator = folder.find_first_of("/\\");
  folder = separator == std::string::npos ? std::string() : "..." + folder.substr(separator, 1) + folder.substr(separator + 1);
  return lead + folder;
}

bool IsEllipsisFolder(const std::string& folder) {
  return folder.size() == 5 && IsSeparator(folder[0]) && folder.compare(1, 3, "...") == 0 && IsSeparator(folder[4]);
}

}  // namespace

std::string MinimizePathText(const std::string& path, TCanvas& canvas, int maxWidth) {
  const std::size_t last = path.find_last_of("/\\");
  std::string folder = last == std::string::npos ? std::string() : path.substr(0, last + 1);
  const std::string name = last == std::string::npos ? path : path.substr(last + 1);
  std::string drive;
  if (folder.size() >= 2 && folder[1] == ':') {
    drive = folder.substr(0, 2);
    folder.erase(0, 2);
  }
  std::string result = path;
  while ((!folder.empty() || !drive.empty()) && canvas.TextWidth(result) > maxWidth) {
    if (IsEllipsisFolder(folder)) {
      drive.clear();
      folder = folder.substr(1);
    } else if (!folder.empty()) {
      folder = DropFirstFolder(folder);
    } else {
      drive.clear();
    }
    result = drive + folder + name;
  }
  return result;
}

// ---- class -------------------------------------------------------------------------

const ClassInfo& TCtSelectFolderForm::StaticClass() {
  using T = TCtSelectFolderForm;
  static const ClassInfo info = ClassBuilder<T>("TCtSelectFolderForm", TForm::StaticClass())
                                    .Field("btnNewFolder", &T::btnNewFolder)
                                    .Field("btnDeleteFolder", &T::btnDeleteFolder)
                                    .Field("ShellTree", &T::ShellTree)
                                    .Field("ButtonPanel", &T::ButtonPanel)
                                    .Field("btnOk", &T::btnOk)
                                    .Field("btnCancel", &T::btnCancel)
                                    .Field("CtStatusBar1", &T::CtStatusBar1)
                                    .Field("ImageList1", &T::ImageList1)
                                    .Method("FormCreate", &T::FormCreate)
                                    .Method("FormResize", &T::FormResize)
                                    .Method("ShellTreeChange", &T::ShellTreeChange)
                                    .Method("CreateBtnClick", &T::CreateBtnClick)
                                    .Method("DeleteBtnClick", &T::DeleteBtnClick)
                                    .Done();
  return info;
}

void RegisterCtShellFolderFormClasses() {
  static const bool registered = [] {
    RegisterCtShellTreeClasses();
    RegisterCtToolButtonClasses();
    RegisterCtBitBtnClasses();
    RegisterCtBarClasses();
    RegisterCtPictureResources();
    RegisterPictureResources(CtShellResources());
    return true;
  }();
  (void)registered;
}

TCtSelectFolderForm::TCtSelectFolderForm(TComponent* owner) : TForm(owner) {
  RegisterCtShellFolderFormClasses();
  ReadComponentResource(*this, CtShellResources());
  LoadToolPictures();
}

void TCtSelectFolderForm::LoadToolPictures() {
  ImageList1->SetSize(16, 16);
  for (const char* name : kToolPictures) {
    TPngImage picture;
    picture.LoadFromResourceName(CtShellResources(), name);
    ImageList1->Add(&picture);
  }
}

// ---- options -----------------------------------------------------------------------

void TCtSelectFolderForm::ApplyOptions(TCtSelectFolderDialogOptions options) {
  options_ = options;
  const bool buttons = options.Contains(sfdoCreateDeleteButtons);
  btnNewFolder->SetVisible(buttons);
  btnDeleteFolder->SetVisible(buttons);
  struct Mapping {
    TCtSelectFolderDialogOption option;
    TCtShellTreeOption treeOption;
  };
  static constexpr Mapping kMappings[] = {
      {sfdoContextMenus, stoContextMenus}, {sfdoIncludeNonFolders, stoIncludeNonFolders},
      {sfdoOleDrag, stoOleDrag},           {sfdoOleDrop, stoOleDrop},
      {sfdoVirtualFolders, stoVirtualFolders}, {sfdoShowHidden, stoShowHidden}};
  TCtShellTreeOptions treeOptions = ShellTree->Options();
  for (const Mapping& m : kMappings)
    options.Contains(m.option) ? treeOptions.Include(m.treeOption) : treeOptions.Exclude(m.treeOption);
  ShellTree->SetOptions(treeOptions);
  ShellTree->SetReadOnly(options.Contains(sfdoReadOnly));
  const bool newIcon = options.Contains(sfdoCreateFolderIcon);
  const bool deleteIcon = options.Contains(sfdoDeleteFolderIcon);
  btnNewFolder->SetImageIndex(newIcon ? kNewFolderImage : -1);
  btnDeleteFolder->SetImageIndex(deleteIcon ? kDeleteImage : -1);
  if (!newIcon || !deleteIcon) {
    btnNewFolder->SetFlat(false);
    btnDeleteFolder->SetFlat(false);
  }
}

void TCtSelectFolderForm::SetStatusText(const std::string& text) { CtStatusBar1->SetSimpleCaption(text); }

// ---- events ------------------------------------------------------------------------

void TCtSelectFolderForm::FormCreate(TObject*) {
  ShellTree->SetShowRoot(true);
  // Below everything, so that it stays the bottom-most control. Before
  // the window exists the form file's client height is the one that holds.
  CtStatusBar1->SetTop(std::max(Height(), ClientHeight()));
}

void TCtSelectFolderForm::DoShow() {
  TForm::DoShow();
  Font()->SetName(kFormFont);
  TCtShellTreeOptions options = ShellTree->Options();
  ShellTree->SetOptions(options.Include(stoAutoFill));
  ShellTree->FillTree();
  FormResize(this);  // the size the dialog gave before the window existed
  SetCaptions();
  if (OnFormShow) OnFormShow(this);
}

void TCtSelectFolderForm::DoHide() {
  TForm::DoHide();
  if (OnFormClose) OnFormClose(this);
}

void TCtSelectFolderForm::SetCaptions() {
  btnOk->SetCaption(kOkCaption);
  btnCancel->SetCaption(kCancelCaption);
  btnNewFolder->SetCaption(kCreateFolderCaption);
  btnDeleteFolder->SetCaption(kDeleteCaption);
  if (Caption().empty()) SetCaption(kBrowseForFolder);
}

void TCtSelectFolderForm::ShowSelectedPath(const std::string& path) {
  win::DCScope screen(nullptr, win::DCScope::Area::kClient);
  TCanvas measure;
  TCanvasContextScope context(measure, screen.dc());
  measure.Font()->Assign(Font());
  SetStatusText(MinimizePathText(path, measure, CtStatusBar1->Width() - kStatusTextMargin));
}

// Virtual folders (no path) take neither a new folder nor a deletion; the
// tree's first node is never deleted from here.
void TCtSelectFolderForm::ShellTreeChange(TObject*, TTreeNode* node) {
  TCtShellTreeData* data = ShellTree->TreeData(node);
  if (!data) return;
  const std::string path = data->PathName();
  ShowSelectedPath(path);
  btnNewFolder->SetEnabled(!path.empty());
  btnDeleteFolder->SetEnabled(!path.empty() && node->AbsoluteIndex() != 0);
  if (OnSelChange) OnSelChange(this, data->AbsoluteIdList());
}

void TCtSelectFolderForm::FormResize(TObject*) {
  int top = 8;
  if (btnNewFolder->Visible()) top = btnNewFolder->Top() + btnNewFolder->Height() + 4;
  else if (btnDeleteFolder->Visible()) top = btnDeleteFolder->Top() + btnDeleteFolder->Height() + 4;
  const int left = ShellTree->Left();
  ShellTree->SetBounds(left, top, Width() - 24, ButtonPanel->Top() - 4 - top);
  btnCancel->SetLeft(ClientWidth() - btnCancel->ClientWidth() - 8);
  btnOk->SetLeft(btnCancel->Left() - btnOk->ClientWidth() - 8);
  if (TCtShellTreeData* data = ShellTree->TreeData(ShellTree->Selected())) ShowSelectedPath(data->PathName());
}

void TCtSelectFolderForm::CreateBtnClick(TObject*) { ShellTree->CreateNewFolder(); }

void TCtSelectFolderForm::DeleteBtnClick(TObject*) {
  ShellTree->DoCommandForNode(ShellTree->Selected(), "delete");
  ShellTree->RefreshNodes();
}

void TCtSelectFolderForm::Dispatch(TMessage& m) {
  TForm::Dispatch(m);
  if (m.Msg != win::WM_GETMINMAXINFO) return;
  auto* info = reinterpret_cast<win::MINMAXINFO*>(m.LParam);
  info->ptMinTrackSize = win::POINT{kMinTrackWidth, kMinTrackHeight};
}

}  // namespace qelo::ct
