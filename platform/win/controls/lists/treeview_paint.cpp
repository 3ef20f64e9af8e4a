#include <algorithm>

#include "controls/lists/treeview_state.h"

namespace qelo::win::lists {
namespace {

constexpr int kTextPad = 2;   // each side of the label
constexpr int kButtonSize = 9;
constexpr int kCheckCell = 16;
constexpr int kLineWidth = 8;  // pixels a horizontal line step scrolls
// New labels measured here at once; more go to the measuring thread.
constexpr long kMeasureHere = 256;

int ImageSize(HIMAGELIST list, bool width) {
  int cx = 0, cy = 0;
  if (!ImageList_GetIconSize(list, &cx, &cy)) return 0;
  return width ? cx : cy;
}

COLORREF Or(COLORREF chosen, int system) { return chosen == CLR_NONE ? GetSysColor(system) : chosen; }

}  // namespace

// ---- rows and geometry -------------------------------------------------------

const std::vector<TreeNode*>& TreeView::VisibleRows() {
  if (!rowsDirty_) return rows_;
  rows_.clear();
  std::vector<TreeNode*> pending;
  for (auto it = root_.children.rbegin(); it != root_.children.rend(); ++it) pending.push_back(it->get());
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    rows_.push_back(node);
    if (node->state & TVIS_EXPANDED)
      for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
        pending.push_back(it->get());
  }
  rowsDirty_ = false;
  return rows_;
}

void TreeView::LayoutChanged() {
  rowsDirty_ = true;
  contentWidth_ = -1;
  if (!redraw_) {
    layoutPending_ = true;
    return;
  }
  ClampScroll();
  InvalidateRect(window_, nullptr, 1);
}

bool TreeView::Shown(const TreeNode* node) const {
  for (const TreeNode* up = node->parent; up && up != &root_; up = up->parent)
    if (!(up->state & TVIS_EXPANDED)) return false;
  return true;
}

