// The shell tree in OLE drag and drop: nodes dragged out, drops on nodes
// passed to the items' own drop targets, scrolling and expanding on hover.
#include "ct_shell_ctrls_tree.h"

#include "ct_shell_intf.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_utils.h"
#include "shell/special_folders.h"
#include "vcl/controls/forms.h"
#include "win/window/scrollbars.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// A node's item as its parent folder holds it.
struct ItemInFolder {
  shell::ComPtr<IShellFolder> folder;
  shell::IdListPtr folderList;
  shell::IdListPtr item;
};

// An absolute list split into its parent folder and last item; the
// desktop's empty list stands for the desktop directory.
bool SplitAbsolute(LPCITEMIDLIST absolute, ItemInFolder* out) {
  shell::IdListPtr desktopDirectory;
  if (shell::ILIsEmpty(absolute)) {
    if (FAILED(PathToIdList(SpecialFolderPath(nullptr, shell::CSIDL_DESKTOP), desktopDirectory.Put()))) return false;
    absolute = desktopDirectory.Get();
  }
  TCtIdListArray view(absolute);
  if (view.Count() == 0) return false;
  out->folderList.Reset(CopyIdList(ShellMalloc(), view.Ancestor(1)));
  out->item.Reset(CopyIdList(ShellMalloc(), view.Item(view.Count() - 1)));
  return SUCCEEDED(BindToShellFolder(out->folderList.Get(), &out->folder));
}

bool LocateItem(TCtShellTreeData* data, ItemInFolder* out) {
  if (data->IsRoot()) return SplitAbsolute(data->AbsoluteIdList(), out);
  out->folder = shell::ComPtr<IShellFolder>::Share(data->ParentShellFolder());
  out->folderList.Reset(CopyIdList(ShellMalloc(), data->ParentData()->AbsoluteIdList()));
  out->item.Reset(CopyIdList(ShellMalloc(), data->RelativeIdList()));
  return static_cast<bool>(out->folder);
}

}  // namespace

// The root's data object names the root's item in its own parent folder,
// so a Send To of the root has the parent it needs.
shell::ComPtr<IDataObject> TCtCustomShellTree::NodeDataObject(TTreeNode* node) {
  TCtShellTreeData* data = TreeData(node);
  ItemInFolder located;
  if (!data || !LocateItem(data, &located)) return {};
  return TDataObject_shtv::Create(located.folder.Get(), located.folderList.Get(), located.item.Get());
}

int TCtCustomShellTree::GetAllowedEffects(TTreeNode* node) {
  constexpr int kAll = shell::DROPEFFECT_COPY | shell::DROPEFFECT_MOVE | shell::DROPEFFECT_LINK;
  TCtShellTreeData* data = TreeData(node);
  ItemInFolder located;
  if (!data || !LocateItem(data, &located)) return kAll;
  shell::ULONG attributes = kAll;
  LPCITEMIDLIST item = located.item.Get();
  if (FAILED(located.folder->GetAttributesOf(1, &item, &attributes))) return kAll;
  return static_cast<int>(attributes & kAll);
}

shell::ComPtr<shell::IDropSource> TCtCustomShellTree::CreateDropSource(int buttonKind) {
  return ct::CreateDropSource(buttonKind);
}

// ---- dragging out ------------------------------------------------------------------------

// The root is never dragged. A drop, or a refresh asked for meanwhile,
// refreshes the tree once the drag is over.
void TCtCustomShellTree::BeginOleDrag(const win::NMTREEVIEW& notification, bool rightButton) {
  dragNode_ = Items()->GetNode(notification.itemNew.hItem);
  SetDropTarget(dragNode_);
  TCtShellTreeData* data = TreeData(dragNode_);
  if (data && !data->IsRoot()) {
    HRESULT result = shell::DRAGDROP_S_CANCEL;
    {
      TFlagScope modal(modalOperation_);
      dragData_ = NodeDataObject(dragNode_);
      if (dragData_) {
        const int allowed = GetAllowedEffects(dragNode_);
        shell::ComPtr<shell::IDropSource> source = CreateDropSource(rightButton ? 1 : 0);
        uint32_t effect = shell::DROPEFFECT_NONE;
        try {
          result = shell::DoDragDrop(dragData_.Get(), source.Get(), static_cast<uint32_t>(allowed), &effect);
        } catch (...) {
          dragData_.Reset();
          throw;
        }
      }
    }
    dragData_.Reset();
    const bool pending = std::exchange(refreshPending_, false);
    if (result == shell::DRAGDROP_S_DROP || pending) RefreshNodes();
  }
  dragNode_ = nullptr;
  SetDropTarget(nullptr);
}

// ---- drops -------------------------------------------------------------------------------

