#include "ct_shell_ctrls_list.h"

#include <ctime>
#include <utility>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "shell/errors.h"
#include "shell/file_info.h"
#include "shell/namespace.h"
#include "shell/volumes.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/timer.h"
#include "vcl/sysutils.h"
#include "win/controls/lists/control_data.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kShellListOptionInfo{
    "TCtShellListOption",
    {"sloAutoFill", "sloVirtualFolders", "sloDesignInteractive", "sloDefaultKeyHandling", "sloContextMenus",
     "sloNoBrowse", "sloUnused6", "sloDynamicRefresh", "sloFilesOnly", "sloOleDrag", "sloOleDrop", "sloUnused11",
     "sloShowHidden", "sloStreamFolders"}};

namespace {

// What an item's data asks its folder; shell32 6.0 also tells streams.
constexpr shell::ULONG kDataAttributes = 0x700F0037;
constexpr shell::ULONG kDataAttributesWithStream = 0x704F0037;
constexpr uint32_t kStreamAttributeVersion = 0x5FFFF;

bool StreamsTold() { return Shell32FileVersion().mostSignificant > kStreamAttributeVersion; }

// Kilobytes rounded up, in groups of three digits: "1,234KB".
std::string SizeText(uint64_t bytes) {
  const std::string digits = std::to_string((bytes + 1023) / 1024);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped + "KB";
}

// A file time (100-ns units since 1601) in local time, short date and time.
std::string ModifiedText(int64_t fileTime) {
  constexpr int64_t kUnixEpoch = 116444736000000000LL;
  const std::time_t seconds = static_cast<std::time_t>((fileTime - kUnixEpoch) / 10000000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace

// ---- item data -----------------------------------------------------------------------

TCtShellListData::TCtShellListData(TCtCustomShellList* owner, LPITEMIDLIST relative)
    : owner_(owner), relative_(relative) {}

TCtShellListData::~TCtShellListData() = default;

LPCITEMIDLIST TCtShellListData::AbsoluteIdList() {
  if (!absolute_) absolute_.Reset(ConcatIdLists(ShellMalloc(), owner_->FolderIdList(), relative_.Get()));
  return absolute_.Get();
}

const std::string& TCtShellListData::DisplayName() {
  if (!displayName_) displayName_ = GetDisplayNameOf(owner_->ShellFolder(), relative_.Get(), TCtNameKind::nkNormal);
  return *displayName_;
}

shell::ULONG TCtShellListData::Attributes() {
  shell::ULONG attributes = StreamsTold() ? kDataAttributesWithStream : kDataAttributes;
  const std::string path = PathName();
  if (path.size() >= 4 && shell::GetDriveType(shell::VolumeOf(path).root) == shell::DRIVE_REMOVABLE)
    attributes &= ~shell::SFGAO_READONLY;
  IShellFolder* folder = owner_->ShellFolder();
  LPCITEMIDLIST item = relative_.Get();
  if (!folder || FAILED(folder->GetAttributesOf(1, &item, &attributes))) return 0;
  return attributes;
}

bool TCtShellListData::IsFolder() {
  const shell::ULONG attributes = Attributes();
  if (!(attributes & shell::SFGAO_FOLDER)) return false;
  return !StreamsTold() || !(attributes & shell::SFGAO_STREAM) || owner_->Options().Contains(sloStreamFolders);
}

// Shortcuts here are symbolic links; a ".lnk" name counts as one too.
bool TCtShellListData::IsLink() {
  if (CompareText(ExtractFileExt(PathName()), ".lnk") == 0) return true;
  return (Attributes() & shell::SFGAO_LINK) != 0;
}

bool TCtShellListData::CanRename() { return (Attributes() & shell::SFGAO_CANRENAME) != 0; }

std::string TCtShellListData::PathName() { return IdListToPath(AbsoluteIdList()); }

std::string TCtShellListData::ColumnText(int column) {
  if (column <= 0) return {};
  if (shell::IShellDetails* details = owner_->ShellDetails()) {
    shell::SHELLDETAILS answer;
    if (FAILED(details->GetDetailsOf(relative_.Get(), static_cast<shell::UINT>(column), &answer))) return {};
    return shell::TakeStrRet(&answer.str, relative_.Get());
  }
  ReadDefaultTexts();
  switch (column) {
    case 1: return sizeText_;
    case 2: return typeText_;
    case 3: return modifiedText_;
    default: return {};
  }
}

void TCtShellListData::ReadDefaultTexts() {
  if (textsValid_) return;
  textsValid_ = true;
  const std::string path = PathName();
  shell::WIN32_FIND_DATA found;
  if (path.size() > 3 && shell::FindDataOf(path, &found)) {
    if (!(found.dwFileAttributes & shell::FILE_ATTRIBUTE_DIRECTORY)) sizeText_ = SizeText(found.nFileSize);
    const int64_t time = found.ftLastWriteTime != 0 ? found.ftLastWriteTime : found.ftCreationTime;
    if (time != 0) modifiedText_ = ModifiedText(time);
  }
  if (Attributes() & shell::SFGAO_FILESYSTEM) {
    shell::SHFILEINFO info;
    if (shell::SHGetFileInfo(AbsoluteIdList(), 0, &info, shell::SHGFI_PIDL | shell::SHGFI_TYPENAME))
      typeText_ = info.szTypeName;
  } else {
    typeText_ = "System Folder";
  }
}

void TCtShellListData::SetRelIdList(LPITEMIDLIST list) {
  relative_.Reset(list);
  absolute_.Reset();
  displayName_.reset();
  textsValid_ = false;
  sizeText_.clear();
  typeText_.clear();
  modifiedText_.clear();
}

// ---- class registration ------------------------------------------------------------

const ClassInfo& TCtCustomShellList::StaticClass() {
  using T = TCtCustomShellList;
  static const ClassInfo info = ClassBuilder<T>("TCtCustomShellList", TCtCustomListView::StaticClass())
                                    .Object<TCtShellLocator>("Folder", &T::Folder)
                                    .Set("Options", kShellListOptionInfo, &T::Options, &T::SetOptions)
                                    .Event("OnAddItem", &T::OnAddItem)
                                    .Event("OnDeleteItem", &T::OnDeleteItem)
                                    .Event("OnGetImageIndex", &T::OnGetImageIndex)
                                    .Event("OnPopupHint", &T::OnPopupHint)
                                    .Event("OnFillStart", &T::OnFillStart)
                                    .Event("OnFillComplete", &T::OnFillComplete)
                                    .Event("OnFolderChanged", &T::OnFolderChanged)
                                    .Done();
  return info;
}

const ClassInfo& TCtShellList::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCtShellList>("TCtShellList", TCtCustomShellList::StaticClass()).Done();
  return info;
}

void RegisterCtShellListClasses() {
  static const bool registered = [] {
    RegisterCtListViewClasses();
    RegisterClasses({&TCtShellList::StaticClass()});
    return true;
  }();
  (void)registered;
}

// ---- life --------------------------------------------------------------------------

TCtCustomShellList::TCtCustomShellList(TComponent* owner)
    : TCtCustomListView(owner),
      folder_(std::make_unique<TCtShellLocator>()),
      smallImages_(std::make_unique<TImageList>(nullptr)),
      largeImages_(std::make_unique<TImageList>(nullptr)),
      delayTimer_(std::make_unique<TTimer>(nullptr)) {
  SetMultiSelect(true);
  smallImages_->ShareHandle(GetSystemImageList(TCtImageListSize::ilsSmall));
  largeImages_->ShareHandle(GetSystemImageList(TCtImageListSize::ilsLarge));
  SetSmallImages(smallImages_.get());
  delayTimer_->SetEnabled(false);
  delayTimer_->SetOnTimer([this](TObject*) { DelayTimerFired(); });
  folder_->OnChange = [this](TObject*) { FolderLocatorChanged(); };
  GetDeviceChangeHandler()->AddHandler(DeviceChangeMethod<TCtCustomShellList, &TCtCustomShellList::DeviceChanged>(this));
}

TCtCustomShellList::~TCtCustomShellList() {
  RemoveDeviceChangeHandler(DeviceChangeMethod<TCtCustomShellList, &TCtCustomShellList::DeviceChanged>(this));
  delayTimer_->SetEnabled(false);
  ReleaseWindowHelpers();
  if (tree_) tree_->SetShellList(nullptr);
  ClearItems();
  SetSmallImages(nullptr);
}

TCtShellListData* TCtCustomShellList::ListData(TListItem* item) const {
  if (!item) return nullptr;
  auto* data = static_cast<const TCtShellListData*>(item->Data());
  return ownData_.count(data) ? const_cast<TCtShellListData*>(data) : nullptr;
}

void TCtCustomShellList::FreeItemData(TListItem* item) {
  if (item == dropHighlight_) dropHighlight_ = nullptr;
  TCtShellListData* data = ListData(item);
  if (!data) return;
  if (OnDeleteItem && !ComponentState().Contains(csDestroying)) OnDeleteItem(this, item, data);
  ownData_.erase(data);
  item->SetData(nullptr);
  delete data;
}

void TCtCustomShellList::ClearItems() {
  if (dropHighlight_) dropHighlight_ = nullptr;
  for (int i = 0; i < Items()->Count(); ++i) FreeItemData(Items()->Item(i));
  Items()->Clear();
}

shell::IShellDetails* TCtCustomShellList::ShellDetails() {
  if (!detailsAsked_ && shellFolder_) {
    detailsAsked_ = true;
    details_ = GetShellDetails(shellFolder_.Get());
  }
  return details_.Get();
}

// ---- properties --------------------------------------------------------------------

void TCtCustomShellList::SetFolder(TCtShellLocator* folder) { folder_->Assign(folder); }

// A linked tree selects the folder too; what the tree tells the list back
// meanwhile (the folder it could reach) does not change the list's folder.
void TCtCustomShellList::FolderLocatorChanged() {
  if (ComponentState().Contains(csLoading) || folderChanging_) return;
  {
    TFlagScope inside(folderChanging_);
    if (tree_) tree_->SetSelectedFolder(folder_.get());
    if (HandleAllocated()) FillFolder();
  }
  DoFolderChanged();
}

void TCtCustomShellList::SetOptions(TCtShellListOptions options) {
  if (options == options_) return;
  const TCtShellListOptions old = options_;
  options_ = options;
  if (!HandleAllocated() || Designing()) return;
  if (old.Contains(sloOleDrop) != options.Contains(sloOleDrop))
    options.Contains(sloOleDrop) ? RegisterDropTarget() : RevokeDropTarget();
  if (old.Contains(sloDynamicRefresh) != options.Contains(sloDynamicRefresh))
    options.Contains(sloDynamicRefresh) ? SetChangeWatch() : StopWatching();
  const TCtShellListOptions refilling{sloVirtualFolders, sloFilesOnly, sloShowHidden, sloStreamFolders};
  if ((old.Mask() ^ options.Mask()) & refilling.Mask()) FillFolder();
}

void TCtCustomShellList::SetFileMask(const std::string& mask) {
  if (mask == fileMask_) return;
  fileMask_ = mask;
  if (HandleAllocated()) FillFolder();
}

win::HWND TCtCustomShellList::ShellOwnerWindow() { return ct::ShellOwnerWindow(this); }

// ---- the tree's link -----------------------------------------------------------------

void TCtCustomShellList::TreeLinked(TCtCustomShellTree* tree) {
  if (tree_) tree_->RemoveFreeNotification(this);
  tree_ = tree;
  if (tree_) tree_->FreeNotification(this);
}

void TCtCustomShellList::TreeFolderChanged(TCtShellLocator& folder) {
  if (!folderChanging_) folder_->Assign(&folder);
}

void TCtCustomShellList::TreeNodeSelected(TTreeNode* node) {
  TCtShellTreeData* data = tree_ ? tree_->TreeData(node) : nullptr;
  if (data && !folderChanging_) folder_->SetIdList(data->AbsoluteIdList());
}

void TCtCustomShellList::Notification(TComponent* component, TOperation operation) {
  TCtCustomListView::Notification(component, operation);
  if (operation == opRemove && component && component == tree_) tree_ = nullptr;
}

// ---- window ------------------------------------------------------------------------

// The items go with the window; a new one fills again when the list fills
// by itself or was filled before.
void TCtCustomShellList::CreateWnd() {
  TCtCustomListView::CreateWnd();
  win::SendMessage(WindowHandle(), win::LVM_SETIMAGELIST, win::LVSIL_NORMAL,
                   reinterpret_cast<win::LPARAM>(largeImages_->Handle()));
  if (options_.Contains(sloOleDrop) && !Designing()) RegisterDropTarget();
  if (ComponentState().Contains(csLoading)) return;
  if (Items()->Count() == 0 && (options_.Contains(sloAutoFill) || shellFolder_))
    win::PostMessage(WindowHandle(), WM_SHELLAUTOFILL, 0, 0);
}

void TCtCustomShellList::DestroyWnd() {
  ReleaseWindowHelpers();
  SaveColumnWidthsIfKept();
  ClearItems();
  TCtCustomListView::DestroyWnd();
}

void TCtCustomShellList::ReleaseWindowHelpers() {
  RevokeDropTarget();
  changeThread_.reset();
}

void TCtCustomShellList::Loaded() {
  TCtCustomListView::Loaded();
  if (options_.Contains(sloAutoFill) && HandleAllocated()) FillFolder();
}

bool TCtCustomShellList::IsEditing() const {
  return HandleAllocated() && win::SendMessage(WindowHandle(), win::LVM_GETEDITCONTROL, 0, 0) != 0;
}

void TCtCustomShellList::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SHELLCHANGED: return ShellChanged();
    case WM_SHELLAUTOFILL:
      if (Items()->Count() == 0) FillFolder();
      return;
    case CN_NOTIFY: return NotifyMessage(m);
    case kOpenSelectionMessage: return OpenSelection();
    case kGetShellBrowser: m.Result = reinterpret_cast<win::LRESULT>(ShellBrowser()); return;
    case win::WM_RBUTTONDOWN:
      menuShown_ = false;  // a new click: a menu shown before is not this one's
      return TCtCustomListView::Dispatch(m);
    case win::WM_RBUTTONUP:
      // A shell menu shown while the button was down: its release would
      // bring the framework's menu as well.
      if (std::exchange(menuShown_, false)) return;
      return TCtCustomListView::Dispatch(m);
    case CM_WANTSPECIALKEY: {
      TCtShellListData* data = ListData(Selected());
      if (IsEditing() || (m.WParam == win::VK_RETURN && data && data->IsFolder())) {
        m.Result = 1;
        return;
      }
      return TCtCustomListView::Dispatch(m);
    }
    case win::WM_NCDESTROY:
      ReleaseWindowHelpers();
      return TCtCustomListView::Dispatch(m);
    default:
      TCtCustomListView::Dispatch(m);
      return menuTracker_.PassMenuMessage(m, [this](const std::string& hint) {
        if (OnPopupHint) OnPopupHint(this, hint);
      });
  }
}

