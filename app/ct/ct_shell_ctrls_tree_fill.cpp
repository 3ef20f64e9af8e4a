// The shell tree's filling, sorting, selecting by item-id list, refreshing
// against the namespace, and watching for changes.
#include "ct_shell_ctrls_tree.h"

#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "shell/change_notify.h"
#include "shell/errors.h"
#include "shell/file_info.h"
#include "shell/volumes.h"
#include "vcl/controls/forms.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// The attributes a new node is made from; shell32 6.0 also tells streams.
constexpr shell::ULONG kItemAttributes = 0xF20B8000;
constexpr shell::ULONG kItemAttributesWithStream = 0xF24B8000;
constexpr uint32_t kStreamAttributeVersion = 0x5FFFF;

// File names too when the tree lists files.
shell::DWORD NotifyFilter(TCtShellTreeOptions options) {
  return options.Contains(stoIncludeNonFolders) ? shell::FILE_NOTIFY_CHANGE_FILE_NAME | shell::FILE_NOTIFY_CHANGE_DIR_NAME
                                                : shell::FILE_NOTIFY_CHANGE_DIR_NAME;
}

bool IsBelowOrAt(TTreeNode* node, TTreeNode* ancestor) {
  for (; node; node = node->Parent())
    if (node == ancestor) return true;
  return false;
}

// Fires the fill-complete notification however the fill ends.
template <class Body>
void Bracketed(TCtCustomShellTree& tree, void (TCtCustomShellTree::*complete)(), Body body) {
  try {
    body();
  } catch (...) {
    (tree.*complete)();
    throw;
  }
  (tree.*complete)();
}

}  // namespace

// ---- filling -------------------------------------------------------------------------

