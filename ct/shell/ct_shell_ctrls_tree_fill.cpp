// The shell tree's filling, sorting, selecting by item-id list, refreshing
// against the namespace, and watching for changes.
#include "ct_shell_ctrls_tree.h"

#include <algorithm>
#include <chrono>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "ct_shell_utils_lists.h"
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

// What one slice of adding a large level's nodes may take, and the number
// of nodes the first slice tries.
constexpr std::chrono::milliseconds kFillSliceTime{15};
constexpr std::size_t kFirstSliceItems = 400;
using Clock = std::chrono::steady_clock;

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
  bool later = false;
  try {
    Items()->BeginUpdate();
    try {
      later = FillLevel(folder, node);
    } catch (...) {
      Items()->EndUpdate();
      throw;
    }
    Items()->EndUpdate();
  } catch (...) {
    DoFillComplete();
    throw;
  }
  if (!later) DoFillComplete();  // else once the fill off the thread ends
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

void RaiseUnlessVanished(HRESULT hr) {
  if (FAILED(hr) && !VanishedWhileListed(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
}

}  // namespace

// The items are listed first. A level of more than SyncFillLimit() items
// has their attributes read off the window's thread (StartFill); a smaller
// one is filled here and now, item by item in the order listed, then sorted.
bool TCtCustomShellTree::FillLevel(IShellFolder* folder, TTreeNode* node) {
  const shell::ComPtr<IShellFolder> held = shell::ComPtr<IShellFolder>::Share(folder);
  TTreeNode* parent = node;
  if (node) TreeData(node)->RejoinAbsolute();
  else parent = MakeRootNode(folder);
  TCtShellTreeData* parentData = TreeData(parent);
  shell::ComPtr<shell::IEnumIDList> enumerator;
  if (FAILED(folder->EnumObjects(ShellOwnerWindow(), EnumerationFlags(), enumerator.Put())) || !enumerator) {
    parent->SetHasChildren(true);
    return false;
  }
  std::vector<shell::IdListPtr> items;
  const HRESULT next = CollectItems(*enumerator.Get(), items);
  if (next == shell::S_FALSE && items.size() > syncFillLimit_ && HandleAllocated()) {
    StartFill(parent, std::move(items));
    if (!node) parent->Expand(false);
    return true;
  }
  for (const shell::IdListPtr& item : items)
    RaiseUnlessVanished(AddNewShellItem(folder, parentData->AbsoluteIdList(), item.Get(), parent));
  if (parent->Count() == 0) parent->SetHasChildren(false);
  if (next != shell::S_FALSE) {
    if (next == shell::E_FAIL) return false;
    throw vcl::Exception(shell::SystemErrorText(next));
  }
  SortChildren(parent);
  if (!node) parent->Expand(false);
  return false;
}

shell::ULONG TCtCustomShellTree::ItemAttributeMask() const {
  return Shell32FileVersion().mostSignificant > kStreamAttributeVersion ? kItemAttributesWithStream : kItemAttributes;
}

HRESULT TCtCustomShellTree::AddNewShellItem(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, LPCITEMIDLIST item,
                                            TTreeNode* parentNode) {
  if (!item) return shell::S_OK;
  shell::ULONG attributes = ItemAttributeMask();
  if (HRESULT hr = folder->GetAttributesOf(1, &item, &attributes); FAILED(hr)) return hr;
  AddShellItemNode(folder, parentAbsolute, item, attributes, nullptr, parentNode, nullptr);
  return shell::S_OK;
}

TTreeNode* TCtCustomShellTree::AddShellItemNode(IShellFolder* folder, LPCITEMIDLIST parentAbsolute,
                                                LPCITEMIDLIST item, shell::ULONG attributes, const std::string* name,
                                                TTreeNode* parentNode, TTreeNode* before) {
  const bool offered = options_.Contains(stoVirtualFolders) ||
                       (attributes & (shell::SFGAO_FILESYSTEM | shell::SFGAO_FILESYSANCESTOR)) != 0;
  if (!offered || !DoAddItem(folder, parentAbsolute, attributes, item)) return nullptr;
  TCtShellTreeData* parentData = TreeData(parentNode);
  auto* data = new TCtShellTreeData(this, parentData);
  ownData_.insert(data);
  data->SetIdLists(parentData, item);
  const std::string text = name ? *name : GetDisplayNameOf(folder, item, TCtNameKind::nkInFolder);
  TTreeNode* node = nullptr;
  if (before) {
    node = Items()->Insert(before, text);
    node->SetData(data);
  } else {
    node = Items()->AddChildObject(parentNode, text, data);
  }
  const bool isFolder = (attributes & shell::SFGAO_FOLDER) != 0;
  const bool hasSubfolder = (attributes & shell::SFGAO_HASSUBFOLDER) != 0;
  node->SetHasChildren(options_.Contains(stoIncludeNonFolders) ? isFolder || hasSubfolder : isFolder && hasSubfolder);
  if (attributes & shell::SFGAO_SHARE) node->SetOverlayIndex(0);
  else if (attributes & shell::SFGAO_LINK) node->SetOverlayIndex(1);
  if (attributes & shell::SFGAO_GHOSTED) node->SetCut(true);
  DoInsertItem(node);
  return node;
}

bool TCtCustomShellTree::DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, shell::ULONG attributes,
                                   LPCITEMIDLIST item) {
  bool allow = true;
  if (OnAddItem) OnAddItem(this, folder, parentAbsolute, item, attributes, allow);
  return allow;
}