int TreeView::Row(const TreeNode* node) {
  const auto& rows = VisibleRows();
  const auto it = std::find(rows.begin(), rows.end(), node);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int TreeView::TextWidth(const std::string& text) const {
  return FontTextWidth(font_, text);
}

// A label being measured off the thread that is needed now is measured
// here as well; the thread's answer for it is then the same.
int TreeView::NodeTextWidth(TreeNode* node) {
  if (node->textCallback) return TextWidth(Text(node));
  if (node->textWidth < 0) node->textWidth = TextWidth(node->text);
  return node->textWidth;
}

int TreeView::DefaultItemHeight() const {
  if (!fontHeight_) fontHeight_ = FontMetrics(font_).tmHeight;
  int height = std::max(*fontHeight_ + 3, ImageSize(images_, false));
  height = std::max(height, ImageSize(stateImages_, false));
  if (!(Style() & TVS_NONEVENHEIGHT)) height += height % 2;
  return height;
}

int TreeView::ItemHeight() const { return itemHeight_ > 0 ? itemHeight_ : DefaultItemHeight(); }

int TreeView::StateWidth() const {
  if (stateImages_) return ImageSize(stateImages_, true);
  return (Style() & TVS_CHECKBOXES) ? kCheckCell : 0;
}

int TreeView::ImageWidth() const { return images_ ? ImageSize(images_, true) + kTextPad : 0; }

// Each level is one indent deeper; nodes at the root get a column for
// their lines and buttons only with TVS_LINESATROOT.
int TreeView::ContentLeft(const TreeNode* node) const {
  const bool rootColumn = Style() & TVS_LINESATROOT;
  return (Level(node) + (rootColumn ? 1 : 0)) * indent_ - scrollX_;
}

int TreeView::LabelLeft(const TreeNode* node) const {
  return ContentLeft(node) + StateWidth() + ImageWidth();
}

RECT TreeView::TextRect(HTREEITEM item) {
  const int row = Row(item);
  const int top = (row - top_) * ItemHeight();
  const int left = LabelLeft(item);
  return RECT{left, top, left + NodeTextWidth(item) + 2 * kTextPad, top + ItemHeight()};
}

LRESULT TreeView::GetItemRect(bool textOnly, RECT* r) {
  if (r == nullptr) return 0;
  HTREEITEM item = ItemInRect(r);
  if (!Valid(item) || Row(item) < 0) return 0;
  RECT text = TextRect(item);
  if (!textOnly) {
    RECT client;
    GetClientRect(window_, &client);
    text.left = 0;
    text.right = client.right;
  }
  *r = text;
  return 1;
}

TVHITTESTINFO TreeView::HitTest(POINT p) {
  TVHITTESTINFO hit;
  hit.pt = p;
  RECT client;
  GetClientRect(window_, &client);
  if (p.y < 0) hit.flags |= TVHT_ABOVE;
  if (p.y >= client.bottom) hit.flags |= TVHT_BELOW;
  if (p.x < 0) hit.flags |= TVHT_TOLEFT;
  if (p.x >= client.right) hit.flags |= TVHT_TORIGHT;
  if (hit.flags) return hit;
  const auto& rows = VisibleRows();
  const int row = top_ + p.y / ItemHeight();
  if (row >= static_cast<int>(rows.size())) {
    hit.flags = TVHT_NOWHERE;
    return hit;
  }
  TreeNode* node = rows[static_cast<size_t>(row)];
  hit.hItem = node;
  const int content = ContentLeft(node);
  const int state = content + StateWidth(), image = state + ImageWidth();
  const RECT text = TextRect(node);
  const bool buttons = (Style() & TVS_HASBUTTONS) && (node->parent != &root_ || (Style() & TVS_LINESATROOT));
  if (p.x < content - indent_ || (p.x < content && !(buttons && HasChildren(node))))
    hit.flags = TVHT_ONITEMINDENT;
  else if (p.x < content) hit.flags = TVHT_ONITEMBUTTON;
  else if (p.x < state) hit.flags = TVHT_ONITEMSTATEICON;
  else if (p.x < image) hit.flags = TVHT_ONITEMICON;
  else if (p.x < text.right) hit.flags = TVHT_ONITEMLABEL;
  else hit.flags = TVHT_ONITEMRIGHT;
  return hit;
}

int TreeView::RowsPerPage() const {
  RECT client;
  GetClientRect(window_, &client);
  return std::max(0, client.bottom / ItemHeight());
}

void TreeView::ClampScroll() {
  const int rows = static_cast<int>(VisibleRows().size());
  top_ = std::clamp(top_, 0, std::max(0, rows - RowsPerPage()));
  RECT client;
  GetClientRect(window_, &client);
  const int widest = (Style() & TVS_NOHSCROLL) ? 0 : ContentWidth();
  scrollX_ = std::clamp(scrollX_, 0, std::max(0, widest - client.right));
  UpdateScrollBars();
}

// The right edge of the widest shown label, as if not scrolled. When more
// labels are new than kMeasureHere, they go to the measuring thread and
// count once their widths are back (the scroll range grows then).
int TreeView::ContentWidth() {
  if (contentWidth_ >= 0) return contentWidth_;
  const std::vector<TreeNode*> rows(VisibleRows());
  const auto unmeasured = std::count_if(rows.begin(), rows.end(), [](const TreeNode* node) {
    return !node->textCallback && node->textWidth == TreeNode::kUnmeasured;
  });
  const bool handOver = unmeasured > kMeasureHere;
  std::vector<LabelMeasurer::Label> labels;
  int widest = 0;
  for (TreeNode* node : rows) {
    if (!Valid(node)) continue;
    if (!node->textCallback && handOver && node->textWidth == TreeNode::kUnmeasured) {
      labels.push_back({node, node->text, 0});
      node->textWidth = TreeNode::kMeasuring;
    }
    if (!node->textCallback && node->textWidth == TreeNode::kMeasuring) continue;
    widest = std::max(widest, LabelLeft(node) + scrollX_ + NodeTextWidth(node) + 2 * kTextPad);
  }
  if (!labels.empty()) {
    if (!measurer_) measurer_ = std::make_unique<LabelMeasurer>(window_, kLabelsMeasured, ControlFont(font_));
    measurer_->Measure(std::move(labels));
  }
  contentWidth_ = widest;
  return widest;
}

// A width counts when its label is still there with the text measured (a
// node freed meanwhile is no longer valid; one whose text changed is
// measured again anyway). Labels painted meanwhile were measured here.
void TreeView::TakeMeasuredWidths() {
  if (!measurer_) return;
  const int before = contentWidth_;
  for (const LabelMeasurer::Label& label : measurer_->Take()) {
    auto* node = const_cast<TreeNode*>(static_cast<const TreeNode*>(label.key));
    if (!Valid(node) || node->textCallback || node->textWidth != TreeNode::kMeasuring || node->text != label.text)
      continue;
    node->textWidth = label.width;
    if (contentWidth_ >= 0 && Shown(node))
      contentWidth_ = std::max(contentWidth_, LabelLeft(node) + scrollX_ + label.width + 2 * kTextPad);
  }
  if (contentWidth_ != before) UpdateScrollBars();
}

// The bars show rows (vertical) and pixels (horizontal); they appear when
// there is something to scroll, unless TVS_NOSCROLL (or TVS_NOHSCROLL).
void TreeView::UpdateScrollBars() {
  if ((Style() & TVS_NOSCROLL) || updatingBars_) return;
  updatingBars_ = true;
  SCROLLINFO vertical;
  vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  vertical.nMax = std::max(0, static_cast<int>(VisibleRows().size()) - 1);
  vertical.nPage = static_cast<UINT>(RowsPerPage());
  vertical.nPos = top_;
  SetScrollInfo(window_, SB_VERT, &vertical, 1);
  if (!(Style() & TVS_NOHSCROLL)) {
    RECT client;
    GetClientRect(window_, &client);
    SCROLLINFO horizontal;
    horizontal.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    horizontal.nMax = std::max(0, ContentWidth() - 1);
    horizontal.nPage = static_cast<UINT>(std::max(0, client.right));
    horizontal.nPos = scrollX_;
    SetScrollInfo(window_, SB_HORZ, &horizontal, 1);
  }
  updatingBars_ = false;
}

void TreeView::ScrollBarRequest(int bar, int code, int position) {
  if (bar == SB_VERT) {
    const int rows = static_cast<int>(VisibleRows().size());
    Scroll(ScrollTarget(code, position, top_, 1, std::max(1, RowsPerPage()), rows) - top_);
    return;
  }
  RECT client;
  GetClientRect(window_, &client);
  const int to = ScrollTarget(code, position, scrollX_, kLineWidth, std::max(1, client.right), ContentWidth());
  Scroll(0, to - scrollX_);
}

void TreeView::Scroll(int rows, int dx) {
  const int oldTop = top_, oldX = scrollX_;
  top_ += rows;
  scrollX_ += dx;
  ClampScroll();
  if (top_ != oldTop || scrollX_ != oldX) InvalidateRect(window_, nullptr, 1);
}

// Expands the node's ancestors (with their notifications) and scrolls it
// into view.
void TreeView::EnsureVisible(HTREEITEM item) {
  if (!Valid(item)) return;
  std::vector<TreeNode*> up;
  for (TreeNode* n = item->parent; n && n != &root_; n = n->parent) up.push_back(n);
  for (auto it = up.rbegin(); it != up.rend(); ++it)
    if (!((*it)->state & TVIS_EXPANDED)) Expand(*it, TVE_EXPAND);
  const int row = Row(item);
  if (row < 0) return;
  const int page = std::max(1, RowsPerPage());
  if (row < top_) Scroll(row - top_);
  else if (row >= top_ + page) Scroll(row - page + 1 - top_);
}

// ---- painting ------------------------------------------------------------------

LRESULT TreeView::CustomDraw(DWORD stage, HDC dc, RECT rc, TreeNode* node, COLORREF* text,
                             COLORREF* background) {
  NMTVCUSTOMDRAW draw;
  draw.nmcd.dwDrawStage = stage;
  draw.nmcd.hdc = dc;
  draw.nmcd.rc = rc;
  if (node) {
    draw.nmcd.dwItemSpec = reinterpret_cast<UINT_PTR>(node);
    draw.nmcd.lItemlParam = node->param;
    if (node == selected_) draw.nmcd.uItemState |= CDIS_SELECTED;
    if (node == selected_ && GetFocus() == window_) draw.nmcd.uItemState |= CDIS_FOCUS;
    draw.iLevel = Level(node);
  }
  if (text) draw.clrText = *text;
  if (background) draw.clrTextBk = *background;
  const LRESULT answer = Notify(NM_CUSTOMDRAW, &draw.nmcd.hdr);
  if (text) *text = draw.clrText;
  if (background) *background = draw.clrTextBk;
  return answer;
}

void TreeView::Paint(HDC given) {
  PaintContext paint(window_, given);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(window_, &client);
  HBRUSH back = CreateSolidBrush(Or(background_, COLOR_WINDOW));
  FillRect(dc, &client, back);
  DeleteObject(back);
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(font_));
  SetBkMode(dc, TRANSPARENT);
  const LRESULT prepaint = CustomDraw(CDDS_PREPAINT, dc, client, nullptr, nullptr, nullptr);
  if (!(prepaint & CDRF_SKIPDEFAULT)) {
    const std::vector<TreeNode*> rows = VisibleRows();  // a copy: handlers may change the tree
    const int last = std::min(static_cast<int>(rows.size()), top_ + RowsPerPage() + 1);
    for (int row = top_; row < last; ++row)
      if (Valid(rows[static_cast<size_t>(row)])) PaintRow(dc, rows[static_cast<size_t>(row)], row, prepaint);
  }
  if (prepaint & CDRF_NOTIFYPOSTPAINT) CustomDraw(CDDS_POSTPAINT, dc, client, nullptr, nullptr, nullptr);
  SelectObject(dc, oldFont);
}

