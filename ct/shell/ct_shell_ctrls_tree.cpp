#include "ct_shell_ctrls_tree.h"

#include <utility>

#include "ct_shell_ctrls_keys.h"
#include "ct_shell_ctrls_menus.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_ctrls_list.h"
#include "ct_shell_utils.h"
#include "shell/errors.h"
#include "shell/file_info.h"
#include "shell/special_folders.h"
#include "shell/volumes.h"
#include "vcl/controls/forms.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kShellTreeOptionInfo{
    "TCtShellTreeOption",
    {"stoAutoFill", "stoVirtualFolders", "stoDesignInteractive", "stoDefaultKeyHandling", "stoContextMenus",
     "stoDynamicRefresh", "stoIncludeNonFolders", "stoOleDrag", "stoOleDrop", "stoShowHidden"}};

namespace {

// The folder holding the root's item, found as drop targets are found.
shell::ComPtr<IShellFolder> BindRootParent(LPCITEMIDLIST absolute) {
  shell::IdListPtr desktopDirectory;
  if (shell::ILIsEmpty(absolute)) {
    if (FAILED(PathToIdList(SpecialFolderPath(nullptr, shell::CSIDL_DESKTOP), desktopDirectory.Put()))) return {};
    absolute = desktopDirectory.Get();
  }
  TCtIdListArray view(absolute);
  shell::ComPtr<IShellFolder> folder;
  HRESULT hr = view.Count() > 1 ? BindToShellFolder(view.Ancestor(1), &folder) : DesktopFolder(&folder);
  return SUCCEEDED(hr) ? folder : shell::ComPtr<IShellFolder>();
}

}  // namespace

// ---- node data -------------------------------------------------------------------------

TCtShellTreeData::TCtShellTreeData(TCtCustomShellTree* owner, TCtShellTreeData* parent)
    : owner_(owner), parent_(parent) {}

TCtShellTreeData::~TCtShellTreeData() = default;

LPCITEMIDLIST TCtShellTreeData::AbsoluteIdList() {
  if (!absolute_)
    absolute_.Reset(parent_ ? ConcatIdLists(ShellMalloc(), parent_->AbsoluteIdList(), relative_.Get())
                            : CopyIdList(ShellMalloc(), relative_.Get()));
  return absolute_.Get();
}

IShellFolder* TCtShellTreeData::ParentShellFolder() {
  if (parent_) return parent_->ShellFolder();
  rootParentFolder_ = BindRootParent(AbsoluteIdList());
  return rootParentFolder_.Get();
}