// ---- large levels, filled off the window's thread ------------------------------------

// The node keeps its button and, when asked, opens at once; its children
// come in slices as the job reads them.
void TCtCustomShellTree::StartFill(TTreeNode* node, std::vector<shell::IdListPtr> items) {
  PendingFill fill;
  fill.node = node;
  fill.ticket = ++lastTicket_;
  fill.slice = kFirstSliceItems;
  fill.job = std::make_unique<TCtShellFillJob>(TreeData(node)->AbsoluteIdList(), std::move(items),
                                               ItemAttributeMask(), WindowHandle(), kFillReadyMessage, fill.ticket);
  pendingFills_.push_back(std::move(fill));
  win::PostMessage(WindowHandle(), kFillReadyMessage, 0, 0);  // what the job read before it could be told
}

TCtCustomShellTree::PendingFill* TCtCustomShellTree::PendingFillOf(TTreeNode* node) {
  for (PendingFill& fill : pendingFills_)
    if (fill.node == node) return &fill;
  return nullptr;
}

// One slice of the first fill with items read and not yet added. The next
// slice waits for a timer, which comes after the input and painting that
// are waiting, so the window answers between slices; a fill that has
// added all its read items waits for the job's message.
void TCtCustomShellTree::ContinueFills() {
  auto ready = std::find_if(pendingFills_.begin(), pendingFills_.end(),
                            [](PendingFill& f) { return f.next < f.job->ReadyCount(); });
  if (ready != pendingFills_.end()) {
    TTreeNode* node = ready->node;
    bool whole = false;
    try {
      whole = AddFilledItems(*ready, false);
    } catch (...) {
      EndFill(node);
      throw;
    }
    if (whole) EndFill(node);
  }
  bool more = false;
  for (PendingFill& f : pendingFills_) more = f.next < f.job->ReadyCount(true) || more;
  if (more && HandleAllocated()) win::SetTimer(WindowHandle(), kFillSliceTimer, 1, nullptr);
}

// The children that other steps added while the fill went on (selecting a
// path adds the folders on the way): one that stands for an item of the
// fill takes that item's place, as if the fill had made it; one the fill
// does not list (a hidden folder) stays after the fill's items, as it
// would have been added after a whole fill.
std::vector<TCtCustomShellTree::ForeignChild> TCtCustomShellTree::ForeignChildren(PendingFill& fill) {
  std::vector<ForeignChild> foreign;
  TCtShellTreeData* parentData = TreeData(fill.node);
  IShellFolder* folder = parentData ? parentData->ShellFolder() : nullptr;
  TCtShellFillJob& job = *fill.job;
  auto order = [&](LPCITEMIDLIST a, LPCITEMIDLIST b) {
    const HRESULT hr = folder->CompareIDs(0, a, b);
    return SUCCEEDED(hr) ? shell::CompareResultOrder(hr) : 0;
  };
  for (int i = 0; folder && i < fill.node->Count(); ++i) {
    TTreeNode* child = fill.node->Item(i);
    TCtShellTreeData* data = TreeData(child);
    if (!data || data->FillTicket() == fill.ticket) continue;
    std::size_t low = 0, high = job.Count();  // the first of the fill's items not before the child
    while (low < high) {
      const std::size_t middle = (low + high) / 2;
      if (order(job.Item(middle).item.Get(), data->RelativeIdList()) < 0) low = middle + 1;
      else high = middle;
    }
    ForeignChild f;
    f.node = child;
    f.same = low < job.Count() && order(job.Item(low).item.Get(), data->RelativeIdList()) == 0;
    f.before = f.same ? low : job.Count();
    foreign.push_back(f);
  }
  return foreign;
}

namespace {

bool InView(TCustomTreeView& tree, TTreeNode* node) {
  if (!node) return false;
  const TRect r = node->DisplayRect(false);
  return r.bottom > r.top && r.top >= 0 && r.bottom <= tree.ClientHeight();
}

}  // namespace

