#include <algorithm>
#include <utility>

#include "controls/lists/label_edit.h"
#include "controls/lists/listview_state.h"

namespace qelo::win::lists {
namespace {

constexpr int kF2 = 0x71;

bool Down(int key) { return GetKeyState(key) < 0; }

UINT KeyFlags() {
  return (Down(VK_SHIFT) ? LVKF_SHIFT : 0u) | (Down(VK_CONTROL) ? LVKF_CONTROL : 0u) |
         (Down(VK_MENU) ? LVKF_ALT : 0u);
}

}  // namespace

LRESULT ListView::NotifyActivate(UINT code, POINT p) {
  const LVHITTESTINFO hit = HitTest(p);
  NMITEMACTIVATE n;
  n.iItem = hit.iItem;
  n.iSubItem = hit.iSubItem;
  n.ptAction = p;
  n.uKeyFlags = KeyFlags();
  if (ValidItem(hit.iItem)) {
    n.lParam = items_[static_cast<size_t>(hit.iItem)].param;
    n.uNewState = n.uOldState = items_[static_cast<size_t>(hit.iItem)].state;
  }
  return Notify(code, &n.hdr);
}

// A left press selects as the platform does: alone, or with Ctrl toggled,
// or with Shift as a range from the anchor; a press on a check box toggles
// it; a press beside the items clears the selection.
void ListView::ButtonDown(POINT p, WPARAM keys, bool doubleClick) {
  if (edit_) EndLabelEdit(edit_, true);
  if (GetFocus() != window_) SetFocus(window_);
  const LVHITTESTINFO hit = HitTest(p);
  const int index = hit.iItem;
  const bool multi = !(Style() & LVS_SINGLESEL);
  const bool wasCurrent = ValidItem(index) && index == FocusedItem() &&
                          (items_[static_cast<size_t>(index)].state & LVIS_SELECTED) &&
                          SelectedCount() == 1;
  editOnUp_ = false;
  if (ValidItem(index) && (hit.flags & LVHT_ONITEMSTATEICON) && HasCheckBoxes()) {
    ToggleCheck(index);
  } else if (ValidItem(index)) {
    if ((keys & MK_CONTROL) && multi) {
      const UINT old = items_[static_cast<size_t>(index)].state;
      SetItemState(index, (old ^ LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      anchor_ = index;
    } else if ((keys & MK_SHIFT) && multi) {
      SelectRange(anchor_, index);
    } else {
      SelectOnly(index);
      anchor_ = index;
      editOnUp_ = !doubleClick && wasCurrent && (Style() & LVS_EDITLABELS) &&
                  (hit.flags & LVHT_ONITEMLABEL);
    }
  } else if (!(keys & (MK_CONTROL | MK_SHIFT))) {
    DeselectAll();
  }
  leftDown_ = !doubleClick;
  downItem_ = index;
  downPoint_ = p;
  if (leftDown_) SetCapture(window_);
  if (doubleClick) {
    NotifyActivate(NM_DBLCLK, p);
    if (ValidItem(index)) NotifyActivate(LVN_ITEMACTIVATE, p);
  }
}

void ListView::ButtonUp(POINT p) {
  if (!leftDown_) return;
  const bool edit = std::exchange(editOnUp_, false);
  leftDown_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  NotifyActivate(NM_CLICK, p);
  if (edit && ValidItem(downItem_)) EditLabel(downItem_);
}

void ListView::RightButtonDown(POINT p) {
  if (edit_) EndLabelEdit(edit_, true);
  if (GetFocus() != window_) SetFocus(window_);
  const LVHITTESTINFO hit = HitTest(p);
  if (ValidItem(hit.iItem)) {
    if (!(items_[static_cast<size_t>(hit.iItem)].state & LVIS_SELECTED)) SelectOnly(hit.iItem);
    else SetItemState(hit.iItem, LVIS_FOCUSED, LVIS_FOCUSED);
    anchor_ = hit.iItem;
  } else if (!Down(VK_CONTROL)) {
    DeselectAll();
  }
  rightDown_ = true;
  downItem_ = hit.iItem;
  downPoint_ = p;
  SetCapture(window_);
}

// NM_RCLICK, then, unless the parent answered it, WM_CONTEXTMENU to the
// control itself (whose default handling passes it to the parent).
void ListView::RightButtonUp(POINT p) {
  if (!rightDown_) return;
  rightDown_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  if (NotifyActivate(NM_RCLICK, p) == 0)
    SendMessage(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_),
                ScreenPointParam(window_, p));
}

// Moving an item with a button held starts a drag (LVN_BEGINDRAG for the
// left button, LVN_BEGINRDRAG for the right), which ends the click.
void ListView::MouseMove(POINT p, WPARAM keys) {
  const bool left = leftDown_ && (keys & MK_LBUTTON);
  const bool right = rightDown_ && (keys & MK_RBUTTON);
  if ((left || right) && ValidItem(downItem_) && BeyondDragDistance(downPoint_, p)) {
    leftDown_ = rightDown_ = editOnUp_ = false;
    ReleaseCapture();
    NMLISTVIEW n;
    n.iItem = downItem_;
    n.ptAction = downPoint_;
    n.lParam = items_[static_cast<size_t>(downItem_)].param;
    Notify(left ? LVN_BEGINDRAG : LVN_BEGINRDRAG, &n.hdr);
    return;
  }
  const int over = HitTest(p).iItem;
  if (over != hot_) {
    hot_ = over;
    if (exStyle_ & LVS_EX_INFOTIP) AskInfoTip(over);
  }
}

// The parent gets the label (when it does not fit its column) to change;
// showing the tip is left to the tool-tip control.
void ListView::AskInfoTip(int index) {
  if (!ValidItem(index) || index == tipItem_) return;
  tipItem_ = index;
  const std::string label = Text(index, 0);
  const RECT r = PartRect(index, LVIR_LABEL);
  const bool fits = TextWidth(label) + 4 <= r.right - r.left;
  NMLVGETINFOTIP tip;
  char text[1024];
  CopyText(fits ? std::string() : label, text, sizeof text);
  tip.dwFlags = fits ? LVGIT_UNFOLDED : 0;
  tip.pszText = text;
  tip.cchTextMax = sizeof text;
  tip.iItem = index;
  tip.lParam = items_[static_cast<size_t>(index)].param;
  Notify(LVN_GETINFOTIP, &tip.hdr);
}

void ListView::MoveFocus(int to) {
  if (Count() == 0 || to < 0) return;
  to = std::clamp(to, 0, Count() - 1);
  const bool multi = !(Style() & LVS_SINGLESEL);
  if (Down(VK_SHIFT) && multi) {
    SelectRange(anchor_, to);
  } else if (Down(VK_CONTROL) && multi) {
    SetItemState(to, LVIS_FOCUSED, LVIS_FOCUSED);
  } else {
    SelectOnly(to);
    anchor_ = to;
  }
  EnsureVisible(to);
}

void ListView::KeyDown(int key) {
  NMLVKEYDOWN n;
  n.wVKey = static_cast<uint16_t>(key);
  Notify(LVN_KEYDOWN, &n.hdr);
  const int focus = FocusedItem();
  const int page = std::max(1, RowsPerPage() - 1);
  switch (key) {
    case VK_UP: MoveFocus(focus < 0 ? FirstShownItem() : StepItem(focus, -1)); break;
    case VK_DOWN: MoveFocus(focus < 0 ? FirstShownItem() : StepItem(focus, 1)); break;
    case VK_HOME: MoveFocus(FirstShownItem()); break;
    case VK_END: MoveFocus(LastShownItem()); break;
    case VK_PRIOR: MoveFocus(StepItem(focus, -page)); break;
    case VK_NEXT: MoveFocus(StepItem(focus, page)); break;
    case VK_SPACE:
      if (HasCheckBoxes()) ToggleCheck(focus);
      else if (ValidItem(focus)) SetItemState(focus, LVIS_SELECTED, LVIS_SELECTED);
      break;
    case kF2:
      if (Style() & LVS_EDITLABELS) EditLabel(focus);
      break;
    case 'A':
      if (Down(VK_CONTROL) && !(Style() & LVS_SINGLESEL)) {
        LVITEM all;
        all.state = all.stateMask = LVIS_SELECTED;
        SetItemStates(static_cast<WPARAM>(-1), &all);
      }
      break;
    default: AnswerCommonKey(window_, key); break;
  }
}

// The edit box exists (hidden) while the parent hears LVN_BEGINLABELEDIT,
// so that the parent may put another text into it (LVM_GETEDITCONTROL).
HWND ListView::EditLabel(int index) {
  if (edit_) EndLabelEdit(edit_, true);
  if (!ValidItem(index)) return nullptr;
  EnsureVisible(index);
  std::string text = Text(index, 0);
  RECT where = PartRect(index, LVIR_LABEL);
  auto done = [this](bool accepted, const std::string& edited) {
    const int item = std::exchange(editItem_, -1);
    edit_ = nullptr;
    if (!ValidItem(item)) return;
    std::string result = edited;
    NMLVDISPINFO end;
    end.item.mask = LVIF_TEXT | LVIF_PARAM;
    end.item.iItem = item;
    end.item.pszText = accepted ? result.data() : nullptr;
    end.item.cchTextMax = static_cast<int>(result.size() + 1);
    end.item.lParam = items_[static_cast<size_t>(item)].param;
    if (Notify(LVN_ENDLABELEDIT, &end.hdr) != 0 && accepted) {
      LVITEM set;
      set.pszText = result.data();
      SetItemText(item, &set);
    }
  };
  HWND edit = CreateLabelEdit(window_, where, text, ControlFont(font_), done);
  edit_ = edit;
  editItem_ = index;
  std::string offered = text;  // the parent may read it, not grow it
  NMLVDISPINFO begin;
  begin.item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  begin.item.iItem = index;
  begin.item.pszText = offered.data();
  begin.item.cchTextMax = static_cast<int>(offered.size() + 1);
  begin.item.lParam = items_[static_cast<size_t>(index)].param;
  begin.item.state = items_[static_cast<size_t>(index)].state;
  if (Notify(LVN_BEGINLABELEDIT, &begin.hdr) != 0 || !ValidItem(index) || edit_ != edit) {
    if (edit_ == edit) {
      edit_ = nullptr;
      editItem_ = -1;
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

void ListView::CancelEdit() {
  if (edit_) EndLabelEdit(edit_, false);
}

}  // namespace qelo::win::lists
