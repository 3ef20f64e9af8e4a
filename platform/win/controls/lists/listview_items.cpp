#include <algorithm>
#include <cctype>

#include "controls/lists/listview_state.h"

namespace qelo::win::lists {
namespace {

LvText TextFrom(const char* text) {
  LvText t;
  t.callback = text == LPSTR_TEXTCALLBACK;
  t.text = ReadText(text);
  return t;
}

bool EqualNoCase(const std::string& a, const std::string& b, bool prefix) {
  if (prefix ? a.size() < b.size() : a.size() != b.size()) return false;
  for (size_t i = 0; i < b.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

int HeaderFormat(int fmt) {
  int out = HDF_STRING | (fmt & LVCFMT_JUSTIFYMASK);
  if (fmt & LVCFMT_IMAGE) out |= HDF_IMAGE;
  if (fmt & LVCFMT_BITMAP_ON_RIGHT) out |= HDF_BITMAP_ON_RIGHT;
  return out;
}

}  // namespace

LRESULT ListView::NotifyItem(UINT code, int index, int subItem) {
  NMLISTVIEW n;
  n.iItem = index;
  n.iSubItem = subItem;
  if (ValidItem(index)) n.lParam = items_[static_cast<size_t>(index)].param;
  return Notify(code, &n.hdr);
}

// ---- items -------------------------------------------------------------

// An owner-data list takes no items: the parent keeps them.
LRESULT ListView::InsertItem(const LVITEM* in) {
  if (in == nullptr || in->iSubItem != 0 || OwnerData()) return -1;
  LvItem item;
  item.texts.push_back((in->mask & LVIF_TEXT) ? TextFrom(in->pszText) : LvText{});
  if (in->mask & LVIF_IMAGE) item.image = in->iImage;
  if (in->mask & LVIF_PARAM) item.param = in->lParam;
  if (in->mask & LVIF_INDENT) item.indent = std::max(0, in->iIndent);
  if (in->mask & LVIF_STATE) item.state = in->state & in->stateMask;
  if (in->mask & LVIF_GROUPID) item.group = in->iGroupId;
  if (HasCheckBoxes() && !(item.state & LVIS_STATEIMAGEMASK)) item.state |= LVIS_UNCHECKED;
  const int at = std::clamp(in->iItem, 0, Count());
  items_.insert(items_.begin() + at, std::move(item));
  RowsChanged();
  if (editItem_ >= at) ++editItem_;
  if (anchor_ >= at) ++anchor_;
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  NotifyItem(LVN_INSERTITEM, at);
  return at;
}

LRESULT ListView::DeleteItem(int index) {
  if (!ValidItem(index)) return 0;
  if (index == editItem_) CancelEdit();
  NotifyItem(LVN_DELETEITEM, index);
  if (!ValidItem(index)) return 0;  // the parent removed it meanwhile
  items_.erase(items_.begin() + index);
  RowsChanged();
  if (editItem_ > index) --editItem_;
  if (anchor_ >= Count()) anchor_ = Count() - 1;
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

LRESULT ListView::DeleteAllItems() {
  CancelEdit();
  if (NotifyItem(LVN_DELETEALLITEMS, -1) == 0)
    for (int i = 0; i < Count(); ++i) NotifyItem(LVN_DELETEITEM, i);
  items_.clear();
  RowsChanged();
  anchor_ = hot_ = tipItem_ = -1;
  top_ = 0;
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

LRESULT ListView::GetItem(LVITEM* out) {
  if (out == nullptr || !ValidItem(out->iItem) || out->iSubItem < 0) return 0;
  const LvItem& item = items_[static_cast<size_t>(out->iItem)];
  const auto sub = static_cast<size_t>(out->iSubItem);
  if (out->mask & LVIF_TEXT) {
    const bool callback = sub < item.texts.size() && item.texts[sub].callback;
    if (callback) out->pszText = LPSTR_TEXTCALLBACK;
    else CopyText(sub < item.texts.size() ? item.texts[sub].text : "", out->pszText, out->cchTextMax);
  }
  if (out->mask & LVIF_IMAGE) out->iImage = out->iSubItem == 0 ? item.image : I_IMAGENONE;
  if (out->mask & LVIF_PARAM) out->lParam = item.param;
  if (out->mask & LVIF_STATE) out->state = item.state & out->stateMask;
  if (out->mask & LVIF_INDENT) out->iIndent = item.indent;
  if (out->mask & LVIF_GROUPID) out->iGroupId = item.group;
  return 1;
}

// The notifications carry the states within `stateMask` only, so a check
// box change reads exactly 0x2000 or 0x1000 whatever else the item has.
bool ListView::ChangeItem(int index, UINT changed, UINT newState, UINT stateMask,
                          const LvItem& replacement) {
  NMLISTVIEW n;
  n.iItem = index;
  n.uChanged = changed;
  n.uOldState = items_[static_cast<size_t>(index)].state & stateMask;
  n.uNewState = newState & stateMask;
  n.lParam = items_[static_cast<size_t>(index)].param;
  if (Notify(LVN_ITEMCHANGING, &n.hdr) != 0 || !ValidItem(index)) return false;
  items_[static_cast<size_t>(index)] = replacement;
  items_[static_cast<size_t>(index)].state = newState;
  InvalidateItem(index);
  n.lParam = replacement.param;
  Notify(LVN_ITEMCHANGED, &n.hdr);
  return true;
}

bool ListView::ChangeState(int index, UINT state, UINT mask) {
  if (!ValidItem(index)) return false;
  const LvItem& item = items_[static_cast<size_t>(index)];
  const UINT newState = (item.state & ~mask) | (state & mask);
  if (item.state == newState) return true;
  return ChangeItem(index, LVIF_STATE, newState, mask, LvItem(item));
}

LRESULT ListView::SetItem(const LVITEM* in) {
  if (in == nullptr || !ValidItem(in->iItem) || in->iSubItem < 0) return 0;
  LvItem changed = items_[static_cast<size_t>(in->iItem)];
  if (in->iSubItem > 0) {
    if (!(in->mask & LVIF_TEXT)) return 1;
    return SetItemText(in->iItem, in);
  }
  const UINT fields = in->mask & (LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT);
  if (fields) {
    if (in->mask & LVIF_TEXT) changed.texts[0] = TextFrom(in->pszText);
    if (in->mask & LVIF_IMAGE) changed.image = in->iImage;
    if (in->mask & LVIF_PARAM) changed.param = in->lParam;
    if (in->mask & LVIF_INDENT) changed.indent = std::max(0, in->iIndent);
    if (!ChangeItem(in->iItem, fields, changed.state, 0, changed)) return 0;
  }
  if (in->mask & LVIF_GROUPID) {
    items_[static_cast<size_t>(in->iItem)].group = in->iGroupId;
    RowsChanged();
    ClampScroll();
    InvalidateRect(window_, nullptr, 1);
  }
  if (in->mask & LVIF_STATE) return SetItemState(in->iItem, in->state, in->stateMask);
  return 1;
}

LRESULT ListView::GetItemText(int index, LVITEM* out) {
  if (out == nullptr || !ValidItem(index) || out->iSubItem < 0) return 0;
  const std::string text = Text(index, out->iSubItem);
  CopyText(text, out->pszText, out->cchTextMax);
  return static_cast<LRESULT>(std::min<size_t>(text.size(), std::max(0, out->cchTextMax - 1)));
}

LRESULT ListView::SetItemText(int index, const LVITEM* in) {
  if (in == nullptr || !ValidItem(index) || in->iSubItem < 0) return 0;
  if (in->iSubItem == 0) {
    LvItem changed = items_[static_cast<size_t>(index)];
    changed.texts[0] = TextFrom(in->pszText);
    return ChangeItem(index, LVIF_TEXT, changed.state, 0, changed);
  }
  auto& texts = items_[static_cast<size_t>(index)].texts;
  if (texts.size() <= static_cast<size_t>(in->iSubItem)) texts.resize(static_cast<size_t>(in->iSubItem) + 1);
  texts[static_cast<size_t>(in->iSubItem)] = TextFrom(in->pszText);
  InvalidateItem(index);
  return 1;
}

std::string ListView::Text(int index, int subItem) {
  if (!ValidItem(index) || subItem < 0) return {};
  const auto& texts = items_[static_cast<size_t>(index)].texts;
  const auto sub = static_cast<size_t>(subItem);
  if (!OwnerData()) {
    if (sub >= texts.size()) return {};
    if (!texts[sub].callback) return texts[sub].text;
  }
  NMLVDISPINFO info;
  info.item.mask = LVIF_TEXT;
  info.item.iItem = index;
  info.item.iSubItem = subItem;
  info.item.lParam = items_[static_cast<size_t>(index)].param;
  dispText_[0] = '\0';
  info.item.pszText = dispText_;
  info.item.cchTextMax = sizeof dispText_;
  Notify(LVN_GETDISPINFO, &info.hdr);
  std::string text = ReadText(info.item.pszText);
  if ((info.item.mask & LVIF_DI_SETITEM) && !OwnerData() && ValidItem(index) &&
      sub < items_[static_cast<size_t>(index)].texts.size())
    items_[static_cast<size_t>(index)].texts[sub] = LvText{text, false};
  return text;
}

int ListView::Image(int index) {
  if (!ValidItem(index)) return I_IMAGENONE;
  const int image = items_[static_cast<size_t>(index)].image;
  if (image != I_IMAGECALLBACK) return image;
  NMLVDISPINFO info;
  info.item.mask = LVIF_IMAGE;
  info.item.iItem = index;
  info.item.lParam = items_[static_cast<size_t>(index)].param;
  info.item.iImage = I_IMAGENONE;
  Notify(LVN_GETDISPINFO, &info.hdr);
  if ((info.item.mask & LVIF_DI_SETITEM) && !OwnerData() && ValidItem(index))
    items_[static_cast<size_t>(index)].image = info.item.iImage;
  return info.item.iImage;
}

// ---- states --------------------------------------------------------------

int ListView::FocusedItem() const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].state & LVIS_FOCUSED) return i;
  return -1;
}

int ListView::SelectedCount() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const LvItem& item) {
    return (item.state & LVIS_SELECTED) != 0;
  }));
}