// Nodes go in in the folder's order: before the first child another step
// added that follows them, else last. An item that such a child stands
// for already is not added twice. The selection, when it was in view,
// stays in view.
bool TCtCustomShellTree::AddFilledItems(PendingFill& fill, bool whole) {
  TCtShellFillJob& job = *fill.job;
  TCtShellTreeData* parentData = TreeData(fill.node);
  IShellFolder* folder = parentData ? parentData->ShellFolder() : nullptr;
  if (!folder) {
    fill.next = job.Count();
    return true;
  }
  const shell::ComPtr<IShellFolder> held = shell::ComPtr<IShellFolder>::Share(folder);
  const std::vector<ForeignChild> foreign = ForeignChildren(fill);
  TTreeNode* selected = Selected();
  const bool keepInView = InView(*this, selected);
  const Clock::time_point start = Clock::now();
  const std::size_t end = whole ? job.Count() : std::min(job.ReadyCount(), fill.next + fill.slice);
  const std::size_t first = fill.next;
  std::size_t cursor = 0;
  Items()->BeginUpdate();
  try {
    for (; fill.next < end; ++fill.next) {
      const std::size_t i = fill.next;
      const TCtListedItem& entry = job.Item(i);
      if (std::any_of(foreign.begin(), foreign.end(), [i](const ForeignChild& f) { return f.same && f.before == i; }))
        continue;
      RaiseUnlessVanished(entry.result);
      if (FAILED(entry.result)) continue;
      while (cursor < foreign.size() && foreign[cursor].before <= i) ++cursor;
      TTreeNode* before = cursor < foreign.size() ? foreign[cursor].node : nullptr;
      if (TTreeNode* made = AddShellItemNode(folder, parentData->AbsoluteIdList(), entry.item.Get(),
                                             entry.attributes, &entry.name, fill.node, before))
        TreeData(made)->SetFillTicket(fill.ticket);
    }
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
  if (keepInView && selected == Selected()) selected->MakeVisible();
  // The next slice takes as many items as fit its time, judged by this one.
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  const std::size_t done = fill.next - first;
  if (!whole && done > 0 && took > 0)
    fill.slice = std::clamp<std::size_t>(
        static_cast<std::size_t>(static_cast<double>(done) * std::chrono::microseconds(kFillSliceTime).count() / took),
        32, 8192);
  return fill.next == job.Count();
}

// A level that got no children loses its button; one sorted while it
// filled (a rename of a child) is sorted again, its later nodes with it.
void TCtCustomShellTree::EndFill(TTreeNode* node) {
  auto it = std::find_if(pendingFills_.begin(), pendingFills_.end(),
                         [node](const PendingFill& f) { return f.node == node; });
  if (it == pendingFills_.end()) return;
  const bool resort = it->resort;
  pendingFills_.erase(it);
  if (node->Count() == 0) node->SetHasChildren(false);
  if (resort) SortChildren(node);
  DoFillComplete();
}

void TCtCustomShellTree::FinishPendingFills() {
  while (!pendingFills_.empty()) {
    PendingFill& fill = pendingFills_.front();
    TTreeNode* node = fill.node;
    fill.job->WaitForAll();
    try {
      AddFilledItems(fill, true);
    } catch (...) {
      EndFill(node);
      throw;
    }
    EndFill(node);
  }
}

// A dropped fill still tells its end, so that the fill notifications pair.
void TCtCustomShellTree::CancelFills(TTreeNode* node) {
  std::size_t ended = 0;
  for (auto it = pendingFills_.begin(); it != pendingFills_.end();) {
    if (node && it->node != node) {
      ++it;
      continue;
    }
    it = pendingFills_.erase(it);  // the job stops here
    ++ended;
  }
  if (ComponentState().Contains(csDestroying)) return;
  for (; ended > 0; --ended) DoFillComplete();
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
  if (PendingFill* fill = PendingFillOf(node)) fill->resort = true;
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

// Levels still being filled off the thread are completed first: the
// comparison with the shell needs them whole.
void TCtCustomShellTree::RefreshNodes() {
  if (Busy()) {
    refreshPending_ = true;
    return;
  }
  if (!Items()->GetFirstNode()) return FillTree();
  FinishPendingFills();
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
  RestartDelayTimer(kDeferredRefresh, ShellChangeRefreshDelayMs(Focused()));
}

void TCtCustomShellTree::ShellAutoFill() {
  if (!Items()->GetFirstNode()) FillTree();
}

void TCtCustomShellTree::DeviceChanged(TCtDeviceChangeHandler*, const win::MSG& message) {
  if (!IsDriveArrivalOrRemoval(message)) return;
  RefreshDrives();
  const TDriveRefreshPause pause;
  RefreshNodes();
}

}  // namespace qelo::ct