void TCtCustomShellList::NotifyMessage(TMessage& m) {
  auto* header = reinterpret_cast<win::NMHDR*>(m.LParam);
  switch (header->code) {
    case win::LVN_GETDISPINFO:
      m.Result = 0;
      return GetDispInfo(*reinterpret_cast<win::NMLVDISPINFO*>(header));
    case win::LVN_DELETEITEM: {
      const auto& n = *reinterpret_cast<win::NMLISTVIEW*>(header);
      FreeItemData(reinterpret_cast<TListItem*>(n.lParam));
      return TCtCustomListView::Dispatch(m);
    }
    case win::LVN_BEGINDRAG:
    case win::LVN_BEGINRDRAG:
      if (!options_.Contains(sloOleDrag)) return TCtCustomListView::Dispatch(m);
      m.Result = 0;
      return BeginOleDrag(*reinterpret_cast<win::NMLISTVIEW*>(header), header->code == win::LVN_BEGINRDRAG);
    case win::LVN_ENDLABELEDIT: return EndLabelEdit(m);
    default: return TCtCustomListView::Dispatch(m);
  }
}

// Captions are set when items are made; sub-items and icons are asked for
// as they are shown. A sub-item text put in SubItems wins.
void TCtCustomShellList::GetDispInfo(win::NMLVDISPINFO& info) {
  const int index = info.item.iItem;
  if (index < 0 || index >= Items()->Count()) return;
  TListItem* item = Items()->Item(index);
  TCtShellListData* data = ListData(item);
  if (!data) return;
  if ((info.item.mask & win::LVIF_TEXT) && info.item.iSubItem > 0) {
    const int sub = info.item.iSubItem;
    const std::string text = sub <= item->SubItems()->Count() ? item->SubItems()->Get(sub - 1) : data->ColumnText(sub);
    win::lists::CopyText(text, info.item.pszText, info.item.cchTextMax);
  }
  if (info.item.mask & win::LVIF_IMAGE) {
    if (OnGetImageIndex) OnGetImageIndex(this, item);
    info.item.iImage = item->ImageIndex() >= 1 ? item->ImageIndex()
                                               : GetSystemIconIndex(data->AbsoluteIdList(), shell::SHGFI_SMALLICON);
    info.item.mask |= win::LVIF_DI_SETITEM;
  }
}