bool ListView::SetItemState(int index, UINT state, UINT mask) {
  if (!ValidItem(index)) return false;
  // One item has the focus; a single-selection list has one selected item.
  if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED)) {
    const int old = FocusedItem();
    if (old >= 0 && old != index)
      ChangeState(old, 0, LVIS_FOCUSED);
  }
  if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED) && (Style() & LVS_SINGLESEL))
    for (int i = 0; i < Count(); ++i)
      if (i != index && (items_[static_cast<size_t>(i)].state & LVIS_SELECTED))
        ChangeState(i, 0, LVIS_SELECTED);
  if (!ValidItem(index)) return false;
  return ChangeState(index, state, mask);
}

LRESULT ListView::SetItemStates(WPARAM index, const LVITEM* in) {
  if (in == nullptr) return 0;
  if (static_cast<int>(index) != -1) return SetItemState(static_cast<int>(index), in->state, in->stateMask);
  // Focus cannot go to every item; the rest of the state can.
  const UINT mask = in->stateMask & ~((in->state & LVIS_FOCUSED) ? LVIS_FOCUSED : 0u);
  for (int i = 0; i < Count(); ++i) ChangeState(i, in->state, mask);
  return 1;
}

void ListView::SelectOnly(int index) {
  for (int i = 0; i < Count(); ++i)
    if (i != index && (items_[static_cast<size_t>(i)].state & (LVIS_SELECTED | LVIS_FOCUSED)))
      ChangeState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void ListView::SelectRange(int from, int to) {
  if (from < 0) from = to;
  const int low = std::min(from, to), high = std::max(from, to);
  if (OwnerData()) {
    SelectOwnerDataRange(low, high);
    SetItemState(to, LVIS_FOCUSED, LVIS_FOCUSED);
    return;
  }
  for (int i = 0; i < Count(); ++i) {
    const bool inside = i >= low && i <= high;
    ChangeState(i, inside ? LVIS_SELECTED : 0, LVIS_SELECTED);
  }
  SetItemState(to, LVIS_FOCUSED, LVIS_FOCUSED);
}

void ListView::DeselectAll() {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].state & LVIS_SELECTED)
      ChangeState(i, 0, LVIS_SELECTED);
}