TTreeNode* TCtCustomShellTree::NodeAtScreen(win::POINT point) {
  const TPoint p = ScreenToClient(Point(point.x, point.y));
  return GetNodeAt(p.x, p.y);
}

void TCtCustomShellTree::RegisterDropTarget() {
  if (dropTarget_ || !HandleAllocated()) return;
  dropTarget_ = shell::ComPtr<shell::IDropTarget>::Adopt(new TDropTarget_shtv(this));
  if (FAILED(shell::RegisterDragDrop(WindowHandle(), dropTarget_.Get()))) dropTarget_.Reset();
}

void TCtCustomShellTree::RevokeDropTarget() {
  if (!dropTarget_) return;
  if (HandleAllocated()) shell::RevokeDragDrop(WindowHandle());
  dropTarget_.Reset();
}

// The root's row takes nothing on entering; moving over it later asks the
// root item's own drop target.
HRESULT TCtCustomShellTree::DragEnter(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) {
  dragOver_.Enter(data, keys);
  lastMove_ = win::GetTickCount();
  hoverPoint_ = ScreenToClient(Point(point.x, point.y));
  TTreeNode* node = NodeAtScreen(point);
  TCtShellTreeData* nodeData = TreeData(node);
  if (!nodeData || nodeData->IsRoot()) {
    SetDropTarget(dragNode_);
    *effect = shell::DROPEFFECT_NONE;
    return shell::S_OK;
  }
  shell::ComPtr<shell::IDropTarget> target;
  nodeData->GetDropTarget(ShellOwnerWindow(), target.Put());
  SetDropTarget(node);
  if (!target) {
    *effect = shell::DROPEFFECT_NONE;
    return shell::S_OK;
  }
  target->DragEnter(data, keys, point, effect);
  target->DragLeave();
  return shell::S_OK;
}

HRESULT TCtCustomShellTree::DragOver(uint32_t keys, win::POINT point, uint32_t* effect) {
  TTreeNode* before = DropTarget();
  TTreeNode* node = NodeAtScreen(point);
  TCtShellTreeData* nodeData = TreeData(node);
  shell::ComPtr<shell::IDropTarget> target;
  if (nodeData) nodeData->GetDropTarget(ShellOwnerWindow(), target.Put());
  if (target) {
    dragOver_.Ask(*target.Get(), keys, point, effect);
    SetDropTarget(node);
  } else {
    *effect = shell::DROPEFFECT_NONE;
    SetDropTarget(dragNode_);
  }
  DragScrollAndExpand(ScreenToClient(Point(point.x, point.y)));
  *effect |= shell::DROPEFFECT_SCROLL;
  if (DropTarget() != before) Repaint();
  return shell::S_OK;
}

HRESULT TCtCustomShellTree::DragLeave() {
  dragOver_.Leave();
  SetDropTarget(nullptr);
  return shell::S_OK;
}

HRESULT TCtCustomShellTree::Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) {
  TCtDropEnd end([this] {
    SetDropTarget(nullptr);
    dragOver_.Leave();
  });
  TCtShellTreeData* nodeData = TreeData(NodeAtScreen(point));
  shell::ComPtr<shell::IDropTarget> target;
  if (nodeData) nodeData->GetDropTarget(ShellOwnerWindow(), target.Put());
  if (!target) {
    *effect = shell::DROPEFFECT_NONE;
    return shell::S_OK;
  }
  const HRESULT result = dragOver_.DropOn(*target.Get(), data, keys, point, effect);
  RefreshNodes();
  return result;
}

// Near an edge the view scrolls a line at most every 100 ms; resting over
// a node that was never filled expands it after the system's hover time.
void TCtCustomShellTree::DragScrollAndExpand(TPoint p) {
  const win::DWORD now = win::GetTickCount();
  if (dragOver_.AutoScroll().Step(WindowHandle(), ClientRect(), p, true)) lastMove_ = now;
  const int w = MouseHoverWidth(), h = MouseHoverHeight();
  const bool resting = p.x >= hoverPoint_.x - w / 2 && p.x <= hoverPoint_.x + w && p.y >= hoverPoint_.y - h / 2 &&
                       p.y <= hoverPoint_.y + h;
  if (!resting) {
    hoverPoint_ = p;
    lastMove_ = now;
    return;
  }
  if (now - lastMove_ < MouseHoverTime()) return;
  TTreeNode* node = GetNodeAt(hoverPoint_.x, hoverPoint_.y);
  if (!node || !node->HasChildren() || node->Count() > 0) return;
  CountScope silent(silent_);
  try {
    FillNodeIfNeeded(node);
  } catch (const std::exception&) {
    node->SetHasChildren(false);  // the drag goes on
    return;
  }
  node->Expand(false);
}

}  // namespace qelo::ct