void TCtCustomShellTree::FillTree() {
  if (Busy()) {
    refreshPending_ = true;
    return;
  }
  TScreenCursorScope hourglass;
  {
    CountScope quiet(suppress_);
    SetSelected(nullptr);
    ClearNodes();
  }
  shell::ComPtr<IShellFolder> root;
  LPCITEMIDLIST base = baseFolder_->IdList();
  HRESULT hr = base ? BindToShellFolder(base, &root) : DesktopFolder(&root);
  if (FAILED(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
  FillNode(root.Get(), nullptr);
  if (selectedFolder_->IdList()) SelectIdList(selectedFolder_->IdList());
  else SetSelected(Items()->GetFirstNode());
  FlushDelayedChange(false);
  if (options_.Contains(stoDynamicRefresh) && !Designing()) StartWatching();
}

void TCtCustomShellTree::FillNode(IShellFolder* folder, TTreeNode* node) {
  DoFillStart();
  Bracketed(*this, &TCtCustomShellTree::DoFillComplete, [&] {
    Items()->BeginUpdate();
    try {
      FillLevel(folder, node);
    } catch (...) {
      Items()->EndUpdate();
      throw;
    }
    Items()->EndUpdate();
  });
}

TTreeNode* TCtCustomShellTree::MakeRootNode(IShellFolder* folder) {
  LPCITEMIDLIST base = baseFolder_->IdList();
  shell::IdListPtr list(CopyIdList(ShellMalloc(), base));  // the desktop's is the empty list
  auto* data = new TCtShellTreeData(this, nullptr);
  ownData_.insert(data);
  data->SetIdLists(nullptr, list.Get());
  data->SetShellFolder(folder);
  TTreeNode* root = Items()->AddChildObject(nullptr, GetItemDisplayName(list.Get()), data);
  root->SetImageIndex(GetSystemIconIndex(list.Get(), shell::SHGFI_SMALLICON));
  root->SetSelectedIndex(GetSystemIconIndex(list.Get(), shell::SHGFI_SMALLICON | shell::SHGFI_OPENICON));
  DoInsertItem(root);
  return root;
}

// Items that cannot be listed leave the node with its button and end the
// fill quietly; other enumeration failures raise.
namespace {

// An item removed by someone else between the listing and the reading of
// its attributes is left out rather than failing the whole level.
bool VanishedWhileListed(HRESULT hr) {
  return hr == shell::HRESULT_FROM_WIN32(shell::ERROR_FILE_NOT_FOUND) ||
         hr == shell::HRESULT_FROM_WIN32(shell::ERROR_PATH_NOT_FOUND);
}

}  // namespace

void TCtCustomShellTree::FillLevel(IShellFolder* folder, TTreeNode* node) {
  const shell::ComPtr<IShellFolder> held = shell::ComPtr<IShellFolder>::Share(folder);
  TTreeNode* parent = node;
  if (node) TreeData(node)->RejoinAbsolute();
  else parent = MakeRootNode(folder);
  TCtShellTreeData* parentData = TreeData(parent);
  shell::ComPtr<shell::IEnumIDList> items;
  if (FAILED(folder->EnumObjects(ShellOwnerWindow(), EnumerationFlags(), items.Put())) || !items) {
    parent->SetHasChildren(true);
    return;
  }
  HRESULT next = shell::S_OK;
  for (;;) {
    shell::LPITEMIDLIST raw = nullptr;
    shell::ULONG fetched = 0;
    next = items->Next(1, &raw, &fetched);
    shell::IdListPtr item(raw);
    if (next != shell::S_OK) break;
    const HRESULT hr = AddNewShellItem(folder, parentData->AbsoluteIdList(), item.Get(), parent);
    if (FAILED(hr) && !VanishedWhileListed(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
  }
  if (parent->Count() == 0) parent->SetHasChildren(false);
  if (next != shell::S_FALSE) {
    if (next == shell::E_FAIL) return;
    throw vcl::Exception(shell::SystemErrorText(next));
  }
  SortChildren(parent);
  if (!node) parent->Expand(false);
}

HRESULT TCtCustomShellTree::AddNewShellItem(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, LPCITEMIDLIST item,
                                            TTreeNode* parentNode) {
  if (!item) return shell::S_OK;
  shell::ULONG attributes =
      Shell32FileVersion().mostSignificant > kStreamAttributeVersion ? kItemAttributesWithStream : kItemAttributes;
  if (HRESULT hr = folder->GetAttributesOf(1, &item, &attributes); FAILED(hr)) return hr;
  const bool offered = options_.Contains(stoVirtualFolders) ||
                       (attributes & (shell::SFGAO_FILESYSTEM | shell::SFGAO_FILESYSANCESTOR)) != 0;
  if (!offered || !DoAddItem(folder, parentAbsolute, attributes, item)) return shell::S_OK;
  TCtShellTreeData* parentData = TreeData(parentNode);
  auto* data = new TCtShellTreeData(this, parentData);
  ownData_.insert(data);
  data->SetIdLists(parentData, item);
  TTreeNode* node = Items()->AddChildObject(parentNode, GetDisplayNameOf(folder, item, TCtNameKind::nkInFolder), data);
  const bool isFolder = (attributes & shell::SFGAO_FOLDER) != 0;
  const bool hasSubfolder = (attributes & shell::SFGAO_HASSUBFOLDER) != 0;
  node->SetHasChildren(options_.Contains(stoIncludeNonFolders) ? isFolder || hasSubfolder : isFolder && hasSubfolder);
  if (attributes & shell::SFGAO_SHARE) node->SetOverlayIndex(0);
  else if (attributes & shell::SFGAO_LINK) node->SetOverlayIndex(1);
  if (attributes & shell::SFGAO_GHOSTED) node->SetCut(true);
  DoInsertItem(node);
  return shell::S_OK;
}

bool TCtCustomShellTree::DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, shell::ULONG attributes,
                                   LPCITEMIDLIST item) {
  bool allow = true;
  if (OnAddItem) OnAddItem(this, folder, parentAbsolute, item, attributes, allow);
  return allow;
}

// ---- sorting -----------------------------------------------------------------------------

int TCtCustomShellTree::CompareNodes(TTreeNode* a, TTreeNode* b) {
  TCtShellTreeData* first = TreeData(a);
  TCtShellTreeData* second = TreeData(b);
  if (!first || !second) return 0;
  IShellFolder* folder = first->ParentShellFolder();
  if (!folder) return 0;
  const HRESULT hr = folder->CompareIDs(0, first->RelativeIdList(), second->RelativeIdList());
  return SUCCEEDED(hr) ? shell::CompareResultOrder(hr) : 0;
}

void TCtCustomShellTree::SortChildren(TTreeNode* node) {
  const TTVCompare compare = [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b); };
  if (node) node->CustomSort(compare, false);
  else CustomSort(compare, true);
}

// ---- selecting by list -------------------------------------------------------------------

TTreeNode* TCtCustomShellTree::FindChildNode(TTreeNode* parent, LPCITEMIDLIST relative) {
  if (!parent) {
    for (TTreeNode* node = Items()->GetFirstNode(); node; node = node->GetNext())
      if (TreeData(node)) return node;
    return nullptr;
  }
  TCtShellTreeData* parentData = TreeData(parent);
  IShellFolder* folder = parentData ? parentData->ShellFolder() : nullptr;
  if (!folder) return nullptr;
  for (int i = 0; i < parent->Count(); ++i) {
    TTreeNode* child = parent->Item(i);
    TCtShellTreeData* data = TreeData(child);
    if (!data) continue;
    const HRESULT hr = folder->CompareIDs(0, relative, data->RelativeIdList());
    if (SUCCEEDED(hr) && shell::CompareResultOrder(hr) == 0) return child;
  }
  return nullptr;
}

void TCtCustomShellTree::SelectIdList(LPCITEMIDLIST absolute) {
  if (suppress_ > 0) return;
  navigateNow_ = true;
  TCtIdListArray base(baseFolder_->IdList());
  TCtIdListArray wanted(absolute);
  Items()->BeginUpdate();
  try {
    WalkToIdList(base, wanted);
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
  if (TTreeNode* selected = Selected()) selected->MakeVisible();
}

// Goes down from the root one item of the wanted list at a time, adding
// the items the enumeration left out (hidden folders). A folder that is
// not below the base folder, or a step that cannot be made, beeps and
// leaves the deepest node reached selected.
void TCtCustomShellTree::WalkToIdList(TCtIdListArray& base, TCtIdListArray& wanted) {
  TTreeNode* node = FindChildNode(nullptr, nullptr);
  if (!node) return;
  if (wanted.Count() == 0) return SetSelected(node);
  if (base.Count() >= wanted.Count()) {
    SetSelected(node);
    node->Expand(false);
    return;
  }
  if (base.Count() > 0 && CompareIdLists(wanted.Ancestor(wanted.Count() - base.Count()), baseFolder_->IdList()) != 0) {
    win::MessageBeep(0xFFFFFFFF);
    return SetSelected(node);
  }
  FillNodeIfNeeded(node);
  node->Expand(false);
  const bool expandLast = shellList_ && shellList_->TreeExpandsSelection();
  for (int i = base.Count(); i < wanted.Count(); ++i) {
    shell::IdListPtr item(CopyIdList(ShellMalloc(), wanted.Item(i)));
    TTreeNode* child = FindChildNode(node, item.Get());
    if (!child) {
      TCtShellTreeData* data = TreeData(node);
      IShellFolder* folder = data ? data->ShellFolder() : nullptr;
      lastInserted_ = nullptr;
      const HRESULT hr = folder ? AddNewShellItem(folder, data->AbsoluteIdList(), item.Get(), node) : shell::E_FAIL;
      if (FAILED(hr) || !lastInserted_ || lastInserted_->Parent() != node) {
        win::MessageBeep(0xFFFFFFFF);
        break;
      }
      child = lastInserted_;
    }
    node = child;
    if (i + 1 < wanted.Count() || expandLast) {
      FillNodeIfNeeded(node);
      node->Expand(false);
    }
  }
  SetSelected(node);
}

// ---- refreshing ----------------------------------------------------------------------------

void TCtCustomShellTree::RefreshNodes() {
  if (Busy()) {
    refreshPending_ = true;
    return;
  }
  if (!Items()->GetFirstNode()) return FillTree();
  TScreenCursorScope hourglass;
  DoFillStart();
  TTreeNode* remembered = Selected();
  Bracketed(*this, &TCtCustomShellTree::DoFillComplete, [&] {
    {
      CountScope quiet(suppress_);
      SetSelected(nullptr);
      Items()->BeginUpdate();
      try {
        for (TTreeNode* root = Items()->GetFirstNode(); root; root = root->getNextSibling())
          RefreshNode(root, remembered);
      } catch (...) {
        Items()->EndUpdate();
        throw;
      }
      Items()->EndUpdate();
    }
    if (remembered) {
      navigateNow_ = true;
      SetSelected(remembered);
    }
  });
}

// Filled nodes and nodes known to be empty are compared with the shell;
// nodes never expanded keep their subtree as it is.
void TCtCustomShellTree::RefreshNode(TTreeNode* node, TTreeNode*& remembered) {
  TCtShellTreeData* data = TreeData(node);
  if (data && node->HasChildren() && node->Count() == 0) return;
  if (data) CompareWithShell(node, data, remembered);
  for (int i = 0; i < node->Count(); ++i) RefreshNode(node->Item(i), remembered);
}

void TCtCustomShellTree::CompareWithShell(TTreeNode* node, TCtShellTreeData* data, TTreeNode*& remembered) {
  IShellFolder* folder = data->ShellFolder();
  shell::ComPtr<shell::IEnumIDList> items;
  if (!folder || FAILED(folder->EnumObjects(nullptr, EnumerationFlags(), items.Put())) || !items) return;
  TCtPidlList known;  // the children's own lists: not freed here
  known.SetShellFolder(folder);
  known.SetCapacity(node->Count());
  for (int i = 0; i < node->Count(); ++i)
    if (TCtShellTreeData* child = TreeData(node->Item(i)))
      known.AddObject(const_cast<shell::LPITEMIDLIST>(child->RelativeIdList()), node->Item(i));
  known.SetSorted(true);
  TCtPidlList found;
  found.SetMalloc(ShellMalloc());
  for (;;) {
    shell::LPITEMIDLIST raw = nullptr;
    shell::ULONG fetched = 0;
    if (items->Next(1, &raw, &fetched) != shell::S_OK) {
      shell::IdListPtr dropped(raw);
      break;
    }
    found.Add(raw);
  }
  for (int i = found.Count() - 1; i >= 0; --i) {
    const int k = known.IndexOf(found.Pidls(i));
    if (k < 0) continue;
    known.Delete(k);
    found.Delete(i);
  }
  for (int i = known.Count() - 1; i >= 0; --i) {
    auto* vanished = static_cast<TTreeNode*>(known.Objects(i));
    if (IsBelowOrAt(remembered, vanished)) remembered = vanished->Parent();
    Items()->Delete(vanished);
  }
  const int before = node->Count();
  for (int i = 0; i < found.Count(); ++i) AddNewShellItem(folder, data->AbsoluteIdList(), found.Pidls(i), node);
  if (node->Count() != before) SortChildren(node);
}

// ---- watching ------------------------------------------------------------------------------

void TCtCustomShellTree::StartWatching() {
  if (!HandleAllocated()) return;
  if (!changeThread_) changeThread_ = std::make_unique<TChangeHandlerThread>(WindowHandle(), WM_SHELLCHANGED);
  changeThread_->RemoveAllWatches();
  const shell::DWORD filter = NotifyFilter(options_);
  int slot = -1;
  for (const shell::Volume& volume : shell::MountedVolumes()) {
    const bool watched = volume.type == shell::DRIVE_FIXED || volume.type == shell::DRIVE_RAMDISK ||
                         (volume.type == shell::DRIVE_REMOTE && IsNetDriveConnected(volume.root));
    if (watched) changeThread_->AddWatch(volume.root, filter, &slot, true);
  }
}

void TCtCustomShellTree::StopWatching() {
  if (changeThread_) changeThread_->RemoveAllWatches();
}

void TCtCustomShellTree::SetChangeWatch(const std::string& path) {
  if (!HandleAllocated()) return;
  if (!changeThread_) changeThread_ = std::make_unique<TChangeHandlerThread>(WindowHandle(), WM_SHELLCHANGED);
  if (path.empty()) return changeThread_->RemoveAllWatches();
  const shell::DWORD filter = NotifyFilter(options_);
  int slot = -1;
  changeThread_->AddWatch(shell::VolumeOf(path).root, filter, &slot, true);
}

// Many notifications in a row restart one timer: one refresh.
void TCtCustomShellTree::ShellChanged() {
  if (ignoreNextChange_ || modalOperation_) {
    ignoreNextChange_ = false;
    return;
  }
  RestartDelayTimer(kDeferredRefresh, Focused() ? kFocusedRefreshMs : kUnfocusedRefreshMs);
}

void TCtCustomShellTree::ShellAutoFill() {
  if (!Items()->GetFirstNode()) FillTree();
}

void TCtCustomShellTree::DeviceChanged(TCtDeviceChangeHandler*, const win::MSG& message) {
  if (message.wParam != shell::DBT_DEVICEARRIVAL && message.wParam != shell::DBT_DEVICEREMOVECOMPLETE) return;
  RefreshDrives();
  DisableDriveRefresh();
  try {
    RefreshNodes();
  } catch (...) {
    EnableDriveRefresh();
    throw;
  }
  EnableDriveRefresh();
}

}  // namespace qelo::ct
