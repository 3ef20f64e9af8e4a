#include "win/controls/lists/header.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "win/controls/lists/control_data.h"

namespace qelo::win {
namespace {

constexpr int kDividerReach = 4;  // pixels either side of an item's right edge
constexpr int kTextInset = 6;
constexpr int kMarkWidth = 8;

struct Item {
  std::string text;
  int width = 0;
  int fmt = HDF_LEFT | HDF_STRING;
  LPARAM lParam = 0;
  int image = -1;
};

struct Header {
  std::vector<Item> items;
  std::vector<size_t> order;  // the items by place, left to right
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
  int tracking = -1;  // item whose divider is dragged
  int trackStartX = 0;
  int trackStartWidth = 0;
  int trackWidth = 0;
  int pressed = -1;   // item held down with the left button
  bool pressedInside = false;
  int downX = 0;      // where the press began
  bool dragRefused = false;  // HDN_BEGINDRAG refused the press's drag
  int dragging = -1;  // item dragged to another place
  int dragX = 0;
};

bool Valid(const Header& h, WPARAM index) { return index < h.items.size(); }

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE)); }

size_t PlaceOf(const Header& h, size_t index) {
  return static_cast<size_t>(std::find(h.order.begin(), h.order.end(), index) - h.order.begin());
}

RECT ItemRect(HWND window, const Header& h, size_t index) {
  RECT client;
  GetClientRect(window, &client);
  int left = 0;
  const size_t place = PlaceOf(h, index);
  for (size_t p = 0; p < place; ++p) left += h.items[h.order[p]].width;
  return RECT{left, 0, left + h.items[index].width, client.bottom};
}

// The place an item dragged to x would take.
size_t PlaceAt(const Header& h, int x) {
  int right = 0;
  for (size_t p = 0; p < h.order.size(); ++p) {
    right += h.items[h.order[p]].width;
    if (x < right) return p;
  }
  return h.order.empty() ? 0 : h.order.size() - 1;
}

// Moves an item to a place; whether the order changed.
bool MoveToPlace(Header* h, size_t index, int place) {
  const size_t from = PlaceOf(*h, index);
  const size_t to = std::min<size_t>(static_cast<size_t>(std::max(place, 0)), h->order.size() - 1);
  if (from == to || from == h->order.size()) return false;
  h->order.erase(h->order.begin() + static_cast<ptrdiff_t>(from));
  h->order.insert(h->order.begin() + static_cast<ptrdiff_t>(to), index);
  return true;
}

int HeaderHeight(const Header& h) {
  HDC dc = CreateDisplayDC();
  HGDIOBJ old = SelectObject(dc, lists::ControlFont(h.font));
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight + 6;
}

HDHITTESTINFO HitTest(HWND window, const Header& h, POINT p) {
  HDHITTESTINFO hit;
  hit.pt = p;
  RECT client;
  GetClientRect(window, &client);
  if (p.y < 0) hit.flags = HHT_ABOVE;
  else if (p.y >= client.bottom) hit.flags = HHT_BELOW;
  if (p.x < 0) hit.flags |= HHT_TOLEFT;
  if (hit.flags) return hit;
  // A divider wins over the item under it; the last divider in reach wins,
  // so zero-width items at the end can still be widened.
  int left = 0;
  for (const size_t i : h.order) {
    const int right = left + h.items[i].width;
    if (p.x >= right - kDividerReach && p.x < right + kDividerReach) {
      hit.iItem = static_cast<int>(i);
      hit.flags = h.items[i].width == 0 ? HHT_ONDIVOPEN : HHT_ONDIVIDER;
    } else if (hit.flags == 0 && p.x >= left && p.x < right) {
      hit.iItem = static_cast<int>(i);
      hit.flags = HHT_ONHEADER;
    }
    left = right;
  }
  if (hit.flags == 0) hit.flags = p.x >= left ? (HHT_NOWHERE | HHT_TORIGHT) : HHT_NOWHERE;
  return hit;
}

LRESULT Notify(HWND window, UINT code, int item, HDITEM* changed, int button = 0) {
  NMHEADER n;
  n.iItem = item;
  n.iButton = button;
  n.pitem = changed;
  return SendNotify(window, code, &n.hdr);
}

