// The header control: a row of column captions with text, image, format
// and width, dividers the user drags to change widths, clickable items,
// sort marks and owner-drawn items (WM_DRAWITEM to the parent).
#pragma once

#include "win/controls/basic_common.h"
#include "win/controls/commctrl.h"
#include "win/controls/lists/imagelist.h"

namespace qelo::win {

inline const char* const WC_HEADER = "SysHeader32";

constexpr DWORD HDS_HORZ = 0x0000;
constexpr DWORD HDS_BUTTONS = 0x0002;
constexpr DWORD HDS_HOTTRACK = 0x0004;
constexpr DWORD HDS_HIDDEN = 0x0008;
// Items can be dragged to another place (HDN_BEGINDRAG, HDN_ENDDRAG).
constexpr DWORD HDS_DRAGDROP = 0x0040;
constexpr DWORD HDS_FULLDRAG = 0x0080;

constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_HEIGHT = HDI_WIDTH;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;
constexpr UINT HDI_LPARAM = 0x0008;
constexpr UINT HDI_IMAGE = 0x0020;
constexpr UINT HDI_ORDER = 0x0080;

constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_JUSTIFYMASK = 0x0003;
constexpr int HDF_SORTDOWN = 0x0200;
constexpr int HDF_SORTUP = 0x0400;
constexpr int HDF_IMAGE = 0x0800;
constexpr int HDF_BITMAP_ON_RIGHT = 0x1000;
constexpr int HDF_BITMAP = 0x2000;
constexpr int HDF_STRING = 0x4000;
constexpr int HDF_OWNERDRAW = 0x8000;

// Text is UTF-8. For HDM_GETITEM, pszText is a buffer of cchTextMax bytes.
// iOrder is the item's place from the left (HDI_ORDER).
struct HDITEM {
  UINT mask = 0;
  int cxy = 0;
  char* pszText = nullptr;
  void* hbm = nullptr;  // bitmaps on header items are not drawn
  int cchTextMax = 0;
  int fmt = 0;
  LPARAM lParam = 0;
  int iImage = 0;
  int iOrder = 0;
};

struct HDLAYOUT {
  RECT* prc = nullptr;      // in: the parent's area; out: what is left below the header
  WINDOWPOS* pwpos = nullptr;  // out: where the header goes
};

constexpr UINT HHT_NOWHERE = 0x0001;
constexpr UINT HHT_ONHEADER = 0x0002;
constexpr UINT HHT_ONDIVIDER = 0x0004;
constexpr UINT HHT_ONDIVOPEN = 0x0008;
constexpr UINT HHT_ABOVE = 0x0100;
constexpr UINT HHT_BELOW = 0x0200;
constexpr UINT HHT_TORIGHT = 0x0400;
constexpr UINT HHT_TOLEFT = 0x0800;

struct HDHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  int iItem = -1;
};

constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
constexpr UINT HDM_INSERTITEM = HDM_FIRST + 1;   // wParam index, lParam HDITEM*; index or -1
constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;   // wParam index
constexpr UINT HDM_GETITEM = HDM_FIRST + 3;      // wParam index, lParam HDITEM*
constexpr UINT HDM_SETITEM = HDM_FIRST + 4;      // wParam index, lParam HDITEM*
constexpr UINT HDM_LAYOUT = HDM_FIRST + 5;       // lParam HDLAYOUT*
constexpr UINT HDM_HITTEST = HDM_FIRST + 6;      // lParam HDHITTESTINFO*; item or -1
constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;  // wParam index, lParam RECT*
constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8;  // lParam HIMAGELIST; the old one
constexpr UINT HDM_GETIMAGELIST = HDM_FIRST + 9;
constexpr UINT HDM_ORDERTOINDEX = HDM_FIRST + 15;    // wParam a place; the item there, or the place itself
constexpr UINT HDM_GETORDERARRAY = HDM_FIRST + 17;   // wParam count, lParam int[count]: items left to right
constexpr UINT HDM_SETORDERARRAY = HDM_FIRST + 18;   // wParam count, lParam int[count]; 0 unless a permutation

constexpr UINT HDN_FIRST = 0u - 300u;
constexpr UINT HDN_ITEMCHANGING = HDN_FIRST - 0;  // nonzero answer refuses the change
constexpr UINT HDN_ITEMCHANGED = HDN_FIRST - 1;
constexpr UINT HDN_ITEMCLICK = HDN_FIRST - 2;
constexpr UINT HDN_ITEMDBLCLICK = HDN_FIRST - 3;
constexpr UINT HDN_DIVIDERDBLCLICK = HDN_FIRST - 5;
constexpr UINT HDN_BEGINTRACK = HDN_FIRST - 6;  // nonzero answer refuses the tracking
constexpr UINT HDN_ENDTRACK = HDN_FIRST - 7;
constexpr UINT HDN_TRACK = HDN_FIRST - 8;       // nonzero answer ends the tracking
// Dragging an item to another place (HDS_DRAGDROP): a nonzero answer to
// HDN_BEGINDRAG refuses the drag; HDN_ENDDRAG carries the new place in
// pitem->iOrder (mask HDI_ORDER) and a nonzero answer keeps the order as
// it was. A new order is reported by HDN_ITEMCHANGED with HDI_ORDER.
constexpr UINT HDN_BEGINDRAG = HDN_FIRST - 10;
constexpr UINT HDN_ENDDRAG = HDN_FIRST - 11;

struct NMHEADER {
  NMHDR hdr;
  int iItem = -1;
  int iButton = 0;  // 0 left, 1 right, 2 middle
  HDITEM* pitem = nullptr;
};

constexpr UINT ODT_HEADER = 100;

// Registers WC_HEADER; called by RegisterListControlClasses.
void RegisterHeaderClass();

}  // namespace qelo::win