void ListView::ToggleCheck(int index) {
  if (!ValidItem(index) || !HasCheckBoxes()) return;
  const UINT old = items_[static_cast<size_t>(index)].state;
  const UINT next = (old & LVIS_STATEIMAGEMASK) == LVIS_CHECKED ? LVIS_UNCHECKED : LVIS_CHECKED;
  ChangeState(index, next, LVIS_STATEIMAGEMASK);
}

LRESULT ListView::NextItem(int start, UINT flags) const {
  const int step = (flags & LVNI_ABOVE) ? -1 : 1;
  for (int i = start < 0 ? (step > 0 ? 0 : -1) : start + step; ValidItem(i); i += step) {
    const UINT state = items_[static_cast<size_t>(i)].state;
    if ((flags & LVNI_SELECTED) && !(state & LVIS_SELECTED)) continue;
    if ((flags & LVNI_FOCUSED) && !(state & LVIS_FOCUSED)) continue;
    return i;
  }
  return -1;
}

LRESULT ListView::FindItem(int start, const LVFINDINFO* find) {
  if (find == nullptr || Count() == 0) return -1;
  const int first = start < 0 ? 0 : start + 1;
  const int tries = (find->flags & LVFI_WRAP) ? Count() : Count() - first;
  const std::string wanted = ReadText(find->psz);
  for (int n = 0; n < tries; ++n) {
    const int i = (first + n) % Count();
    if ((find->flags & LVFI_PARAM) && items_[static_cast<size_t>(i)].param != find->lParam) continue;
    if ((find->flags & (LVFI_STRING | LVFI_PARTIAL)) &&
        !EqualNoCase(Text(i, 0), wanted, find->flags & LVFI_PARTIAL))
      continue;
    return i;
  }
  return -1;
}