// Copies the fields `in` names into the item.
void Apply(Item* item, const HDITEM& in) {
  if (in.mask & HDI_WIDTH) item->width = std::max(0, in.cxy);
  if (in.mask & HDI_TEXT) item->text = lists::ReadText(in.pszText);
  if (in.mask & HDI_FORMAT) item->fmt = in.fmt;
  if (in.mask & HDI_LPARAM) item->lParam = in.lParam;
  if (in.mask & HDI_IMAGE) item->image = in.iImage;
}

void Fill(const Header& h, size_t index, HDITEM* out) {
  const Item& item = h.items[index];
  if (out->mask & HDI_WIDTH) out->cxy = item.width;
  if (out->mask & HDI_TEXT) lists::CopyText(item.text, out->pszText, out->cchTextMax);
  if (out->mask & HDI_FORMAT) out->fmt = item.fmt;
  if (out->mask & HDI_LPARAM) out->lParam = item.lParam;
  if (out->mask & HDI_IMAGE) out->iImage = item.image;
  if (out->mask & HDI_ORDER) out->iOrder = static_cast<int>(PlaceOf(h, index));
}

// A change asked for by a message or by the user: HDN_ITEMCHANGING may
// refuse it, HDN_ITEMCHANGED reports it.
bool ChangeItem(HWND window, Header* h, int index, HDITEM change) {
  if (Notify(window, HDN_ITEMCHANGING, index, &change) != 0) return false;
  Apply(&h->items[static_cast<size_t>(index)], change);
  if (change.mask & HDI_ORDER) MoveToPlace(h, static_cast<size_t>(index), change.iOrder);
  Notify(window, HDN_ITEMCHANGED, index, &change);
  InvalidateRect(window, nullptr, 1);
  return true;
}

void ChangeWidth(HWND window, Header* h, int index, int width) {
  if (h->items[static_cast<size_t>(index)].width == width) return;
  HDITEM change;
  change.mask = HDI_WIDTH;
  change.cxy = width;
  ChangeItem(window, h, index, change);
}

void DrawSortMark(HDC dc, const RECT& r, bool up) {
  const int x = r.left;
  const int y = (r.top + r.bottom) / 2 - 2;
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  HGDIOBJ brush = SelectObject(dc, GetSysColorBrush(COLOR_BTNSHADOW));
  const POINT upPoints[3] = {{x + kMarkWidth / 2, y}, {x, y + 4}, {x + kMarkWidth, y + 4}};
  const POINT downPoints[3] = {{x, y}, {x + kMarkWidth, y}, {x + kMarkWidth / 2, y + 4}};
  Polygon(dc, up ? upPoints : downPoints, 3);
  DeleteObject(SelectObject(dc, pen));
  SelectObject(dc, brush);
}