void TreeView::PaintRow(HDC dc, TreeNode* node, int row, LRESULT prepaint) {
  RECT client;
  GetClientRect(window_, &client);
  const RECT full{0, (row - top_) * ItemHeight(), client.right, (row - top_ + 1) * ItemHeight()};
  const bool focused = GetFocus() == window_;
  const bool lit = node == dropHilite_ ||
                   (node == selected_ && (focused || (Style() & TVS_SHOWSELALWAYS)));
  COLORREF text = lit ? GetSysColor(focused || node == dropHilite_ ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT)
                      : Or(textColour_, COLOR_WINDOWTEXT);
  COLORREF background = lit ? GetSysColor(focused || node == dropHilite_ ? COLOR_HIGHLIGHT : COLOR_BTNFACE)
                            : CLR_NONE;
  const int saved = SaveDC(dc);
  LRESULT item = CDRF_DODEFAULT;
  if (prepaint & CDRF_NOTIFYITEMDRAW)
    item = CustomDraw(CDDS_ITEMPREPAINT, dc, full, node, &text, &background);
  if (Valid(node) && !(item & CDRF_SKIPDEFAULT)) {
    if (Style() & TVS_HASLINES) DrawLines(dc, node, full);
    DrawButton(dc, node, full);
    const int content = ContentLeft(node);
    const UINT stateImage = (node->state & TVIS_STATEIMAGEMASK) >> 12;
    if (stateImage && stateImages_) {
      ImageList_Draw(stateImages_, static_cast<int>(stateImage) - 1, dc, content,
                     (full.top + full.bottom - ImageSize(stateImages_, false)) / 2, ILD_TRANSPARENT);
    } else if (stateImage && (Style() & TVS_CHECKBOXES)) {
      RECT box{content + 1, (full.top + full.bottom - 13) / 2, content + 14, 0};
      box.bottom = box.top + 13;
      DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (stateImage == 2 ? DFCS_CHECKED : 0u));
    }
    const int image = images_ ? Image(node, node == selected_) : -1;
    // A cut node's image is half the background colour (dimmed).
    const bool cut = (node->state & TVIS_CUT) != 0;
    if (image >= 0 && Valid(node))
      ImageList_DrawEx(images_, image, dc, content + StateWidth(),
                       (full.top + full.bottom - ImageSize(images_, false)) / 2, 0, 0, CLR_NONE,
                       cut ? Or(background_, COLOR_WINDOW) : CLR_DEFAULT,
                       ILD_TRANSPARENT | (cut ? ILD_BLEND50 : 0u) | (node->state & TVIS_OVERLAYMASK));
    if (Valid(node)) {
      RECT label = TextRect(node);
      if (background != CLR_NONE) {
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &label, brush);
        DeleteObject(brush);
      }
      SetTextColor(dc, text);
      RECT inner = label;
      InflateRect(&inner, -kTextPad, 0);
      DrawText(dc, Text(node), &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      if (node == selected_ && focused) DrawFocusRect(dc, &label);
    }
  }
  if (Valid(node) && (item & CDRF_NOTIFYPOSTPAINT))
    CustomDraw(CDDS_ITEMPOSTPAINT, dc, full, node, nullptr, nullptr);
  RestoreDC(dc, saved);
}

