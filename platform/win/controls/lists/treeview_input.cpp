#include <algorithm>
#include <utility>

#include "controls/lists/label_edit.h"
#include "controls/lists/treeview_state.h"

namespace qelo::win::lists {
namespace {

constexpr int kF2 = 0x71;
constexpr int kAdd = 0x6B;
constexpr int kSubtract = 0x6D;

}  // namespace

// A press on a button expands or collapses, on a check box toggles it,
// on an item selects it; a second press on the selected label edits it
// (on release) when labels are editable.
void TreeView::ButtonDown(POINT p, bool doubleClick) {
  if (edit_) EndLabelEdit(edit_, true);
  if (GetFocus() != window_) SetFocus(window_);
  const TVHITTESTINFO hit = HitTest(p);
  TreeNode* node = hit.hItem;
  const bool onItem = hit.flags & (TVHT_ONITEM | ((Style() & TVS_FULLROWSELECT) ? TVHT_ONITEMRIGHT : 0u));
  editOnUp_ = false;
  if (node && (hit.flags & TVHT_ONITEMBUTTON)) {
    Expand(node, TVE_TOGGLE);
  } else if (node && (hit.flags & TVHT_ONITEMSTATEICON) && (Style() & TVS_CHECKBOXES)) {
    ToggleCheck(node);
  } else if (node && onItem) {
    const bool wasSelected = node == selected_;
    if (doubleClick) {
      NMHDR n;
      if (Notify(NM_DBLCLK, &n) == 0 && Valid(node)) Expand(node, TVE_TOGGLE);
      return;
    }
    Select(node, TVC_BYMOUSE);
    editOnUp_ = wasSelected && (Style() & TVS_EDITLABELS) && (hit.flags & TVHT_ONITEMLABEL);
  } else if (doubleClick) {
    NMHDR n;
    Notify(NM_DBLCLK, &n);
    return;
  }
  leftDown_ = true;
  downItem_ = node && onItem ? node : nullptr;
  downPoint_ = p;
  SetCapture(window_);
}

void TreeView::ButtonUp() {
  if (!leftDown_) return;
  const bool edit = std::exchange(editOnUp_, false);
  leftDown_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  NMHDR n;
  Notify(NM_CLICK, &n);
  if (edit && Valid(downItem_)) EditLabel(downItem_);
}

void TreeView::RightButtonDown(POINT p) {
  if (edit_) EndLabelEdit(edit_, true);
  if (GetFocus() != window_) SetFocus(window_);
  const TVHITTESTINFO hit = HitTest(p);
  rightDown_ = true;
  downItem_ = (hit.flags & TVHT_ONITEM) ? hit.hItem : nullptr;
  downPoint_ = p;
  SetCapture(window_);
}

// NM_RCLICK, then, unless the parent answered it, WM_CONTEXTMENU to the
// control itself.
void TreeView::RightButtonUp(POINT p) {
  if (!rightDown_) return;
  rightDown_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  NMHDR n;
  if (Notify(NM_RCLICK, &n) == 0)
    SendMessage(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), ScreenPointParam(window_, p));
}

// Moving a node with a button held starts a drag (TVN_BEGINDRAG for the
// left button, TVN_BEGINRDRAG for the right) unless TVS_DISABLEDRAGDROP;
// the drag ends the click.
void TreeView::MouseMove(POINT p, WPARAM keys) {
  const bool left = leftDown_ && (keys & MK_LBUTTON);
  const bool right = rightDown_ && (keys & MK_RBUTTON);
  if (!(left || right) || !Valid(downItem_) || (Style() & TVS_DISABLEDRAGDROP) ||
      !BeyondDragDistance(downPoint_, p))
    return;
  leftDown_ = rightDown_ = editOnUp_ = false;
  ReleaseCapture();
  NMTREEVIEW n;
  n.action = TVC_BYMOUSE;
  n.itemNew = Describe(downItem_);
  n.ptDrag = downPoint_;
  Notify(left ? TVN_BEGINDRAG : TVN_BEGINRDRAG, &n.hdr);
}