void DrawContent(HDC dc, const Header& h, const Item& item, RECT r) {
  r.left += kTextInset;
  r.right -= kTextInset;
  int cx = 0, cy = 0;
  if ((item.fmt & HDF_IMAGE) && item.image >= 0 && ImageList_GetIconSize(h.images, &cx, &cy)) {
    ImageList_Draw(h.images, item.image, dc, r.left, (r.top + r.bottom - cy) / 2, ILD_TRANSPARENT);
    r.left += cx + kTextInset / 2;
  }
  const bool marked = item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  if (marked) r.right -= kMarkWidth + kTextInset;
  const unsigned align = (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
                         : (item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                                      : DT_LEFT;
  const unsigned format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | align;
  if (item.fmt & HDF_STRING) DrawText(dc, item.text, &r, format);
  if (!marked) return;
  RECT measured = r;
  DrawText(dc, item.text, &measured, format | DT_CALCRECT);
  const int textRight = align == DT_LEFT ? std::min(r.right, measured.right) : r.right;
  DrawSortMark(dc, RECT{textRight + kTextInset, r.top, textRight + kTextInset + kMarkWidth, r.bottom},
               item.fmt & HDF_SORTUP);
}

void DrawItem(HWND window, HDC dc, const Header& h, size_t index) {
  const Item& item = h.items[index];
  RECT r = ItemRect(window, h, index);
  const bool down = static_cast<int>(index) == h.pressed && h.pressedInside && (StyleOf(window) & HDS_BUTTONS);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge = r;
  DrawEdge(dc, &edge, down ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | (down ? BF_FLAT : BF_SOFT));
  if (item.fmt & HDF_OWNERDRAW) {
    DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_HEADER;
    draw.CtlID = static_cast<UINT>(GetWindowLongPtr(window, GWLP_ID));
    draw.itemID = static_cast<UINT>(index);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = down ? ODS_SELECTED : 0;
    draw.hwndItem = window;
    draw.hDC = dc;
    draw.rcItem = r;
    draw.itemData = static_cast<UINT_PTR>(item.lParam);
    const int saved = SaveDC(dc);
    SendMessage(GetParent(window), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    RestoreDC(dc, saved);
    return;
  }
  if (down) OffsetRect(&r, 1, 1);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  DrawContent(dc, h, item, r);
  RestoreDC(dc, saved);
}

void Paint(HWND window, Header* h, HDC given) {
  lists::PaintContext paint(window, given);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ font = SelectObject(dc, lists::ControlFont(h->font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (size_t i = 0; i < h->items.size(); ++i) DrawItem(window, dc, *h, i);
  int right = 0;
  for (const Item& item : h->items) right += item.width;
  if (right < client.right) {
    RECT rest{right, 0, client.right, client.bottom};
    DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT | BF_SOFT);
  }
  if (h->dragging >= 0) {
    // Where the dragged item would go: a bar at that place's left edge.
    const RECT target = ItemRect(window, *h, h->order[PlaceAt(*h, h->dragX)]);
    const RECT bar{target.left, 0, target.left + 2, client.bottom};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_WINDOWTEXT));
  }
  SelectObject(dc, font);
}

using lists::PointOf;

void ButtonDown(HWND window, Header* h, POINT p) {
  const HDHITTESTINFO hit = HitTest(window, *h, p);
  if (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
    HDITEM start;
    start.mask = HDI_WIDTH;
    start.cxy = h->items[static_cast<size_t>(hit.iItem)].width;
    if (Notify(window, HDN_BEGINTRACK, hit.iItem, &start) != 0) return;
    h->tracking = hit.iItem;
    h->trackStartX = p.x;
    h->trackStartWidth = h->trackWidth = start.cxy;
    SetCapture(window);
  } else if ((hit.flags & HHT_ONHEADER) && (StyleOf(window) & (HDS_BUTTONS | HDS_DRAGDROP))) {
    h->pressed = hit.iItem;
    h->pressedInside = true;
    h->downX = p.x;
    h->dragRefused = false;
    SetCapture(window);
    InvalidateRect(window, nullptr, 1);
  }
}

// A press that moves far enough on a header with HDS_DRAGDROP becomes a
// drag of its item, unless HDN_BEGINDRAG refuses.
bool StartDrag(HWND window, Header* h, POINT p) {
  if (!(StyleOf(window) & HDS_DRAGDROP) || h->dragRefused ||
      std::abs(p.x - h->downX) <= GetSystemMetrics(SM_CXDRAG))
    return false;
  if (Notify(window, HDN_BEGINDRAG, h->pressed, nullptr) != 0) {
    h->dragRefused = true;
    return false;
  }
  h->dragging = std::exchange(h->pressed, -1);
  h->dragX = p.x;
  InvalidateRect(window, nullptr, 1);
  return true;
}

void EndDrag(HWND window, Header* h, POINT p) {
  const int item = std::exchange(h->dragging, -1);
  InvalidateRect(window, nullptr, 1);
  HDITEM end;
  end.mask = HDI_ORDER;
  end.iOrder = static_cast<int>(PlaceAt(*h, p.x));
  if (Notify(window, HDN_ENDDRAG, item, &end) != 0) return;
  if (!MoveToPlace(h, static_cast<size_t>(item), end.iOrder)) return;
  HDITEM changed;
  changed.mask = HDI_ORDER;
  changed.iOrder = static_cast<int>(PlaceOf(*h, static_cast<size_t>(item)));
  Notify(window, HDN_ITEMCHANGED, item, &changed);
}

void EndTracking(HWND window, Header* h) {
  const int index = h->tracking;
  h->tracking = -1;
  HDITEM end;
  end.mask = HDI_WIDTH;
  end.cxy = h->trackWidth;
  Notify(window, HDN_ENDTRACK, index, &end);
  ChangeWidth(window, h, index, end.cxy);
}

void MouseMove(HWND window, Header* h, POINT p) {
  if (h->tracking >= 0) {
    HDITEM track;
    track.mask = HDI_WIDTH;
    track.cxy = std::max(0, h->trackStartWidth + p.x - h->trackStartX);
    h->trackWidth = track.cxy;
    if (Notify(window, HDN_TRACK, h->tracking, &track) != 0) {
      ReleaseCapture();  // ends the tracking through WM_CAPTURECHANGED
      return;
    }
    if (GetWindowLongPtr(window, GWL_STYLE) & HDS_FULLDRAG)
      ChangeWidth(window, h, h->tracking, track.cxy);
  } else if (h->dragging >= 0) {
    h->dragX = p.x;
    InvalidateRect(window, nullptr, 1);
  } else if (h->pressed >= 0 && !StartDrag(window, h, p)) {
    const RECT r = ItemRect(window, *h, static_cast<size_t>(h->pressed));
    const bool inside = PtInRect(&r, p);
    if (inside != h->pressedInside) InvalidateRect(window, &r, 1);
    h->pressedInside = inside;
  }
}

void ButtonUp(HWND window, Header* h, POINT p) {
  if (h->tracking >= 0) {
    EndTracking(window, h);
  } else if (h->dragging >= 0) {
    EndDrag(window, h, p);
  } else if (h->pressed >= 0) {
    const int item = std::exchange(h->pressed, -1);
    InvalidateRect(window, nullptr, 1);
    if (h->pressedInside && (StyleOf(window) & HDS_BUTTONS)) Notify(window, HDN_ITEMCLICK, item, nullptr);
  }
  if (GetCapture() == window) ReleaseCapture();
}

// A lost capture (or WM_CANCELMODE) ends a divider drag where it is and
// drops a press or an item drag without a click or a new order.
void CaptureLost(HWND window, Header* h) {
  if (h->tracking >= 0) EndTracking(window, h);
  if (h->pressed >= 0 || h->dragging >= 0) InvalidateRect(window, nullptr, 1);
  h->pressed = -1;
  h->dragging = -1;
}

void DoubleClick(HWND window, Header* h, POINT p) {
  const HDHITTESTINFO hit = HitTest(window, *h, p);
  if (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))
    Notify(window, HDN_DIVIDERDBLCLICK, hit.iItem, nullptr);
  else if (hit.flags & HHT_ONHEADER)
    Notify(window, HDN_ITEMDBLCLICK, hit.iItem, nullptr);
}

bool SetDividerCursor(HWND window, const Header& h) {
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(window, &p);
  if (h.tracking < 0 && !(HitTest(window, h, p).flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)))
    return false;
  SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
  return true;
}