// Dotted lines: from the node's button column to its content, up to the
// sibling above (or the parent), down to the next sibling, and the
// through-lines of ancestors that have later siblings.
void TreeView::DrawLines(HDC dc, TreeNode* node, const RECT& row) {
  const bool rootColumn = Style() & TVS_LINESATROOT;
  if (node->parent == &root_ && !rootColumn) return;
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_DOT, 1, Or(lineColour_, COLOR_GRAYTEXT)));
  const int middle = (row.top + row.bottom) / 2;
  auto columnCentre = [&](const TreeNode* n) { return ContentLeft(n) - indent_ / 2; };
  const int x = columnCentre(node);
  MoveToEx(dc, x, middle, nullptr);
  LineTo(dc, ContentLeft(node), middle);
  const bool first = IndexInParent(node) == 0 && node->parent == &root_;
  const bool last = IndexInParent(node) + 1 == node->parent->children.size();
  MoveToEx(dc, x, first ? middle : row.top, nullptr);
  LineTo(dc, x, last ? middle + 1 : row.bottom);
  for (const TreeNode* up = node->parent; up && up != &root_; up = up->parent) {
    if (up->parent == &root_ && !rootColumn) break;
    if (IndexInParent(up) + 1 < up->parent->children.size()) {
      MoveToEx(dc, columnCentre(up), row.top, nullptr);
      LineTo(dc, columnCentre(up), row.bottom);
    }
  }
  DeleteObject(SelectObject(dc, pen));
}

void TreeView::DrawButton(HDC dc, TreeNode* node, const RECT& row) {
  if (!(Style() & TVS_HASBUTTONS) || (node->parent == &root_ && !(Style() & TVS_LINESATROOT)))
    return;
  if (!HasChildren(node)) return;
  const int cx = ContentLeft(node) - indent_ / 2, cy = (row.top + row.bottom) / 2;
  RECT box{cx - kButtonSize / 2, cy - kButtonSize / 2, cx + kButtonSize / 2 + 1, cy + kButtonSize / 2 + 1};
  FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT)));
  MoveToEx(dc, cx - 2, cy, nullptr);
  LineTo(dc, cx + 3, cy);
  if (!(node->state & TVIS_EXPANDED)) {
    MoveToEx(dc, cx, cy - 2, nullptr);
    LineTo(dc, cx, cy + 3);
  }
  DeleteObject(SelectObject(dc, pen));
}

}  // namespace qelo::win::lists
