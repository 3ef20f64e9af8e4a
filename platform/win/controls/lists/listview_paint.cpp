#include <algorithm>

#include "controls/lists/listview_state.h"

namespace qelo::win::lists {
namespace {

constexpr int kCheckCell = 16;  // width and height of a drawn check box cell
constexpr int kLabelInset = 2;
constexpr int kSubItemInset = 6;

int ImageWidth(HIMAGELIST list) {
  int cx = 0, cy = 0;
  return ImageList_GetIconSize(list, &cx, &cy) ? cx : 0;
}

int ImageHeight(HIMAGELIST list) {
  int cx = 0, cy = 0;
  return ImageList_GetIconSize(list, &cx, &cy) ? cy : 0;
}

unsigned Alignment(int fmt) {
  switch (fmt & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
  }
}

void FillIfColoured(HDC dc, const RECT& r, COLORREF colour) {
  if (colour == CLR_NONE) return;
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

// ---- geometry ------------------------------------------------------------

void ListView::CreateHeader() {
  const DWORD style = Style();
  // Column widths follow a divider while it is dragged.
  header_ = CreateWindowEx(0, WC_HEADER, "",
                           WS_CHILD | HDS_HORZ | HDS_FULLDRAG | ((style & LVS_NOSORTHEADER) ? 0 : HDS_BUTTONS) |
                               ((exStyle_ & LVS_EX_HEADERDRAGDROP) ? HDS_DRAGDROP : 0),
                           0, 0, 0, 0, window_, nullptr);
  LayoutHeader();
}

// The header shows in report view unless LVS_NOCOLUMNHEADER; it moves
// with the horizontal scroll position.
void ListView::LayoutHeader() {
  if (header_ == nullptr) return;
  const DWORD style = Style();
  const bool shown = (style & LVS_TYPEMASK) == LVS_REPORT && !(style & LVS_NOCOLUMNHEADER);
  RECT client;
  GetClientRect(window_, &client);
  RECT area{-scrollX_, 0, client.right, client.bottom};
  WINDOWPOS pos;
  HDLAYOUT layout{&area, &pos};
  SendMessage(header_, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  SetWindowPos(header_, nullptr, pos.x, pos.y, pos.cx, shown ? pos.cy : 0,
               SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

int ListView::HeaderHeight() const {
  if (header_ == nullptr || !IsWindowVisible(header_)) return 0;
  RECT r;
  GetWindowRect(header_, &r);
  return r.bottom - r.top;
}

int ListView::TextHeight() const {
  return FontMetrics(font_).tmHeight;
}

int ListView::TextWidth(const std::string& text) const {
  return FontTextWidth(font_, text);
}

// Rows are as high as the text, the small images or the state images,
// whichever is highest.
int ListView::RowHeight() const {
  int height = TextHeight() + 2;
  height = std::max(height, ImageHeight(images_[LVSIL_SMALL]));
  height = std::max(height, ImageHeight(images_[LVSIL_STATE]));
  if (HasCheckBoxes() && images_[LVSIL_STATE] == nullptr) height = std::max(height, kCheckCell);
  return height;
}

int ListView::StateWidth() const {
  if (images_[LVSIL_STATE]) return ImageWidth(images_[LVSIL_STATE]);
  return HasCheckBoxes() ? kCheckCell : 0;
}

int ListView::SmallImageWidth() const { return ImageWidth(images_[LVSIL_SMALL]); }

// Columns stand in the header's order.
int ListView::ColumnLeft(int column) const {
  RECT item;
  if (column < 0 || column >= ColumnCount() ||
      !SendMessage(header_, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
    return -scrollX_ + (column > 0 ? TotalWidth() : 0);
  return -scrollX_ + item.left;
}

int ListView::TotalWidth() const {
  int total = 0;
  for (int c = 0; c < ColumnCount(); ++c) total += ColumnWidth(c);
  return total;
}

int ListView::RowsPerPage() const {
  RECT client;
  GetClientRect(window_, &client);
  return std::max(0, (client.bottom - HeaderHeight()) / RowHeight());
}

RECT ListView::RowRect(int index) const {
  const int top = HeaderHeight() + (RowOfItem(index) - top_) * RowHeight();
  int width = TotalWidth();
  if (ColumnCount() == 0) {
    RECT client;
    GetClientRect(window_, &client);
    width = client.right;
  }
  return RECT{-scrollX_, top, -scrollX_ + width, top + RowHeight()};
}

RECT ListView::CellRect(int index, int column) const {
  RECT r = RowRect(index);
  r.left = ColumnLeft(column);
  r.right = r.left + ColumnWidth(column);
  return r;
}

RECT ListView::StateRect(int index) const {
  RECT r = CellRect(index, 0);
  r.left += items_[static_cast<size_t>(index)].indent * SmallImageWidth();
  r.right = r.left + StateWidth();
  return r;
}

RECT ListView::PartRect(int index, int part) const {
  const RECT cell = ColumnCount() ? CellRect(index, 0) : RowRect(index);
  RECT icon = StateRect(index);
  icon.left = icon.right;
  icon.right = icon.left + SmallImageWidth();
  RECT label{icon.right, cell.top, std::max(icon.right, cell.right), cell.bottom};
  switch (part) {
    case LVIR_ICON: return icon;
    case LVIR_LABEL: return label;
    case LVIR_SELECTBOUNDS:
      if (exStyle_ & LVS_EX_FULLROWSELECT) return RowRect(index);
      return RECT{icon.left, cell.top, label.right, cell.bottom};
    default: return RowRect(index);
  }
}

LRESULT ListView::GetItemRect(int index, RECT* r) const {
  if (r == nullptr || !ValidItem(index) || r->left < LVIR_BOUNDS || r->left > LVIR_SELECTBOUNDS)
    return 0;
  *r = PartRect(index, r->left);
  return 1;
}

LRESULT ListView::GetSubItemRect(int index, RECT* r) const {
  if (r == nullptr || !ValidItem(index)) return 0;
  const int column = r->top;
  if (column < 0 || column >= std::max(1, ColumnCount())) return 0;
  if (column == 0) return GetItemRect(index, r);
  RECT cell = CellRect(index, column);
  if (r->left == LVIR_ICON) cell.right = cell.left;
  *r = cell;
  return 1;
}

LVHITTESTINFO ListView::HitTest(POINT p) const {
  LVHITTESTINFO hit;
  hit.pt = p;
  RECT client;
  GetClientRect(window_, &client);
  if (p.y < HeaderHeight()) hit.flags |= LVHT_ABOVE;
  if (p.y >= client.bottom) hit.flags |= LVHT_BELOW;
  if (p.x < 0) hit.flags |= LVHT_TOLEFT;
  if (p.x >= client.right) hit.flags |= LVHT_TORIGHT;
  if (hit.flags) return hit;
  const int row = ItemAtRow(top_ + (p.y - HeaderHeight()) / RowHeight());
  int column = -1;
  for (int c = 0; c < ColumnCount() && row >= 0; ++c) {
    const RECT cell = CellRect(row, c);
    if (p.x >= cell.left && p.x < cell.right) column = c;
  }
  if (ColumnCount() == 0) column = 0;
  if (!ValidItem(row) || column < 0) {
    hit.flags = LVHT_NOWHERE;
    return hit;
  }
  hit.iItem = row;
  hit.iSubItem = column;
  const RECT state = StateRect(row), icon = PartRect(row, LVIR_ICON),
             label = PartRect(row, LVIR_LABEL);
  if (column > 0) hit.flags = (exStyle_ & LVS_EX_FULLROWSELECT) ? LVHT_ONITEMLABEL : LVHT_NOWHERE;
  else if (PtInRect(&state, p)) hit.flags = LVHT_ONITEMSTATEICON;
  else if (PtInRect(&icon, p)) hit.flags = LVHT_ONITEMICON;
  else if (PtInRect(&label, p)) hit.flags = LVHT_ONITEMLABEL;
  else hit.flags = LVHT_NOWHERE;
  if (hit.flags == LVHT_NOWHERE) hit.iItem = -1;
  return hit;
}

void ListView::InvalidateItem(int index) {
  if (!ValidItem(index)) return;
  RECT r = RowRect(index);
  RECT client;
  GetClientRect(window_, &client);
  r.left = 0;
  r.right = client.right;
  InvalidateRect(window_, &r, 1);
}

void ListView::ClampScroll() {
  RECT client;
  GetClientRect(window_, &client);
  top_ = std::clamp(top_, 0, std::max(0, RowCount() - RowsPerPage()));
  scrollX_ = std::clamp(scrollX_, 0, std::max(0, TotalWidth() - client.right));
  UpdateScrollBars();
}

// The bars show rows (vertical) and pixels (horizontal); they appear when
// there is something to scroll, unless LVS_NOSCROLL. Showing a bar changes
// the client area, which comes back here through WM_SIZE.
void ListView::UpdateScrollBars() {
  if ((Style() & LVS_NOSCROLL) || updatingBars_) return;
  updatingBars_ = true;
  RECT client;
  GetClientRect(window_, &client);
  SCROLLINFO vertical;
  vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  vertical.nMax = std::max(0, RowCount() - 1);
  vertical.nPage = static_cast<UINT>(RowsPerPage());
  vertical.nPos = top_;
  SetScrollInfo(window_, SB_VERT, &vertical, 1);
  SCROLLINFO horizontal;
  horizontal.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  horizontal.nMax = std::max(0, TotalWidth() - 1);
  horizontal.nPage = static_cast<UINT>(std::max(0, client.right));
  horizontal.nPos = scrollX_;
  SetScrollInfo(window_, SB_HORZ, &horizontal, 1);
  updatingBars_ = false;
}

void ListView::ScrollBarRequest(int bar, int code, int position) {
  const bool vertical = bar == SB_VERT;
  RECT client;
  GetClientRect(window_, &client);
  const int line = vertical ? 1 : 8;
  const int page = vertical ? std::max(1, RowsPerPage()) : std::max(1, client.right);
  const int now = vertical ? top_ : scrollX_;
  const int to = ScrollTarget(code, position, now, line, page, vertical ? RowCount() : TotalWidth());
  if (vertical) Scroll(0, to - now);
  else Scroll(to - now, 0);
}

void ListView::Scroll(int dx, int dyRows) {
  const int oldTop = top_, oldX = scrollX_;
  top_ += dyRows;
  scrollX_ += dx;
  ClampScroll();
  if (top_ == oldTop && scrollX_ == oldX) return;
  if (scrollX_ != oldX) LayoutHeader();
  InvalidateRect(window_, nullptr, 1);
}

void ListView::EnsureVisible(int index) {
  const int row = RowOfItem(index);
  if (row < 0) return;
  const int page = std::max(1, RowsPerPage());
  if (row < top_) Scroll(0, row - top_);
  else if (row >= top_ + page) Scroll(0, row - page + 1 - top_);
}

// ---- painting --------------------------------------------------------------

bool ListView::Highlighted(int index) const {
  const bool selected = items_[static_cast<size_t>(index)].state & (LVIS_SELECTED | LVIS_DROPHILITED);
  return selected && (GetFocus() == window_ || (Style() & LVS_SHOWSELALWAYS));
}

LRESULT ListView::CustomDraw(DWORD stage, HDC dc, RECT rc, int index, int subItem,
                             CellColours* colours) {
  NMLVCUSTOMDRAW draw;
  draw.nmcd.dwDrawStage = stage;
  draw.nmcd.hdc = dc;
  draw.nmcd.rc = rc;
  if (index >= 0) {
    const LvItem& item = items_[static_cast<size_t>(index)];
    draw.nmcd.dwItemSpec = static_cast<UINT_PTR>(index);
    draw.nmcd.lItemlParam = item.param;
    if (item.state & LVIS_SELECTED) draw.nmcd.uItemState |= CDIS_SELECTED;
    if ((item.state & LVIS_FOCUSED) && GetFocus() == window_) draw.nmcd.uItemState |= CDIS_FOCUS;
    if (index == hot_) draw.nmcd.uItemState |= CDIS_HOT;
  }
  if (colours) {
    draw.clrText = colours->text;
    draw.clrTextBk = colours->background;
  }
  draw.iSubItem = subItem;
  const LRESULT answer = Notify(NM_CUSTOMDRAW, &draw.nmcd.hdr);
  if (colours) *colours = CellColours{draw.clrText, draw.clrTextBk};
  return answer;
}

void ListView::Paint(HDC given) {
  PaintContext paint(window_, given);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(window_, &client);
  FillIfColoured(dc, client, background_);
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(font_));
  SetBkMode(dc, TRANSPARENT);
  const LRESULT prepaint = CustomDraw(CDDS_PREPAINT, dc, client, -1, 0, nullptr);
  if (!(prepaint & CDRF_SKIPDEFAULT)) {
    PaintRows(dc, paint.update(), prepaint);
    if (exStyle_ & LVS_EX_GRIDLINES) DrawGridLines(dc);
  }
  if (prepaint & CDRF_NOTIFYPOSTPAINT) CustomDraw(CDDS_POSTPAINT, dc, client, -1, 0, nullptr);
  SelectObject(dc, oldFont);
}

void ListView::PaintRows(HDC dc, const RECT& update, LRESULT prepaint) {
  const int last = std::min(RowCount(), top_ + RowsPerPage() + 1);
  HintCache(top_, last - 1);
  for (int r = top_; r < last && r < RowCount(); ++r) {
    const int top = HeaderHeight() + (r - top_) * RowHeight();
    RECT row{update.left, top, update.right, top + RowHeight()}, overlap;  // the whole width
    if (!IntersectRect(&overlap, &row, &update)) continue;
    if (const int group = GroupAtRow(r); group >= 0) {
      PaintGroupHeader(dc, group, row);
      continue;
    }
    const int i = ItemAtRow(r);
    if (!ValidItem(i)) break;  // a custom-draw handler removed items
    PaintItem(dc, i, prepaint);
  }
}

void ListView::PaintItem(HDC dc, int index, LRESULT prepaint) {
  CellColours colours{textColour_, textBackground_};
  LRESULT item = CDRF_DODEFAULT;
  const int saved = SaveDC(dc);
  if (prepaint & CDRF_NOTIFYITEMDRAW)
    item = CustomDraw(CDDS_ITEMPREPAINT, dc, RowRect(index), index, 0, &colours);
  if (!ValidItem(index) || (item & CDRF_SKIPDEFAULT)) {
    RestoreDC(dc, saved);
    return;
  }
  if ((Style() & LVS_OWNERDRAWFIXED) && (Style() & LVS_TYPEMASK) == LVS_REPORT) {
    OwnerDrawItem(dc, index);
  } else {
    for (int c = 0; c < std::max(1, ColumnCount()) && ValidItem(index); ++c) {
      CellColours cell = colours;
      LRESULT sub = CDRF_DODEFAULT;
      const int subItem = ColumnCount() ? columns_[static_cast<size_t>(c)].subItem : 0;
      if (item & CDRF_NOTIFYSUBITEMDRAW)
        sub = CustomDraw(CDDS_ITEMPREPAINT | CDDS_SUBITEM, dc, CellRect(index, c), index, subItem,
                         &cell);
      if (!ValidItem(index)) break;
      if (!(sub & CDRF_SKIPDEFAULT)) DrawCell(dc, index, c, cell);
      if (sub & CDRF_NOTIFYPOSTPAINT)
        CustomDraw(CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, dc, CellRect(index, c), index, subItem,
                   nullptr);
    }
    if (ValidItem(index) && (items_[static_cast<size_t>(index)].state & LVIS_FOCUSED) &&
        GetFocus() == window_) {
      RECT focus = PartRect(index, LVIR_SELECTBOUNDS);
      if (!(exStyle_ & LVS_EX_FULLROWSELECT)) focus.left = PartRect(index, LVIR_LABEL).left;
      DrawFocusRect(dc, &focus);
    }
  }
  if (ValidItem(index) && (item & CDRF_NOTIFYPOSTPAINT))
    CustomDraw(CDDS_ITEMPOSTPAINT, dc, RowRect(index), index, 0, nullptr);
  RestoreDC(dc, saved);
}

void ListView::OwnerDrawItem(HDC dc, int index) {
  const LvItem& item = items_[static_cast<size_t>(index)];
  DRAWITEMSTRUCT draw;
  draw.CtlType = ODT_LISTVIEW;
  draw.CtlID = static_cast<UINT>(GetWindowLongPtr(window_, GWLP_ID));
  draw.itemID = static_cast<UINT>(index);
  draw.itemAction = ODA_DRAWENTIRE;
  if (item.state & LVIS_SELECTED) draw.itemState |= ODS_SELECTED;
  if ((item.state & LVIS_FOCUSED) && GetFocus() == window_) draw.itemState |= ODS_FOCUS;
  draw.hwndItem = window_;
  draw.hDC = dc;
  draw.rcItem = RowRect(index);
  draw.itemData = static_cast<UINT_PTR>(item.param);
  SendMessage(GetParent(window_), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
}

void ListView::DrawCell(HDC dc, int index, int column, const CellColours& colours) {
  const RECT cell = ColumnCount() ? CellRect(index, column) : RowRect(index);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
  if (column == 0) {
    DrawLabelColumn(dc, index, cell, colours);
  } else {
    const bool lit = Highlighted(index) && (exStyle_ & LVS_EX_FULLROWSELECT);
    const bool focused = GetFocus() == window_;
    FillIfColoured(dc, cell, lit ? GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE)
                                 : colours.background);
    SetTextColor(dc, lit && focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : colours.text);
    RECT text = cell;
    InflateRect(&text, -kSubItemInset, 0);
    const LvColumn& c = columns_[static_cast<size_t>(column)];
    DrawText(dc, Text(index, c.subItem), &text,
             DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | Alignment(c.fmt));
  }
  RestoreDC(dc, saved);
}

void ListView::DrawLabelColumn(HDC dc, int index, const RECT& cell, const CellColours& colours) {
  const bool lit = Highlighted(index);
  const bool focused = GetFocus() == window_;
  const COLORREF highlight = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  const RECT label = PartRect(index, LVIR_LABEL);
  FillIfColoured(dc, cell, colours.background);
  if (lit) FillIfColoured(dc, (exStyle_ & LVS_EX_FULLROWSELECT) ? cell : label, highlight);
  const UINT state = items_[static_cast<size_t>(index)].state;
  const int stateImage = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
  const RECT stateCell = StateRect(index);
  if (stateImage > 0 && images_[LVSIL_STATE]) {
    ImageList_Draw(images_[LVSIL_STATE], stateImage - 1, dc, stateCell.left,
                   (stateCell.top + stateCell.bottom - ImageHeight(images_[LVSIL_STATE])) / 2,
                   ILD_TRANSPARENT);
  } else if (stateImage > 0 && HasCheckBoxes()) {
    RECT box{stateCell.left + 2, 0, stateCell.left + 15, 0};
    box.top = (stateCell.top + stateCell.bottom - 13) / 2;
    box.bottom = box.top + 13;
    DrawFrameControl(dc, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | (stateImage == 2 ? DFCS_CHECKED : 0u));
  }
  const int image = Image(index);
  if (!ValidItem(index)) return;
  if (image >= 0 && images_[LVSIL_SMALL]) {
    const RECT icon = PartRect(index, LVIR_ICON);
    const UINT style = ILD_TRANSPARENT | (state & LVIS_OVERLAYMASK) |
                       (lit && focused ? ILD_SELECTED : 0u);
    ImageList_Draw(images_[LVSIL_SMALL], image, dc, icon.left,
                   (icon.top + icon.bottom - ImageHeight(images_[LVSIL_SMALL])) / 2, style);
  }
  SetTextColor(dc, lit && focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : colours.text);
  RECT text = label;
  InflateRect(&text, -kLabelInset, 0);
  const int fmt = ColumnCount() ? columns_[0].fmt : LVCFMT_LEFT;
  DrawText(dc, Text(index, 0), &text,
           DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | Alignment(fmt));
}

void ListView::DrawGridLines(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE)));
  const int top = HeaderHeight();
  for (int c = 0; c < ColumnCount(); ++c) {
    const int x = ColumnLeft(c) + ColumnWidth(c) - 1;
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, client.bottom);
  }
  for (int y = top + RowHeight() - 1; y < client.bottom; y += RowHeight()) {
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, client.right, y);
  }
  DeleteObject(SelectObject(dc, pen));
}

}  // namespace qelo::win::lists