LRESULT Insert(HWND window, Header* h, WPARAM index, const HDITEM* in) {
  if (in == nullptr) return -1;
  Item item;
  Apply(&item, *in);
  const size_t at = std::min<size_t>(index, h->items.size());
  h->items.insert(h->items.begin() + static_cast<ptrdiff_t>(at), item);
  for (size_t& i : h->order)
    if (i >= at) ++i;
  const size_t place = (in->mask & HDI_ORDER) ? std::min<size_t>(static_cast<size_t>(std::max(in->iOrder, 0)), h->order.size())
                                              : std::min(at, h->order.size());
  h->order.insert(h->order.begin() + static_cast<ptrdiff_t>(place), at);
  InvalidateRect(window, nullptr, 1);
  return static_cast<LRESULT>(at);
}

void Remove(Header* h, size_t index) {
  h->items.erase(h->items.begin() + static_cast<ptrdiff_t>(index));
  h->order.erase(h->order.begin() + static_cast<ptrdiff_t>(PlaceOf(*h, index)));
  for (size_t& i : h->order)
    if (i > index) --i;
}

LRESULT GetOrder(const Header& h, WPARAM count, int* out) {
  if (out == nullptr || count != h.order.size()) return 0;
  for (size_t p = 0; p < count; ++p) out[p] = static_cast<int>(h.order[p]);
  return 1;
}

// A new order must name every item once.
LRESULT SetOrder(HWND window, Header* h, WPARAM count, const int* in) {
  if (in == nullptr || count != h->items.size()) return 0;
  std::vector<size_t> order(in, in + count);
  std::vector<size_t> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  for (size_t i = 0; i < count; ++i)
    if (sorted[i] != i) return 0;
  h->order = std::move(order);
  InvalidateRect(window, nullptr, 1);
  return 1;
}

LRESULT Layout(const Header& h, HWND window, HDLAYOUT* layout) {
  if (layout == nullptr || layout->prc == nullptr || layout->pwpos == nullptr) return 0;
  const bool hidden = GetWindowLongPtr(window, GWL_STYLE) & HDS_HIDDEN;
  const int height = hidden ? 0 : HeaderHeight(h);
  RECT& area = *layout->prc;
  *layout->pwpos = WINDOWPOS{window, nullptr, area.left, area.top, area.right - area.left, height, 0};
  area.top += height;
  return 1;
}