// ---- UI objects ----------------------------------------------------------------------

HRESULT TCtCustomShellList::GetSelectionUIObject(shell::REFIID iid, void** object) {
  *object = nullptr;
  const std::vector<LPCITEMIDLIST> selected = SelectedIdLists();
  if (!shellFolder_ || selected.empty()) return shell::E_FAIL;
  return shellFolder_->GetUIObjectOf(ShellOwnerWindow(), static_cast<shell::UINT>(selected.size()), selected.data(),
                                     iid, nullptr, object);
}

HRESULT TCtCustomShellList::GetItemUIObject(TListItem* item, shell::REFIID iid, void** object) {
  *object = nullptr;
  TCtShellListData* data = ListData(item);
  if (!shellFolder_ || !data) return shell::E_FAIL;
  LPCITEMIDLIST relative = data->RelativeIdList();
  return shellFolder_->GetUIObjectOf(ShellOwnerWindow(), 1, &relative, iid, nullptr, object);
}

// The answer shell extensions expect from their host window: the
// process's shell browser, not counted (it lives as long as it stays
// registered); null without one.
shell::IUnknown* TCtCustomShellList::ShellBrowser() {
  shell::ComPtr<shell::IUnknown> explorer;
  void* browser = nullptr;
  if (FAILED(shell::SHGetInstanceExplorer(explorer.Put())) ||
      FAILED(explorer->QueryInterface(shell::IID_IShellBrowser, &browser)))
    return nullptr;
  auto* answer = static_cast<shell::IUnknown*>(browser);
  answer->Release();
  return answer;
}

}  // namespace qelo::ct
