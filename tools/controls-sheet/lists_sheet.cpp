#include "sheet.h"

#include <string>
#include <vector>

#include "win/controls/lists/header.h"
#include "win/controls/lists/listview.h"
#include "win/controls/lists/treeview.h"

namespace qelo::win::sheet {
namespace {

HWND Make(HWND parent, const char* className, DWORD style, RECT r, UINT id, DWORD exStyle = 0) {
  HWND control = CreateWindowEx(exStyle, className, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent, nullptr);
  if (control) SetWindowLongPtr(control, GWLP_ID, id);
  return control;
}

// Two 16 x 16 images: a film frame and a folder, drawn here.
HIMAGELIST SmallImages() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP strip = CreateBitmap(32, 16, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, strip);
  const RECT whole{0, 0, 32, 16}, film{1, 3, 15, 13}, folder{17, 4, 31, 14}, tab{17, 2, 23, 5};
  FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HBRUSH dark = CreateSolidBrush(RGB(0x3A, 0x6E, 0xA5));
  HBRUSH yellow = CreateSolidBrush(RGB(0xE8, 0xC0, 0x40));
  FillRect(dc, &film, dark);
  for (int x = 3; x < 14; x += 3) {
    const RECT hole{x, 4, x + 1, 5}, low{x, 11, x + 1, 12};
    FillRect(dc, &hole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(dc, &low, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  FillRect(dc, &folder, yellow);
  FillRect(dc, &tab, yellow);
  SelectObject(dc, old);
  DeleteDC(dc);
  ImageList_AddMasked(list, strip, RGB(255, 255, 255));
  DeleteObject(strip);
  DeleteObject(dark);
  DeleteObject(yellow);
  return list;
}

void AddHeader(HWND parent, RECT r) {
  HWND header = Make(parent, WC_HEADER, HDS_BUTTONS, r, 50);
  const std::vector<std::pair<const char*, int>> items{
      {"Source File", HDF_LEFT | HDF_SORTUP}, {"Length", HDF_CENTER}, {"Format", HDF_RIGHT}};
  for (const auto& [text, fmt] : items) {
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = const_cast<char*>(text);
    item.cxy = 100;
    item.fmt = fmt | HDF_STRING;
    SendMessage(header, HDM_INSERTITEM, 99, reinterpret_cast<LPARAM>(&item));
  }
}

void AddListView(HWND parent, RECT r, HIMAGELIST images) {
  HWND list = Make(parent, WC_LISTVIEW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS, r, 51,
                   WS_EX_CLIENTEDGE);
  SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
              LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  const std::vector<std::pair<const char*, int>> columns{{"Source File", 130}, {"Length", 70}, {"Format", 90}};
  for (const auto& [text, width] : columns) {
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<char*>(text);
    c.cx = width;
    SendMessage(list, LVM_INSERTCOLUMN, 99, reinterpret_cast<LPARAM>(&c));
  }
  const std::vector<std::vector<const char*>> rows{{"Holiday clip.avi", "00:03:07", "MP4"},
                                                   {"Birthday.mov", "00:12:40", "AVI"},
                                                   {"Concert.mkv", "01:02:03", "WMV"}};
  for (size_t i = 0; i < rows.size(); ++i) {
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(i);
    item.iImage = 0;
    item.pszText = const_cast<char*>(rows[i][0]);
    SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    for (int sub = 1; sub < 3; ++sub) {
      LVITEM text;
      text.iSubItem = sub;
      text.pszText = const_cast<char*>(rows[i][static_cast<size_t>(sub)]);
      SendMessage(list, LVM_SETITEMTEXT, i, reinterpret_cast<LPARAM>(&text));
    }
  }
  LVITEM state;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  state.stateMask = state.state;
  SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_CHECKED;
  state.stateMask = LVIS_STATEIMAGEMASK;
  SendMessage(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

HTREEITEM AddNode(HWND tree, HTREEITEM parent, const char* text) {
  TVINSERTSTRUCT in;
  in.hParent = parent;
  in.hInsertAfter = TVI_LAST;
  in.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  in.item.pszText = const_cast<char*>(text);
  in.item.iImage = in.item.iSelectedImage = 1;
  return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&in)));
}

void AddTreeView(HWND parent, RECT r, HIMAGELIST images) {
  HWND tree = Make(parent, WC_TREEVIEW,
                   TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, r, 52,
                   WS_EX_CLIENTEDGE);
  SendMessage(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  HTREEITEM videos = AddNode(tree, TVI_ROOT, "Videos");
  AddNode(tree, videos, "Holidays");
  HTREEITEM family = AddNode(tree, videos, "Family");
  AddNode(tree, family, "Birthdays");
  AddNode(tree, TVI_ROOT, "Music");
  AddNode(tree, TVI_ROOT, "Documents");
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(videos));
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(family));
}

}  // namespace

// A header on its own, a report list view with check boxes, images and
// grid lines, and a tree view with lines and buttons. The image list lives
// as long as the program.
void AddListControls(HWND parent, RECT area) {
  HIMAGELIST images = SmallImages();
  const int width = area.right - area.left;
  AddHeader(parent, RECT{area.left, area.top, area.right, area.top + 20});
  AddListView(parent, RECT{area.left, area.top + 26, area.right, area.top + 126}, images);
  AddTreeView(parent, RECT{area.left, area.top + 132, area.left + width, area.bottom}, images);
}

}  // namespace qelo::win::sheet