IShellFolder* TCtShellTreeData::ShellFolder() {
  if (folder_) return folder_.Get();
  LPCITEMIDLIST absolute = AbsoluteIdList();
  if (shell::ILIsEmpty(absolute)) {
    if (HRESULT hr = DesktopFolder(&folder_); FAILED(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
    return folder_.Get();
  }
  IShellFolder* parent = ParentShellFolder();
  if (!parent || FAILED(parent->BindToObject(relative_.Get(), nullptr, shell::IID_IShellFolder, folder_.PutVoid())))
    folder_.Reset();
  return folder_.Get();
}

void TCtShellTreeData::SetShellFolder(IShellFolder* folder) { folder_ = shell::ComPtr<IShellFolder>::Share(folder); }

bool TCtShellTreeData::CanRename() {
  if (!parent_ || shell::ILIsEmpty(AbsoluteIdList())) return false;
  IShellFolder* parent = ParentShellFolder();
  if (!parent) return false;
  shell::ULONG attributes = shell::SFGAO_FILESYSTEM | shell::SFGAO_CAPABILITYMASK;
  LPCITEMIDLIST item = relative_.Get();
  if (FAILED(parent->GetAttributesOf(1, &item, &attributes))) return false;
  return (attributes & shell::SFGAO_CANRENAME) != 0;
}

std::string TCtShellTreeData::PathName() { return IdListToPath(AbsoluteIdList()); }

void TCtShellTreeData::SetIdLists(TCtShellTreeData* parent, LPCITEMIDLIST list) {
  parent_ = parent;
  folder_.Reset();
  if (parent) {
    relative_.Reset(CopyIdList(ShellMalloc(), list));
    absolute_.Reset();
    return;
  }
  TCtIdListArray view(list);
  relative_.Reset(CopyIdList(ShellMalloc(), view.Count() > 0 ? view.Item(view.Count() - 1) : list));
  absolute_.Reset(CopyIdList(ShellMalloc(), list));
}

void TCtShellTreeData::ReplaceRelIdList(LPCITEMIDLIST list) {
  relative_.Reset(CopyIdList(ShellMalloc(), list));
  absolute_.Reset();
  folder_.Reset();
  AbsoluteIdList();
}

// The root's absolute list is its only record of where it stands: it stays.
void TCtShellTreeData::ResetAbsolute() {
  if (parent_) absolute_.Reset();
  folder_.Reset();
}

void TCtShellTreeData::RejoinAbsolute() {
  if (!parent_) return;
  absolute_.Reset();
  AbsoluteIdList();
}

HRESULT TCtShellTreeData::GetDropTarget(win::HWND owner, shell::IDropTarget** target) {
  *target = nullptr;
  if (!parent_) return GetItemDropTarget(AbsoluteIdList(), shell::IID_IDropTarget, reinterpret_cast<void**>(target));
  IShellFolder* folder = parent_->ShellFolder();
  if (!folder) return shell::E_FAIL;
  LPCITEMIDLIST item = relative_.Get();
  return folder->GetUIObjectOf(owner, 1, &item, shell::IID_IDropTarget, nullptr, reinterpret_cast<void**>(target));
}

// ---- class registration ------------------------------------------------------------

const ClassInfo& TCtCustomShellTree::StaticClass() {
  using T = TCtCustomShellTree;
  static const ClassInfo info = ClassBuilder<T>("TCtCustomShellTree", TCtCustomTreeView::StaticClass())
                                    .Object<TCtShellLocator>("BaseFolder", &T::BaseFolder)
                                    .Set("Options", kShellTreeOptionInfo, &T::Options, &T::SetOptions)
                                    .Component<TCtCustomShellList>("ShellList", &T::ShellListControl,
                                                                   &T::SetShellListControl)
                                    .Event("OnAddItem", &T::OnAddItem)
                                    .Event("OnDeleteItem", &T::OnDeleteItem)
                                    .Event("OnInsertItem", &T::OnInsertItem)
                                    .Event("OnPopupHint", &T::OnPopupHint)
                                    .Event("OnFillStart", &T::OnFillStart)
                                    .Event("OnFillComplete", &T::OnFillComplete)
                                    .Done();
  return info;
}

const ClassInfo& TCtShellTree::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCtShellTree>("TCtShellTree", TCtCustomShellTree::StaticClass()).Done();
  return info;
}

void RegisterCtShellTreeClasses() {
  static const bool registered = [] {
    RegisterCtTreeViewClasses();
    RegisterClasses({&TCtShellTree::StaticClass()});
    return true;
  }();
  (void)registered;
}

// ---- life --------------------------------------------------------------------------

TCtCustomShellTree::TCtCustomShellTree(TComponent* owner)
    : TCtCustomTreeView(owner),
      baseFolder_(std::make_unique<TCtShellLocator>()),
      selectedFolder_(std::make_unique<TCtShellLocator>()),
      images_(std::make_unique<TImageList>(nullptr)),
      delayTimer_(std::make_unique<TTimer>(nullptr)) {
  SetShowRoot(false);
  SetBounds(Left(), Top(), 150, 150);
  images_->ShareHandle(GetSystemImageList(TCtImageListSize::ilsSmall));
  SetImages(images_.get());
  delayTimer_->SetEnabled(false);
  delayTimer_->SetOnTimer([this](TObject*) { DelayTimerFired(); });
  baseFolder_->OnChange = [this](TObject*) { BaseFolderChanged(); };
  selectedFolder_->OnChange = [this](TObject*) { SelectedFolderChanged(); };
  GetDeviceChangeHandler()->AddHandler(DeviceChangeMethod<TCtCustomShellTree, &TCtCustomShellTree::DeviceChanged>(this));
}

TCtCustomShellTree::~TCtCustomShellTree() {
  pendingFills_.clear();
  RemoveDeviceChangeHandler(DeviceChangeMethod<TCtCustomShellTree, &TCtCustomShellTree::DeviceChanged>(this));
  delayTimer_->SetEnabled(false);
  ReleaseWindowHelpers();
  SetShellList(nullptr);
  // Nodes that go with a control being destroyed are not offered to Delete.
  FreeNodeData();
  {
    CountScope quiet(suppress_);
    Items()->Clear();
  }
  SetImages(nullptr);
}

void TCtCustomShellTree::FreeNodeData() {
  for (TTreeNode* node = Items()->GetFirstNode(); node; node = node->GetNext()) {
    if (TCtShellTreeData* data = TreeData(node)) {
      ownData_.erase(data);
      delete data;
      node->SetData(nullptr);
    }
  }
}

void TCtCustomShellTree::ClearNodes() {
  CancelFills(nullptr);
  CountScope quiet(suppress_);
  if (ComponentState().Contains(csDestroying)) FreeNodeData();
  lastInserted_ = nullptr;
  Items()->Clear();
}

TCtShellTreeData* TCtCustomShellTree::TreeData(TTreeNode* node) const {
  if (!node) return nullptr;
  auto* data = static_cast<const TCtShellTreeData*>(node->Data());
  return ownData_.count(data) ? const_cast<TCtShellTreeData*>(data) : nullptr;
}

// ---- properties --------------------------------------------------------------------

void TCtCustomShellTree::SetBaseFolder(TCtShellLocator* folder) {
  if (ComponentState().Contains(csLoading)) return;
  baseFolder_->Assign(folder);
}

void TCtCustomShellTree::BaseFolderChanged() {
  if (ComponentState().Contains(csLoading)) return;
  selectedFolder_->SetIdList(nullptr);
  if (!options_.Contains(stoAutoFill)) return;
  navigateNow_ = true;
  FillTree();
}

void TCtCustomShellTree::SetSelectedFolder(TCtShellLocator* folder) {
  if (loading_ || ComponentState().Contains(csLoading) || suppress_ > 0) {
    if (shellList_ && folder) shellList_->TreeFolderChanged(*folder);
    return;
  }
  selectedFolder_->Assign(folder);
}

void TCtCustomShellTree::SelectedFolderChanged() {
  if (Items()->GetFirstNode()) SelectIdList(selectedFolder_->IdList());
}

std::string TCtCustomShellTree::SelectedPathName() {
  TCtShellTreeData* data = TreeData(Selected());
  return data ? data->PathName() : std::string();
}

void TCtCustomShellTree::SetOptions(TCtShellTreeOptions options) {
  if (options == options_) return;
  const TCtShellTreeOptions old = options_;
  options_ = options;
  ApplyDragStyle();
  if (!HandleAllocated() || Designing()) return;
  if (old.Contains(stoDynamicRefresh) != options.Contains(stoDynamicRefresh))
    options.Contains(stoDynamicRefresh) ? StartWatching() : StopWatching();
  if (old.Contains(stoOleDrop) != options.Contains(stoOleDrop))
    options.Contains(stoOleDrop) ? RegisterDropTarget() : RevokeDropTarget();
}

void TCtCustomShellTree::SetShellList(TCtShellTreeListLink* list) {
  if (list == shellList_) return;
  if (shellList_) {
    shellList_->TreeLinked(nullptr);
    shellListComponent_->RemoveFreeNotification(this);
  }
  shellList_ = list;
  shellListComponent_ = list ? list->LinkComponent() : nullptr;
  if (!list) return;
  list->TreeLinked(this);
  shellListComponent_->FreeNotification(this);
  list->TreeFolderChanged(*selectedFolder_);
}

TCtCustomShellList* TCtCustomShellTree::ShellListControl() const {
  return dynamic_cast<TCtCustomShellList*>(shellListComponent_);
}

void TCtCustomShellTree::SetShellListControl(TCtCustomShellList* list) { SetShellList(list ? list->TreeLink() : nullptr); }

void TCtCustomShellTree::Notification(TComponent* component, TOperation operation) {
  TCtCustomTreeView::Notification(component, operation);
  if (operation == opRemove && component && component == shellListComponent_) {
    shellList_ = nullptr;
    shellListComponent_ = nullptr;
  }
}

win::HWND TCtCustomShellTree::ShellOwnerWindow() { return silent_ > 0 ? nullptr : ct::ShellOwnerWindow(this); }

shell::DWORD TCtCustomShellTree::EnumerationFlags() const {
  shell::DWORD flags = shell::SHCONTF_FOLDERS;
  if (options_.Contains(stoShowHidden)) flags |= shell::SHCONTF_INCLUDEHIDDEN;
  if (options_.Contains(stoIncludeNonFolders)) flags |= shell::SHCONTF_NONFOLDERS;
  return flags;
}

// ---- window ------------------------------------------------------------------------

void TCtCustomShellTree::CreateParams(TCreateParams& params) {
  TCtCustomTreeView::CreateParams(params);
  if (!options_.Contains(stoOleDrag) && DragMode() != dmAutomatic) params.Style |= win::TVS_DISABLEDRAGDROP;
  else params.Style &= ~win::TVS_DISABLEDRAGDROP;
}

void TCtCustomShellTree::ApplyDragStyle() {
  if (!HandleAllocated()) return;
  auto style = static_cast<win::DWORD>(win::GetWindowLongPtr(WindowHandle(), win::GWL_STYLE));
  const bool disabled = !options_.Contains(stoOleDrag) && DragMode() != dmAutomatic;
  style = disabled ? style | win::TVS_DISABLEDRAGDROP : style & ~win::TVS_DISABLEDRAGDROP;
  win::SetWindowLongPtr(WindowHandle(), win::GWL_STYLE, static_cast<win::LONG_PTR>(style));
}

void TCtCustomShellTree::SetDragMode(TDragMode mode) {
  TCtCustomTreeView::SetDragMode(mode);
  ApplyDragStyle();
}

void TCtCustomShellTree::CreateWnd() {
  TCtCustomTreeView::CreateWnd();
  recreating_ = false;
  if (options_.Contains(stoOleDrop) && !Designing()) RegisterDropTarget();
  if (loading_ || ComponentState().Contains(csLoading)) return;
  if (!Items()->GetFirstNode()) {
    if (options_.Contains(stoAutoFill)) win::PostMessage(WindowHandle(), WM_SHELLAUTOFILL, 0, 0);
  } else if (options_.Contains(stoDynamicRefresh) && !Designing()) {
    StartWatching();  // filled before the window existed
  }
  if (shellList_) shellList_->TreeFolderChanged(*selectedFolder_);
}

// The nodes go with the window: a new window fills again (WM_SHELLAUTOFILL).
void TCtCustomShellTree::DestroyWnd() {
  recreating_ = true;
  CancelFills(nullptr);
  ReleaseWindowHelpers();
  if (!reparenting_) Items()->BeginUpdate();
  {
    CountScope quiet(suppress_);
    SetSelected(nullptr);
    ClearNodes();
  }
  TCtCustomTreeView::DestroyWnd();
  if (!reparenting_) Items()->EndUpdate();
}

void TCtCustomShellTree::ReleaseWindowHelpers() {
  RevokeDropTarget();
  changeThread_.reset();
}

void TCtCustomShellTree::SetParent(TWinControl* parent) {
  TFlagScope reparenting(reparenting_);
  TCtCustomTreeView::SetParent(parent);
}

void TCtCustomShellTree::Loaded() {
  if (options_.Contains(stoAutoFill)) {
    if (!Items()->GetFirstNode()) FillTree();
    if (shellList_) shellList_->TreeFolderChanged(*selectedFolder_);
  }
  TFlagScope loading(loading_);
  TCtCustomTreeView::Loaded();
}

void TCtCustomShellTree::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SHELLCHANGED: return ShellChanged();
    case WM_SHELLAUTOFILL: return ShellAutoFill();
    case kFillReadyMessage: return ContinueFills();
    case win::WM_TIMER:
      if (m.WParam != kFillSliceTimer) return TCtCustomTreeView::Dispatch(m);
      win::KillTimer(WindowHandle(), kFillSliceTimer);
      return ContinueFills();
    case CN_NOTIFY: {
      const auto* header = reinterpret_cast<const win::NMHDR*>(m.LParam);
      // The platform tells of a click after the selection it made: a
      // selection held back for the linked list goes at once.
      if (header->code == win::NM_CLICK && delayTimer_->Enabled() && delayTimer_->Tag() == kDeferredSelection)
        DelayTimerFired();
      const bool drag = header->code == win::TVN_BEGINDRAG || header->code == win::TVN_BEGINRDRAG;
      if (drag && options_.Contains(stoOleDrag)) {
        m.Result = 0;
        return BeginOleDrag(*reinterpret_cast<const win::NMTREEVIEW*>(header), header->code == win::TVN_BEGINRDRAG);
      }
      return TCtCustomTreeView::Dispatch(m);
    }
    case CM_WANTSPECIALKEY:
      if (IsEditing()) {
        m.Result = 1;
        return;
      }
      return TCtCustomTreeView::Dispatch(m);
    case win::WM_NCDESTROY:
      ReleaseWindowHelpers();
      return TCtCustomTreeView::Dispatch(m);
    case win::WM_WINDOWPOSCHANGED:
      if (recreating_) return;
      return TCtCustomTreeView::Dispatch(m);
    case win::WM_PAINT: return PaintOnOwnColour(m);
    case CM_DESIGNHITTEST:
      m.Result = DesignHitTest(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam))) ? 1 : 0;
      return;
    case win::TVM_DELETEITEM:
      if (reinterpret_cast<win::HTREEITEM>(m.LParam) == win::TVI_ROOT) {
        CountScope quiet(suppress_);  // emptying the tree is no selection change
        return TCtCustomTreeView::Dispatch(m);
      }
      return TCtCustomTreeView::Dispatch(m);
    case win::WM_NCHITTEST:
      return DefaultHandler(m);  // the tree view's own answer, in a designer too
    default:
      TCtCustomTreeView::Dispatch(m);
      return menuTracker_.PassMenuMessage(m, [this](const std::string& hint) {
        if (OnPopupHint) OnPopupHint(this, hint);
      });
  }
}

