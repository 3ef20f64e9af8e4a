// The header side of the framed list view: the hook on the header child,
// the header items' formats, the sort mark and sorting by a column click,
// and the owner-drawn header items.
#include <array>

#include "ct_common_types.h"
#include "ct_common_versions.h"
#include "ct_listvw.h"
#include "vcl/controls/themes.h"

namespace qelo::ct {

using namespace vcl;

namespace {

constexpr uint32_t kSortMarksVersion = ComCtlVersion(4, 70);
constexpr uint32_t kSortRefreshVersion = ComCtlVersion(6, 0);

bool ThemesOn() { return ThemeServices()->ThemesEnabled(); }

// The square left of T that holds the sort mark.
TRect MarkBox(const TRect& t) {
  const int s = (t.top + t.bottom) / 2 - 1;
  TRect box;
  box.left = t.left;
  box.right = t.left + s + 1;
  box.top = (t.top + t.bottom - s) / 2 - 1;
  box.bottom = box.top + s;
  return box;
}

// The triangle in the box: apex down when descending, up when ascending.
std::array<TPoint, 3> MarkTriangle(const TRect& box, bool descending) {
  const int c = RectHeight(box) * 3 / 4;
  const int w = 2 * c - 1;
  const int y0 = box.bottom - c;
  if (descending) return {Point(box.left + w / 2, y0 + c - 1), Point(box.left, y0), Point(box.left + w - 1, y0)};
  return {Point(box.left + w / 2, y0), Point(box.left, y0 + c - 1), Point(box.left + w - 1, y0 + c - 1)};
}

unsigned TextAlignment(int fmt) {
  switch (fmt & win::LVCFMT_JUSTIFYMASK) {
    case win::LVCFMT_RIGHT: return win::DT_RIGHT;
    case win::LVCFMT_CENTER: return win::DT_CENTER;
    default: return win::DT_LEFT;
  }
}

}  // namespace

win::HWND TCtCustomListView::GetHeaderHandle() const { return HandleAllocated() ? HeaderHandle() : nullptr; }

// ---- the hook ----------------------------------------------------------------------

void TCtCustomListView::HookHeader() {
  win::HWND header = GetHeaderHandle();
  if (!header) return;
  headerHook_.Unhook();
  headerHook_.Hook(header);
}

// The header's messages: the left button and, with themes, the item under
// the mouse; at design time the header lets the mouse through.
void TCtCustomListView::HeaderMessage(TMessage& m) {
  win::HWND header = headerHook_.Window();
  switch (m.Msg) {
    case win::WM_NCDESTROY:
      headerMouseTracked_ = false;
      hotHeaderItem_ = -1;
      headerPressed_ = false;
      return headerHook_.CallPrevious(m);
    case win::WM_NCHITTEST:
      if (Designing()) {
        m.Result = win::HTTRANSPARENT;
        return;
      }
      break;
    case win::WM_MOUSEMOVE:
      if (!ThemesOn()) break;
      if (!headerPressed_) {
        win::HDHITTESTINFO hit;
        hit.pt = win::POINT{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
        hotHeaderItem_ = static_cast<int>(win::SendMessage(header, win::HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        win::InvalidateRect(header, nullptr, 0);
      }
      if (!headerMouseTracked_) {
        headerMouseTracked_ = true;
        win::TRACKMOUSEEVENT track;
        track.dwFlags = win::TME_LEAVE;
        track.hwndTrack = header;
        track.dwHoverTime = win::HOVER_DEFAULT;
        win::TrackMouseEvent(&track);
      }
      break;
    case win::WM_LBUTTONDOWN: headerPressed_ = true; break;
    case win::WM_LBUTTONUP: headerPressed_ = false; break;
    case win::WM_MOUSELEAVE:
      if (!ThemesOn()) break;
      headerMouseTracked_ = false;
      hotHeaderItem_ = -1;
      win::InvalidateRect(header, nullptr, 0);
      break;
    default: break;
  }
  headerHook_.CallPrevious(m);
}

void TCtCustomListView::ResetHotHeaderItem() {
  if (!ThemesOn() || ViewStyle() != vsReport || hotHeaderItem_ == -1) return;
  hotHeaderItem_ = -1;
  if (win::HWND header = GetHeaderHandle()) win::InvalidateRect(header, nullptr, 0);
}

// ---- formats and sort state ----------------------------------------------------------

void TCtCustomListView::UpdateHeaderSortDisplay() {
  if (!HandleAllocated() || ViewStyle() != vsReport || headerUpdateDepth_ > 0) return;
  win::HWND header = GetHeaderHandle();
  if (!header) return;
  ++headerUpdateDepth_;
  try {
    for (int i = Columns()->Count() - 1; i >= 0; --i) {
      win::HDITEM item;
      item.mask = win::HDI_FORMAT;
      if (!win::SendMessage(header, win::HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
      int fmt = item.fmt & win::HDF_JUSTIFYMASK;
      if (headerSortDisplayMode_ != hsdmNone) {
        fmt |= win::HDF_OWNERDRAW;
      } else {
        fmt |= win::HDF_STRING;
        if (Columns()->Items(i)->ImageIndex() != -1 && SmallImages()) fmt |= win::HDF_IMAGE;
      }
      item.fmt = fmt;
      win::SendMessage(header, win::HDM_SETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
  } catch (...) {
    --headerUpdateDepth_;
    throw;
  }
  --headerUpdateDepth_;
  win::InvalidateRect(header, nullptr, 1);
}

void TCtCustomListView::InvalidateHeaderItem(int index) const {
  win::HWND header = GetHeaderHandle();
  win::RECT r;
  if (header && index >= 0 &&
      win::SendMessage(header, win::HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
    win::InvalidateRect(header, &r, 1);
}

void TCtCustomListView::SetHeaderSortColumn(int index) {
  if (index == headerSortColumn_) return;
  InvalidateHeaderItem(headerSortColumn_);
  InvalidateHeaderItem(index);
  headerSortColumn_ = index;
  if (CommonControlsVersion() >= kSortRefreshVersion && GetHeaderHandle()) UpdateHeaderSortDisplay();
}

void TCtCustomListView::SetHeaderSortDescending(bool value) {
  if (value == headerSortDescending_) return;
  InvalidateHeaderItem(headerSortColumn_);
  headerSortDescending_ = value;
  if (CommonControlsVersion() >= kSortRefreshVersion && GetHeaderHandle() && headerSortColumn_ >= 0)
    UpdateHeaderSortDisplay();
  Update();
}

// Sort marks need common controls 4.70; older ones keep the platform's header.
void TCtCustomListView::SetHeaderSortDisplayMode(TCtLVHeaderSortDisplayMode mode) {
  headerSortDisplayMode_ = CommonControlsVersion() >= kSortMarksVersion ? mode : hsdmNone;
  UpdateHeaderSortDisplay();
  if (win::HWND header = GetHeaderHandle()) win::InvalidateRect(header, nullptr, 1);
}

void TCtCustomListView::SetHeaderDefaultDrawing(bool value) {
  if (!StoreChanged(headerDefaultDrawing_, value)) return;
  if (win::HWND header = GetHeaderHandle()) win::InvalidateRect(header, nullptr, 1);
}

// ---- sorting by a click -----------------------------------------------------------------

// A click on the column sorted ascending last sorts it descending; any
// other click sorts its column ascending.
void TCtCustomListView::ColClick(TListColumn* column) {
  if (alphaSortAll_ && column) {
    const int index = column->Index();
    const bool descending = index == lastSortedColumn_;
    SetHeaderSortColumn(index);
    SetHeaderSortDescending(descending);
    SortByColumn(index, descending);
    lastSortedColumn_ = descending ? -1 : index;
  }
  TCtFramedControl::ColClick(column);
}

void TCtCustomListView::SortByColumn(int column, bool descending) {
  auto ascending = [](TListItem* a, TListItem* b, intptr_t c) {
    return CompareListItemsAscending(a, b, static_cast<int>(c));
  };
  auto inverse = [](TListItem* a, TListItem* b, intptr_t c) {
    return CompareListItemsDescending(a, b, static_cast<int>(c));
  };
  CustomSort(descending ? static_cast<TLVCompare>(inverse) : static_cast<TLVCompare>(ascending), column);
}

// ---- header notifications ------------------------------------------------------------

void TCtCustomListView::HeaderNotifyMessage(TMessage& m) {
  const win::UINT code = reinterpret_cast<win::NMHDR*>(m.LParam)->code;
  win::HWND header = GetHeaderHandle();
  if (code == win::HDN_ITEMCLICK) win::InvalidateRect(header, nullptr, 1);
  TCtFramedControl::Dispatch(m);
  if (code == win::HDN_BEGINTRACK || code == win::HDN_ENDTRACK || code == win::HDN_ITEMCHANGED) {
    UpdateHeaderSortDisplay();
    if (FrameVisible()) Invalidate();
  }
  if (code == win::HDN_ENDTRACK || code == win::HDN_DIVIDERDBLCLICK) ResizeLastColumn();
}

// ---- owner-drawn header items ----------------------------------------------------------

void TCtCustomListView::DrawHeaderMessage(TMessage& m) {
  const auto& draw = *reinterpret_cast<win::DRAWITEMSTRUCT*>(m.LParam);
  {
    TCanvasOnDC lent(*headerCanvas_, draw.hDC);
    headerCanvas_->Font()->Assign(Font());
    headerCanvas_->Font()->SetColor(clBtnText);
    headerCanvas_->Brush()->SetStyle(bsSolid);
    headerCanvas_->Brush()->SetColor(clBtnFace);
    // The face inside the item's raised edge, which the header has drawn.
    TRect r = draw.rcItem;
    if (!ThemesOn()) {
      win::InflateRect(&r, -2, -2);
      headerCanvas_->FillRect(r);
    }
    const int index = static_cast<int>(draw.itemID);
    if (headerDefaultDrawing_) DrawHeaderItem(r, index);
    else DoDrawHeader(headerCanvas_.get(), index, r);
  }
  m.Result = 1;
}

void TCtCustomListView::DoDrawHeader(TCanvas* canvas, int index, const TRect& rect) {
  if (OnDrawHeader) OnDrawHeader(this, canvas, index, rect);
}

// The item's text and, on the sort column, its mark where the display
// mode puts it.
void TCtCustomListView::DrawHeaderItem(TRect r, int index) {
  TCanvas& canvas = *headerCanvas_;
  if (ThemesOn()) {
    const TThemedHeader state = index == hotHeaderItem_ && headerPressed_ ? thHeaderItemPressed
                                : index == hotHeaderItem_                ? thHeaderItemHot
                                                                         : thHeaderItemNormal;
    ThemeServices()->DrawElement(canvas.Handle(), ThemeServices()->GetElementDetails(state), r);
  }
  TRect t = r;
  if (ThemesOn()) win::InflateRect(&t, -2, -2);
  t.left += 4;
  t.right -= 4;
  win::IntersectClipRect(canvas.Handle(), r.left, r.top, r.right, r.bottom);
  const bool sorted = index == headerSortColumn_;
  const TAlignment alignment = Columns()->Items(index)->Alignment();
  auto rightOf = [&](TRect box) {
    win::OffsetRect(&box, RectWidth(t) - RectWidth(box) - 5, 0);
    return box;
  };
  switch (headerSortDisplayMode_) {
    case hsdmNone: break;
    case hsdmLeftAlign:
      if (sorted && Columns()->Items(index)->Width() > 15) {
        const TRect box = MarkBox(t);
        DrawSortMark(box, index);
        t.left = box.right + 5;
      }
      break;
    case hsdmRightOfText:
      if (alignment == taLeftJustify) {
        DrawHeaderText(t, index, true);
        win::OffsetRect(&t, RectWidth(t) + 5, 0);
        DrawSortMark(MarkBox(t), index);
        return;
      }
      if (sorted) {
        t.bottom = t.top + canvas.TextHeight("Ag");
        const TRect box = rightOf(MarkBox(t));
        DrawSortMark(box, index);
        if (alignment == taRightJustify) t.right = box.left - 5;
        else win::InflateRect(&t, -(RectWidth(box) + 5), 0);
      }
      break;
    case hsdmRightAlign: {
      const TRect box = rightOf(MarkBox(t));
      DrawSortMark(box, index);
      if (sorted) t.right = box.left - 5;
      break;
    }
  }
  DrawHeaderText(t, index, false);
}

// The caption and alignment come from the list's column; with `measure`
// the text is drawn and T becomes its extent.
void TCtCustomListView::DrawHeaderText(TRect& t, int index, bool measure) {
  TCanvas& canvas = *headerCanvas_;
  char caption[256] = {};
  win::LVCOLUMN column;
  column.mask = win::LVCF_TEXT | win::LVCF_FMT | win::LVCF_IMAGE;
  column.pszText = caption;
  column.cchTextMax = sizeof caption;
  win::SendMessage(WindowHandle(), win::LVM_GETCOLUMN, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
  if (column.iImage != -1 && SmallImages()) {
    SmallImages()->Draw(&canvas, t.left, t.top, column.iImage);
    t.left += SmallImages()->Width() + 4;
  }
  if (ThemesOn()) canvas.Brush()->SetStyle(bsClear);
  else canvas.Brush()->SetColor(clBtnFace);
  win::HDC dc = canvas.Handle();
  const unsigned format = win::DT_SINGLELINE | win::DT_END_ELLIPSIS | TextAlignment(column.fmt);
  win::DrawText(dc, caption, &t, format);
  if (measure) win::DrawText(dc, caption, &t, format | win::DT_CALCRECT);
}

// Only on the sort column, and only where the column is more than twice
// as wide as the mark's box.
void TCtCustomListView::DrawSortMark(const TRect& box, int index) {
  if (index != headerSortColumn_ || 2 * RectWidth(box) >= Columns()->Items(index)->Width()) return;
  TCanvas& canvas = *headerCanvas_;
  canvas.Pen()->SetColor(clBtnShadow);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(clBtnShadow);
  const auto triangle = MarkTriangle(box, headerSortDescending_);
  canvas.Polygon(triangle);
}

}  // namespace qelo::ct
