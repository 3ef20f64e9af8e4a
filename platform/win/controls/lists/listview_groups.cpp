#include <algorithm>

#include "controls/lists/listview_state.h"

namespace qelo::win::lists {

// ---- rows -------------------------------------------------------------------

const std::vector<int>& ListView::Rows() const {
  if (rowsValid_) return rows_;
  rows_.clear();
  for (size_t g = 0; g < groups_.size(); ++g) {
    const LvGroup& group = groups_[g];
    if (group.state & LVGS_HIDDEN) continue;
    rows_.push_back(-static_cast<int>(g) - 1);
    if (group.state & LVGS_COLLAPSED) continue;
    for (int i = 0; i < Count(); ++i)
      if (items_[static_cast<size_t>(i)].group == group.id) rows_.push_back(i);
  }
  rowsValid_ = true;
  return rows_;
}

int ListView::RowCount() const { return groupView_ ? static_cast<int>(Rows().size()) : Count(); }

int ListView::RowOfItem(int index) const {
  if (!groupView_) return ValidItem(index) ? index : -1;
  const std::vector<int>& rows = Rows();
  const auto it = std::find(rows.begin(), rows.end(), index);
  return it == rows.end() || index < 0 ? -1 : static_cast<int>(it - rows.begin());
}

int ListView::ItemAtRow(int row) const {
  if (!groupView_) return ValidItem(row) ? row : -1;
  const std::vector<int>& rows = Rows();
  if (row < 0 || row >= static_cast<int>(rows.size())) return -1;
  return rows[static_cast<size_t>(row)] >= 0 ? rows[static_cast<size_t>(row)] : -1;
}

int ListView::GroupAtRow(int row) const {
  if (!groupView_) return -1;
  const std::vector<int>& rows = Rows();
  if (row < 0 || row >= static_cast<int>(rows.size())) return -1;
  const int entry = rows[static_cast<size_t>(row)];
  return entry < 0 ? -entry - 1 : -1;
}

int ListView::FirstShownItem() const {
  for (int row = 0; row < RowCount(); ++row)
    if (const int item = ItemAtRow(row); item >= 0) return item;
  return -1;
}

int ListView::LastShownItem() const {
  for (int row = RowCount() - 1; row >= 0; --row)
    if (const int item = ItemAtRow(row); item >= 0) return item;
  return -1;
}

int ListView::StepItem(int from, int steps) const {
  if (!groupView_) return std::clamp(from + steps, 0, std::max(0, Count() - 1));
  int row = RowOfItem(from);
  if (row < 0) return FirstShownItem();
  int found = from;
  const int direction = steps < 0 ? -1 : 1;
  for (int left = std::abs(steps); left > 0;) {
    row += direction;
    if (row < 0 || row >= RowCount()) break;
    if (const int item = ItemAtRow(row); item >= 0) {
      found = item;
      --left;
    }
  }
  return found;
}

// ---- groups -----------------------------------------------------------------

int ListView::GroupIndex(int id) const {
  for (size_t g = 0; g < groups_.size(); ++g)
    if (groups_[g].id == id) return static_cast<int>(g);
  return -1;
}

namespace {

void TakeGroup(LvGroup& group, const LVGROUP& in) {
  if (in.mask & LVGF_HEADER) group.header = ReadText(in.pszHeader);
  if (in.mask & LVGF_FOOTER) group.footer = ReadText(in.pszFooter);
  if (in.mask & LVGF_STATE) group.state = (group.state & ~in.stateMask) | (in.state & in.stateMask);
  if (in.mask & LVGF_ALIGN) group.align = in.uAlign;
  if (in.mask & LVGF_TITLEIMAGE) group.titleImage = in.iTitleImage;
}

}  // namespace

LRESULT ListView::InsertGroup(int place, const LVGROUP* in) {
  if (in == nullptr || !(in->mask & LVGF_GROUPID) || GroupIndex(in->iGroupId) >= 0) return -1;
  LvGroup group;
  group.id = in->iGroupId;
  TakeGroup(group, *in);
  const int at = place < 0 || place > static_cast<int>(groups_.size()) ? static_cast<int>(groups_.size()) : place;
  groups_.insert(groups_.begin() + at, group);
  RowsChanged();
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return group.id;
}

LRESULT ListView::SetGroupInfo(int id, const LVGROUP* in) {
  const int g = GroupIndex(id);
  if (in == nullptr || g < 0) return -1;
  LvGroup& group = groups_[static_cast<size_t>(g)];
  TakeGroup(group, *in);
  if ((in->mask & LVGF_GROUPID) && in->iGroupId != id && GroupIndex(in->iGroupId) < 0) {
    for (LvItem& item : items_)
      if (item.group == id) item.group = in->iGroupId;
    group.id = in->iGroupId;
  }
  RowsChanged();
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return group.id;
}

LRESULT ListView::GetGroupInfo(int id, LVGROUP* out) const {
  const int g = GroupIndex(id);
  if (out == nullptr || g < 0) return -1;
  const LvGroup& group = groups_[static_cast<size_t>(g)];
  out->iGroupId = group.id;
  out->pszHeader = group.header.c_str();
  out->pszFooter = group.footer.c_str();
  out->state = group.state & out->stateMask;
  out->uAlign = group.align;
  out->iTitleImage = group.titleImage;
  return id;
}

LRESULT ListView::RemoveGroup(int id) {
  const int g = GroupIndex(id);
  if (g < 0) return -1;
  groups_.erase(groups_.begin() + g);
  RowsChanged();
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return g;
}

LRESULT ListView::RemoveAllGroups() {
  groups_.clear();
  RowsChanged();
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

// The items of an owner-data list name no groups: it shows none.
LRESULT ListView::EnableGroupView(bool on) {
  if (on && OwnerData()) return -1;
  if (on == groupView_) return 0;
  groupView_ = on;
  RowsChanged();
  top_ = 0;
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

// The header's text in the hot-light colour, the group's title image
// before it, and a line through the rest of the row.
void ListView::PaintGroupHeader(HDC dc, int group, const RECT& row) {
  const LvGroup& g = groups_[static_cast<size_t>(group)];
  RECT client;
  GetClientRect(window_, &client);
  const COLORREF ink = GetSysColor(COLOR_HOTLIGHT);
  int left = client.left + 4;
  int imageWidth = 0, imageHeight = 0;
  if (groupImages_ && g.titleImage >= 0 && ImageList_GetIconSize(groupImages_, &imageWidth, &imageHeight)) {
    ImageList_Draw(groupImages_, g.titleImage, dc, left, row.top + (row.bottom - row.top - imageHeight) / 2, ILD_NORMAL);
    left += imageWidth + 4;
  }
  const int textWidth = TextWidth(g.header);
  const int space = client.right - 4 - left;
  int textLeft = left;
  if (g.align & LVGA_HEADER_CENTER) textLeft = left + (space - textWidth) / 2;
  if (g.align & LVGA_HEADER_RIGHT) textLeft = client.right - 4 - textWidth;
  SetTextColor(dc, ink);
  RECT text{textLeft, row.top, textLeft + textWidth, row.bottom};
  DrawText(dc, g.header, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  const int middle = (row.top + row.bottom) / 2;
  HPEN pen = CreatePen(PS_SOLID, 1, ink);
  HGDIOBJ old = SelectObject(dc, pen);
  if (textLeft - 6 > left) {
    MoveToEx(dc, left, middle, nullptr);
    LineTo(dc, textLeft - 6, middle);
  }
  if (textLeft + textWidth + 6 < client.right - 4) {
    MoveToEx(dc, textLeft + textWidth + 6, middle, nullptr);
    LineTo(dc, client.right - 4, middle);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

// ---- owner data -------------------------------------------------------------

// Every text and image is the parent's; the list keeps the states.
LRESULT ListView::SetItemCount(int count) {
  if (!OwnerData()) {
    items_.reserve(static_cast<size_t>(std::max(count, 0)));
    return 1;
  }
  CancelEdit();
  LvItem blank;
  blank.texts.push_back(LvText{"", true});
  blank.image = I_IMAGECALLBACK;
  if (HasCheckBoxes()) blank.state = LVIS_UNCHECKED;
  items_.resize(static_cast<size_t>(std::max(count, 0)), blank);
  if (anchor_ >= Count()) anchor_ = -1;
  if (hot_ >= Count()) hot_ = -1;
  RowsChanged();
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
  return 1;
}

void ListView::HintCache(int firstRow, int lastRow) {
  if (!OwnerData()) return;
  int from = -1, to = -1;
  for (int row = firstRow; row <= lastRow; ++row) {
    const int item = ItemAtRow(row);
    if (item < 0) continue;
    from = from < 0 ? item : std::min(from, item);
    to = std::max(to, item);
  }
  if (from < 0) return;
  NMLVCACHEHINT hint;
  hint.iFrom = from;
  hint.iTo = to;
  Notify(LVN_ODCACHEHINT, &hint.hdr);
}

LRESULT ListView::FindOwnerDataItem(int start, const LVFINDINFO* find) {
  if (find == nullptr || Count() == 0) return -1;
  NMLVFINDITEM n;
  n.iStart = start < 0 ? 0 : start + 1;
  n.lvfi = *find;
  const auto found = static_cast<int>(Notify(LVN_ODFINDITEM, &n.hdr));
  return ValidItem(found) ? found : -1;
}

// The range is selected in one step and told in one notification; the
// items outside it are deselected one by one.
void ListView::SelectOwnerDataRange(int low, int high) {
  for (int i = 0; i < Count(); ++i)
    if ((i < low || i > high) && (items_[static_cast<size_t>(i)].state & LVIS_SELECTED))
      ChangeState(i, 0, LVIS_SELECTED);
  bool changed = false;
  for (int i = low; i <= high && ValidItem(i); ++i) {
    UINT& state = items_[static_cast<size_t>(i)].state;
    changed = changed || !(state & LVIS_SELECTED);
    state |= LVIS_SELECTED;
  }
  if (!changed) return;
  InvalidateRect(window_, nullptr, 1);
  NMLVODSTATECHANGE n;
  n.iFrom = low;
  n.iTo = high;
  n.uNewState = LVIS_SELECTED;
  n.uOldState = 0;
  Notify(LVN_ODSTATECHANGED, &n.hdr);
}

}  // namespace qelo::win::lists