void TreeView::SelectRow(int row) {
  const auto& rows = VisibleRows();
  if (rows.empty()) return;
  row = std::clamp(row, 0, static_cast<int>(rows.size()) - 1);
  Select(rows[static_cast<size_t>(row)], TVC_BYKEYBOARD);
}

void TreeView::KeyDown(int key) {
  NMTVKEYDOWN n;
  n.wVKey = static_cast<uint16_t>(key);
  Notify(TVN_KEYDOWN, &n.hdr);
  const int row = selected_ ? Row(selected_) : -1;
  const int page = std::max(1, RowsPerPage() - 1);
  switch (key) {
    case VK_UP: SelectRow(row - 1); break;
    case VK_DOWN: SelectRow(row + 1); break;
    case VK_HOME: SelectRow(0); break;
    case VK_END: SelectRow(static_cast<int>(VisibleRows().size()) - 1); break;
    case VK_PRIOR: SelectRow(row - page); break;
    case VK_NEXT: SelectRow(row + page); break;
    case VK_LEFT:
      if (selected_ && (selected_->state & TVIS_EXPANDED)) Expand(selected_, TVE_COLLAPSE);
      else if (selected_ && selected_->parent != &root_) Select(selected_->parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (selected_ && !(selected_->state & TVIS_EXPANDED) && HasChildren(selected_)) Expand(selected_, TVE_EXPAND);
      else if (selected_ && !selected_->children.empty()) Select(selected_->children.front().get(), TVC_BYKEYBOARD);
      break;
    case kAdd: if (selected_) Expand(selected_, TVE_EXPAND); break;
    case kSubtract: if (selected_) Expand(selected_, TVE_COLLAPSE); break;
    case VK_SPACE: ToggleCheck(selected_); break;
    case kF2: if (Style() & TVS_EDITLABELS) EditLabel(selected_); break;
    default: AnswerCommonKey(window_, key); break;
  }
}

// The edit box exists (hidden) while the parent hears TVN_BEGINLABELEDIT,
// so that the parent may put another text into it (TVM_GETEDITCONTROL).
HWND TreeView::EditLabel(HTREEITEM item) {
  if (edit_) EndLabelEdit(edit_, true);
  if (!Valid(item)) return nullptr;
  EnsureVisible(item);
  const std::string text = Text(item);
  RECT where = TextRect(item);
  RECT client;
  GetClientRect(window_, &client);
  where.right = std::max(where.right + 40, std::min<int>(client.right, where.left + 80));
  auto done = [this](bool accepted, const std::string& edited) {
    TreeNode* node = std::exchange(editItem_, nullptr);
    edit_ = nullptr;
    if (!Valid(node)) return;
    std::string result = edited;
    NMTVDISPINFO end;
    end.item = Describe(node);
    end.item.mask |= TVIF_TEXT;
    end.item.pszText = accepted ? result.data() : nullptr;
    end.item.cchTextMax = static_cast<int>(result.size() + 1);
    if (Notify(TVN_ENDLABELEDIT, &end.hdr) != 0 && accepted && Valid(node)) {
      node->text = result;
      node->textCallback = false;
      node->textWidth = TreeNode::kUnmeasured;
      LayoutChanged();
    }
  };
  HWND edit = CreateLabelEdit(window_, where, text, ControlFont(font_), done);
  edit_ = edit;
  editItem_ = item;
  std::string offered = text;  // the parent may read it, not grow it
  NMTVDISPINFO begin;
  begin.item = Describe(item);
  begin.item.mask |= TVIF_TEXT;
  begin.item.pszText = offered.data();
  begin.item.cchTextMax = static_cast<int>(offered.size() + 1);
  if (Notify(TVN_BEGINLABELEDIT, &begin.hdr) != 0 || !Valid(item) || edit_ != edit) {
    if (edit_ == edit) {
      edit_ = nullptr;
      editItem_ = nullptr;
    }
    if (edit) DiscardLabelEdit(edit);
    return nullptr;
  }
  if (edit == nullptr) {  // no edit box: the edit ends at once
    done(false, text);
    return nullptr;
  }
  ShowLabelEdit(edit);
  return edit;
}

}  // namespace qelo::win::lists