LRESULT ListView::SortItems(LPARAM sortParam, PFNLVCOMPARE compare) {
  if (compare == nullptr || OwnerData()) return 0;
  RowsChanged();
  CancelEdit();
  std::stable_sort(items_.begin(), items_.end(), [&](const LvItem& a, const LvItem& b) {
    return compare(a.param, b.param, sortParam) < 0;
  });
  anchor_ = FocusedItem();
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

LRESULT ListView::SetExtendedStyle(DWORD mask, DWORD style) {
  const DWORD old = exStyle_;
  if (mask == 0) mask = 0xFFFFFFFF;
  exStyle_ = (exStyle_ & ~mask) | (style & mask);
  if ((old ^ exStyle_) & LVS_EX_CHECKBOXES) {
    for (LvItem& item : items_) {
      item.state &= ~LVIS_STATEIMAGEMASK;
      if (HasCheckBoxes()) item.state |= LVIS_UNCHECKED;
    }
  }
  if ((old ^ exStyle_) & LVS_EX_HEADERDRAGDROP) {
    const auto style = static_cast<DWORD>(GetWindowLongPtr(header_, GWL_STYLE));
    SetWindowLongPtr(header_, GWL_STYLE,
                     static_cast<LONG_PTR>((exStyle_ & LVS_EX_HEADERDRAGDROP) ? style | HDS_DRAGDROP
                                                                              : style & ~HDS_DRAGDROP));
  }
  InvalidateRect(window_, nullptr, 1);
  return old;
}

// ---- columns -------------------------------------------------------------

int ListView::ColumnWidth(int index) const {
  HDITEM item;
  item.mask = HDI_WIDTH;
  if (!SendMessage(header_, HDM_GETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    return 0;
  return item.cxy;
}

LRESULT ListView::InsertColumn(int index, const LVCOLUMN* in) {
  if (in == nullptr || index < 0) return -1;
  const int at = std::min(index, ColumnCount());
  LvColumn column;
  // The first column's label is always left-aligned.
  if (in->mask & LVCF_FMT) column.fmt = at == 0 ? (in->fmt & ~LVCFMT_JUSTIFYMASK) : in->fmt;
  column.subItem = (in->mask & LVCF_SUBITEM) ? in->iSubItem : at;
  if (in->mask & LVCF_IMAGE) column.image = in->iImage;
  HDITEM item;
  item.mask = HDI_FORMAT | HDI_WIDTH | HDI_TEXT | HDI_IMAGE | ((in->mask & LVCF_ORDER) ? HDI_ORDER : 0u);
  item.iOrder = in->iOrder;
  item.fmt = HeaderFormat(column.fmt);
  item.cxy = (in->mask & LVCF_WIDTH) ? std::max(0, in->cx) : 0;
  item.pszText = (in->mask & LVCF_TEXT) ? in->pszText : nullptr;
  item.iImage = column.image;
  if (SendMessage(header_, HDM_INSERTITEM, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item)) < 0)
    return -1;
  columns_.insert(columns_.begin() + at, column);
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return at;
}

LRESULT ListView::GetColumn(int index, LVCOLUMN* out) {
  if (out == nullptr || index < 0 || index >= ColumnCount()) return 0;
  const LvColumn& column = columns_[static_cast<size_t>(index)];
  HDITEM item;
  item.mask = HDI_WIDTH | HDI_ORDER | ((out->mask & LVCF_TEXT) ? HDI_TEXT : 0u);
  item.pszText = out->pszText;
  item.cchTextMax = out->cchTextMax;
  SendMessage(header_, HDM_GETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  if (out->mask & LVCF_FMT) out->fmt = column.fmt;
  if (out->mask & LVCF_WIDTH) out->cx = item.cxy;
  if (out->mask & LVCF_SUBITEM) out->iSubItem = column.subItem;
  if (out->mask & LVCF_IMAGE) out->iImage = column.image;
  if (out->mask & LVCF_ORDER) out->iOrder = item.iOrder;
  return 1;
}

LRESULT ListView::SetColumn(int index, const LVCOLUMN* in) {
  if (in == nullptr || index < 0 || index >= ColumnCount()) return 0;
  LvColumn& column = columns_[static_cast<size_t>(index)];
  HDITEM item;
  if (in->mask & LVCF_FMT) {
    column.fmt = index == 0 ? (in->fmt & ~LVCFMT_JUSTIFYMASK) : in->fmt;
    item.mask |= HDI_FORMAT;
    item.fmt = HeaderFormat(column.fmt);
  }
  if (in->mask & LVCF_SUBITEM) column.subItem = in->iSubItem;
  if (in->mask & LVCF_IMAGE) {
    column.image = in->iImage;
    item.mask |= HDI_IMAGE;
    item.iImage = in->iImage;
  }
  if (in->mask & LVCF_WIDTH) {
    item.mask |= HDI_WIDTH;
    item.cxy = std::max(0, in->cx);
  }
  if (in->mask & LVCF_TEXT) {
    item.mask |= HDI_TEXT;
    item.pszText = in->pszText;
  }
  if (in->mask & LVCF_ORDER) {
    item.mask |= HDI_ORDER;
    item.iOrder = in->iOrder;
  }
  if (item.mask)
    SendMessage(header_, HDM_SETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

LRESULT ListView::DeleteColumn(int index) {
  if (index < 0 || index >= ColumnCount()) return 0;
  SendMessage(header_, HDM_DELETEITEM, static_cast<WPARAM>(index), 0);
  columns_.erase(columns_.begin() + index);
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

LRESULT ListView::SetColumnWidth(int index, int width) {
  if (index < 0 || index >= ColumnCount()) return 0;
  const bool useHeader = width == LVSCW_AUTOSIZE_USEHEADER;
  if (width == LVSCW_AUTOSIZE || useHeader) {
    const int sub = columns_[static_cast<size_t>(index)].subItem;
    int widest = 0;
    for (int i = 0; i < Count(); ++i) widest = std::max(widest, TextWidth(Text(i, sub)));
    if (index == 0) widest += StateWidth() + SmallImageWidth();
    if (useHeader) {
      char caption[260] = {};
      HDITEM item;
      item.mask = HDI_TEXT;
      item.pszText = caption;
      item.cchTextMax = sizeof caption;
      SendMessage(header_, HDM_GETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
      widest = std::max(widest, TextWidth(caption));
    }
    width = widest + 12;
    // The last column, sized by its header, fills the rest of the width.
    if (useHeader && index == ColumnCount() - 1) {
      RECT client;
      GetClientRect(window_, &client);
      width = std::max(width, client.right - ColumnLeft(index) - scrollX_);
    }
  }
  HDITEM item;
  item.mask = HDI_WIDTH;
  item.cxy = std::max(0, width);
  SendMessage(header_, HDM_SETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

}  // namespace qelo::win::lists