LRESULT HeaderMessage(HWND window, Header* h, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case HDM_GETITEMCOUNT: return static_cast<LRESULT>(h->items.size());
    case HDM_INSERTITEM: return Insert(window, h, w, reinterpret_cast<const HDITEM*>(l));
    case HDM_DELETEITEM:
      if (!Valid(*h, w)) return 0;
      Remove(h, w);
      InvalidateRect(window, nullptr, 1);
      return 1;
    case HDM_GETITEM:
      if (!Valid(*h, w) || l == 0) return 0;
      Fill(*h, w, reinterpret_cast<HDITEM*>(l));
      return 1;
    case HDM_GETORDERARRAY: return GetOrder(*h, w, reinterpret_cast<int*>(l));
    case HDM_SETORDERARRAY: return SetOrder(window, h, w, reinterpret_cast<const int*>(l));
    case HDM_ORDERTOINDEX: return w < h->order.size() ? static_cast<LRESULT>(h->order[w]) : static_cast<LRESULT>(w);
    case HDM_SETITEM:
      if (!Valid(*h, w) || l == 0) return 0;
      return ChangeItem(window, h, static_cast<int>(w), *reinterpret_cast<const HDITEM*>(l));
    case HDM_GETITEMRECT:
      if (!Valid(*h, w) || l == 0) return 0;
      *reinterpret_cast<RECT*>(l) = ItemRect(window, *h, w);
      return 1;
    case HDM_HITTEST: {
      auto* hit = reinterpret_cast<HDHITTESTINFO*>(l);
      if (hit == nullptr) return -1;
      *hit = HitTest(window, *h, hit->pt);
      return (hit->flags & (HHT_ONHEADER | HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? hit->iItem : -1;
    }
    case HDM_LAYOUT: return Layout(*h, window, reinterpret_cast<HDLAYOUT*>(l));
    case HDM_SETIMAGELIST:
      InvalidateRect(window, nullptr, 1);
      return reinterpret_cast<LRESULT>(std::exchange(h->images, reinterpret_cast<HIMAGELIST>(l)));
    case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(h->images);
    default: return DefWindowProc(window, message, w, l);
  }
}

LRESULT HeaderProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) lists::StatesOf<Header>().Make(window);
  Header* h = lists::StatesOf<Header>().Find(window);
  if (h == nullptr) return DefWindowProc(window, message, w, l);
  switch (message) {
    case WM_NCDESTROY: lists::StatesOf<Header>().Drop(window); return 0;
    case WM_PAINT: Paint(window, h, reinterpret_cast<HDC>(w)); return 0;
    case WM_PRINTCLIENT: if (w) Paint(window, h, reinterpret_cast<HDC>(w)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      h->font = reinterpret_cast<HFONT>(w);
      if (LOWORD(static_cast<uintptr_t>(l))) InvalidateRect(window, nullptr, 1);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(h->font);
    case WM_LBUTTONDOWN: ButtonDown(window, h, PointOf(l)); return 0;
    case WM_LBUTTONDBLCLK: DoubleClick(window, h, PointOf(l)); return 0;
    case WM_MOUSEMOVE: MouseMove(window, h, PointOf(l)); return 0;
    case WM_LBUTTONUP: ButtonUp(window, h, PointOf(l)); return 0;
    case WM_CAPTURECHANGED: CaptureLost(window, h); return 0;
    case WM_CANCELMODE:
      CaptureLost(window, h);
      if (GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_RBUTTONUP: {
      NMHDR n;
      if (SendNotify(window, NM_RCLICK, &n) == 0)
        SendMessage(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window),
                    lists::ScreenPointParam(window, PointOf(l)));
      return 0;
    }
    case WM_CONTEXTMENU: return lists::ForwardContextMenu(window, w, l);
    case WM_SETCURSOR:
      if (SetDividerCursor(window, *h)) return 1;
      return DefWindowProc(window, message, w, l);
    default: return HeaderMessage(window, h, message, w, l);
  }
}

}  // namespace

void RegisterHeaderClass() {
  WNDCLASS c;
  c.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  c.lpfnWndProc = &HeaderProc;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.lpszClassName = WC_HEADER;
  RegisterClass(c);
}

}  // namespace qelo::win