// ---- images and painting -------------------------------------------------------------

// The system image list is shared: its background (and the state images')
// is the control's colour only while the control paints.
void TCtCustomShellTree::PaintOnOwnColour(TMessage& m) {
  if (ComponentState().Contains(csDestroying)) {
    win::ValidateRect(WindowHandle(), nullptr);
    return;
  }
  const win::COLORREF colour = static_cast<win::COLORREF>(ColorToRGB(Color()));
  win::HIMAGELIST lists[] = {
      reinterpret_cast<win::HIMAGELIST>(win::SendMessage(WindowHandle(), win::TVM_GETIMAGELIST, win::TVSIL_NORMAL, 0)),
      reinterpret_cast<win::HIMAGELIST>(win::SendMessage(WindowHandle(), win::TVM_GETIMAGELIST, win::TVSIL_STATE, 0))};
  win::COLORREF before[2] = {win::CLR_NONE, win::CLR_NONE};
  for (int i = 0; i < 2; ++i)
    if (lists[i]) before[i] = win::ImageList_SetBkColor(lists[i], colour);
  auto restore = [&] {
    for (int i = 0; i < 2; ++i)
      if (lists[i]) win::ImageList_SetBkColor(lists[i], before[i]);
  };
  try {
    TCtCustomTreeView::Dispatch(m);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

// In a form designer, clicks on items, their buttons, the space right of
// them and the scroll bar go to the control.
bool TCtCustomShellTree::DesignHitTest(TPoint p) {
  if (!options_.Contains(stoDesignInteractive) || !HandleAllocated()) return false;
  if (p.x > ClientWidth()) return true;
  win::TVHITTESTINFO hit;
  hit.pt = win::POINT{p.x, p.y};
  win::SendMessage(WindowHandle(), win::TVM_HITTEST, 0, reinterpret_cast<win::LPARAM>(&hit));
  return (hit.flags & (win::TVHT_ONITEM | win::TVHT_ONITEMBUTTON | win::TVHT_ONITEMRIGHT)) != 0;
}

void TCtCustomShellTree::GetImageIndex(TTreeNode* node) {
  if (node->ImageIndex() < 0)
    if (TCtShellTreeData* data = TreeData(node))
      node->SetImageIndex(GetSystemIconIndex(data->AbsoluteIdList(), shell::SHGFI_SMALLICON));
  TCtCustomTreeView::GetImageIndex(node);
}

void TCtCustomShellTree::GetSelectedIndex(TTreeNode* node) {
  if (node->SelectedIndex() < 0)
    if (TCtShellTreeData* data = TreeData(node))
      node->SetSelectedIndex(
          GetSystemIconIndex(data->AbsoluteIdList(), shell::SHGFI_SMALLICON | shell::SHGFI_OPENICON));
  TCtCustomTreeView::GetSelectedIndex(node);
}

// ---- nodes ---------------------------------------------------------------------------

void TCtCustomShellTree::Delete(TTreeNode* node) {
  TCtShellTreeData* data = TreeData(node);
  if (data && OnDeleteItem) OnDeleteItem(this, node, data);
  if (data) {
    ownData_.erase(data);
    delete data;
    node->SetData(nullptr);
  }
  if (node == lastInserted_) lastInserted_ = nullptr;
  if (node == dragNode_) dragNode_ = nullptr;
  if (PendingFillOf(node)) CancelFills(node);
  TCtCustomTreeView::Delete(node);
}

void TCtCustomShellTree::DoInsertItem(TTreeNode* node) {
  lastInserted_ = node;
  if (OnInsertItem) OnInsertItem(this, node);
}

bool TCtCustomShellTree::CanExpand(TTreeNode* node) {
  if (loading_) return false;
  if (!TCtCustomTreeView::CanExpand(node)) return false;
  FillNodeIfNeeded(node);
  return true;
}

void TCtCustomShellTree::FillNodeIfNeeded(TTreeNode* node) {
  TCtShellTreeData* data = TreeData(node);
  if (!data || !node->HasChildren() || node->Count() > 0 || PendingFillOf(node)) return;
  TScreenCursorScope hourglass;
  shell::ComPtr<IShellFolder> folder = shell::ComPtr<IShellFolder>::Share(data->ShellFolder());
  if (folder) FillNode(folder.Get(), node);
}

void TCtCustomShellTree::DoFillStart() {
  if (OnFillStart) OnFillStart(this);
}

void TCtCustomShellTree::DoFillComplete() {
  if (OnFillComplete) OnFillComplete(this);
}

// ---- selection and the linked list -------------------------------------------------------

void TCtCustomShellTree::Change(TTreeNode* node) {
  TCtShellTreeData* data = TreeData(node);
  if (suppress_ > 0 || loading_ || ComponentState().Contains(csLoading)) {
    if (data) selectedFolder_->SetIdList(data->AbsoluteIdList());
    return;
  }
  TCtCustomTreeView::Change(node);
  if (!data) return;
  if (navigateNow_ || !shellList_) NavigateToNode(node);
  else RestartDelayTimer(kDeferredSelection, kSelectionDelayMs);
}

void TCtCustomShellTree::NavigateToNode(TTreeNode* node) {
  TCtShellTreeData* data = TreeData(node);
  if (!data) return;
  CountScope quiet(suppress_);
  selectedFolder_->SetIdList(data->AbsoluteIdList());
  if (shellList_) shellList_->TreeNodeSelected(node);
  navigateNow_ = false;
}

void TCtCustomShellTree::RestartDelayTimer(int tag, int interval) {
  delayTimer_->SetEnabled(false);
  delayTimer_->SetTag(tag);
  delayTimer_->SetInterval(interval);
  delayTimer_->SetEnabled(true);
}

void TCtCustomShellTree::DelayTimerFired() {
  delayTimer_->SetEnabled(false);
  const int tag = delayTimer_->Tag();
  delayTimer_->SetTag(0);
  if (tag == kDeferredSelection) NavigateToNode(Selected());
  else if (tag == kDeferredRefresh) RefreshNodes();
}

void TCtCustomShellTree::FlushDelayedChange(bool passOn) {
  if (delayTimer_->Enabled()) DelayTimerFired();
  if (passOn && shellList_) shellList_->TreeChangeFlushed();
}

void TCtCustomShellTree::GoUp(int levels) {
  TTreeNode* node = Selected();
  if (!node) return;
  for (int i = 0; i < levels && node->Parent(); ++i) node = node->Parent();
  navigateNow_ = true;
  SetSelected(node);
}

}  // namespace qelo::ct
