// The shell list in OLE drag and drop: the selection dragged out, drops on
// items passed to the items' own drop targets (or the folder's), and
// scrolling near the edges.
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_ctrls_list.h"
#include "vcl/controls/forms.h"
#include "win/window/scrollbars.h"

namespace qelo::ct {

using namespace vcl;

shell::ComPtr<shell::IDropSource> TCtCustomShellList::CreateDropSource(int buttonKind) {
  return ct::CreateDropSource(buttonKind);
}

shell::ComPtr<IDataObject> TCtCustomShellList::SelectionDataObject() {
  const std::vector<LPCITEMIDLIST> selected = SelectedIdLists();
  if (!shellFolder_ || selected.empty()) return {};
  return TDataObject_shlv::Create(shellFolder_.Get(), folderList_.Get(), selected);
}

// ---- dragging out ------------------------------------------------------------------------

// A drop, or a refresh asked for meanwhile, reads the folder again once the
// drag is over.
void TCtCustomShellList::BeginOleDrag(const win::NMLISTVIEW&, bool rightButton) {
  shell::ComPtr<IDataObject> data = SelectionDataObject();
  if (!data) return;
  HRESULT result = shell::DRAGDROP_S_CANCEL;
  {
    TFlagScope modal(modalOperation_);
    TFlagScope dragging(dragging_);
    dragButton_ = rightButton ? 1 : 0;
    const auto allowed = static_cast<uint32_t>(SelectedEffects());
    shell::ComPtr<shell::IDropSource> source = CreateDropSource(dragButton_);
    uint32_t effect = shell::DROPEFFECT_NONE;
    result = shell::DoDragDrop(data.Get(), source.Get(), allowed, &effect);
  }
  const bool pending = std::exchange(refreshPending_, false);
  if (result == shell::DRAGDROP_S_DROP || pending) RefreshItems();
}

// ---- drops -------------------------------------------------------------------------------

void TCtCustomShellList::RegisterDropTarget() {
  if (dropTarget_ || !HandleAllocated()) return;
  dropTarget_ = shell::ComPtr<shell::IDropTarget>::Adopt(new TDropTarget_shlv(this));
  if (FAILED(shell::RegisterDragDrop(WindowHandle(), dropTarget_.Get()))) dropTarget_.Reset();
}

void TCtCustomShellList::RevokeDropTarget() {
  if (!dropTarget_) return;
  if (HandleAllocated()) shell::RevokeDragDrop(WindowHandle());
  dropTarget_.Reset();
}

void TCtCustomShellList::ShowDropHighlight(TListItem* item) {
  if (item == dropHighlight_) return;
  auto setState = [this](TListItem* which, bool on) {
    if (!which || !HandleAllocated()) return;
    win::LVITEM state;
    state.stateMask = win::LVIS_DROPHILITED;
    state.state = on ? win::LVIS_DROPHILITED : 0;
    win::SendMessage(WindowHandle(), win::LVM_SETITEMSTATE, static_cast<win::WPARAM>(which->Index()),
                     reinterpret_cast<win::LPARAM>(&state));
  };
  setState(dropHighlight_, false);
  dropHighlight_ = item;
  setState(item, true);
}

// The target under a screen point: an item's own drop target (highlighted),
// else the folder's. `over` tells what the point is over.
shell::ComPtr<shell::IDropTarget> TCtCustomShellList::DropTargetAt(win::POINT point, DropPlace* over,
                                                                 TListItem** highlight) {
  *highlight = nullptr;
  const TPoint p = ScreenToClient(Point(point.x, point.y));
  TListItem* item = GetItemAt(p.x, p.y);
  shell::ComPtr<shell::IDropTarget> target;
  if (item && !ListData(item)) {
    *over = DropPlace::kForeignItem;
    return target;
  }
  if (ListData(item)) {
    *over = DropPlace::kItem;
    if (SUCCEEDED(GetItemUIObject(item, shell::IID_IDropTarget, target.PutVoid()))) {
      *highlight = item;
      return target;
    }
  } else {
    *over = dragging_ ? DropPlace::kOwnEmptySpace : DropPlace::kEmptySpace;
    if (dragging_) return target;
  }
  GetItemDropTarget(folderList_.Get(), shell::IID_IDropTarget, target.PutVoid());
  return target;
}

HRESULT TCtCustomShellList::DragEnter(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) {
  dragOver_.Enter(data, keys);
  return DragOver(keys, point, effect);
}

HRESULT TCtCustomShellList::DragOver(uint32_t keys, win::POINT point, uint32_t* effect) {
  TListItem* before = dropHighlight_;
  DropPlace over = DropPlace::kEmptySpace;
  TListItem* highlight = nullptr;
  shell::ComPtr<shell::IDropTarget> target = DropTargetAt(point, &over, &highlight);
  if (over == DropPlace::kForeignItem) {
    *effect = shell::DROPEFFECT_COPY;
  } else if (over == DropPlace::kOwnEmptySpace) {
    *effect = dragButton_ == 1 ? shell::DROPEFFECT_COPY : shell::DROPEFFECT_NONE;
  } else if (target) {
    dragOver_.Ask(*target.Get(), keys, point, effect);
  } else {
    *effect = shell::DROPEFFECT_NONE;
  }
  ShowDropHighlight(*effect != shell::DROPEFFECT_NONE ? highlight : nullptr);
  dragOver_.AutoScroll().Step(WindowHandle(), ClientRect(), ScreenToClient(Point(point.x, point.y)), ViewStyle() != vsList);
  *effect |= shell::DROPEFFECT_SCROLL;
  if (dropHighlight_ != before) Repaint();
  return shell::S_OK;
}

HRESULT TCtCustomShellList::DragLeave() {
  dragOver_.Leave();
  ShowDropHighlight(nullptr);
  return shell::S_OK;
}

// A right-button drag of the list's own items dropped beside them copies
// into the folder (never moves onto itself); a left-button one does nothing.
HRESULT TCtCustomShellList::Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) {
  TCtDropEnd end([this] {
    ShowDropHighlight(nullptr);
    dragOver_.Leave();
  });
  DropPlace over = DropPlace::kEmptySpace;
  TListItem* highlight = nullptr;
  shell::ComPtr<shell::IDropTarget> target = DropTargetAt(point, &over, &highlight);
  if (over == DropPlace::kOwnEmptySpace && dragButton_ == 1) {
    GetItemDropTarget(folderList_.Get(), shell::IID_IDropTarget, target.PutVoid());
    *effect &= ~shell::DROPEFFECT_MOVE;
  }
  if (!target) {
    *effect = shell::DROPEFFECT_NONE;
    return shell::S_OK;
  }
  const HRESULT result = dragOver_.DropOn(*target.Get(), data, keys, point, effect);
  RefreshItems();
  return result;
}

}  // namespace qelo::ct
