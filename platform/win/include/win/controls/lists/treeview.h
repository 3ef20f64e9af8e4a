// The tree view control: nodes with text, images, state images and 32-bit
// data, lines and expand buttons, expanding and collapsing, selection,
// item height and indent, hit tests and item rectangles, scrolling,
// sorting, custom drawing, callbacks for text, images and children, label
// editing, and the notifications in the order the platform sends them.
// Text is UTF-8.
#pragma once

#include <cstring>

#include "win/controls/commctrl.h"
#include "win/controls/lists/imagelist.h"
#include "win/controls/lists/text_callback.h"

namespace qelo::win {

inline const char* const WC_TREEVIEW = "SysTreeView32";

constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_EDITLABELS = 0x0008;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_NOTOOLTIPS = 0x0080;
constexpr DWORD TVS_CHECKBOXES = 0x0100;
constexpr DWORD TVS_TRACKSELECT = 0x0200;
constexpr DWORD TVS_SINGLEEXPAND = 0x0400;
constexpr DWORD TVS_INFOTIP = 0x0800;
constexpr DWORD TVS_FULLROWSELECT = 0x1000;
constexpr DWORD TVS_NOSCROLL = 0x2000;
constexpr DWORD TVS_NONEVENHEIGHT = 0x4000;
constexpr DWORD TVS_NOHSCROLL = 0x8000;

struct TreeNode;
using HTREEITEM = TreeNode*;
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFD));

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIF_DI_SETITEM = 0x1000;

constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_CUT = 0x0004;
constexpr UINT TVIS_DROPHILITED = 0x0008;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;
constexpr UINT TVIS_EXPANDEDONCE = 0x0040;
constexpr UINT TVIS_OVERLAYMASK = 0x0F00;
constexpr UINT TVIS_STATEIMAGEMASK = 0xF000;

constexpr int I_CHILDRENCALLBACK = -1;

// pszText, iImage, iSelectedImage (I_IMAGECALLBACK, -1) and cChildren
// (I_CHILDRENCALLBACK) may ask the parent through TVN_GETDISPINFO.
struct TVITEM {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  char* pszText = nullptr;
  int cchTextMax = 0;
  int iImage = 0;
  int iSelectedImage = 0;
  int cChildren = 0;
  LPARAM lParam = 0;
};

struct TVINSERTSTRUCT {
  HTREEITEM hParent = nullptr;       // nullptr or TVI_ROOT: a top-level node
  HTREEITEM hInsertAfter = nullptr;  // a sibling, TVI_FIRST, TVI_LAST or TVI_SORT
  TVITEM item;
};

constexpr UINT TVE_COLLAPSE = 0x0001;
constexpr UINT TVE_EXPAND = 0x0002;
constexpr UINT TVE_TOGGLE = 0x0003;
constexpr UINT TVE_COLLAPSERESET = 0x8000;

constexpr UINT TVGN_ROOT = 0x0000;
constexpr UINT TVGN_NEXT = 0x0001;
constexpr UINT TVGN_PREVIOUS = 0x0002;
constexpr UINT TVGN_PARENT = 0x0003;
constexpr UINT TVGN_CHILD = 0x0004;
constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr UINT TVGN_DROPHILITE = 0x0008;
constexpr UINT TVGN_CARET = 0x0009;
constexpr UINT TVGN_LASTVISIBLE = 0x000A;

constexpr int TVSIL_NORMAL = 0;
constexpr int TVSIL_STATE = 2;

constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
constexpr UINT TVHT_ABOVE = 0x0100;
constexpr UINT TVHT_BELOW = 0x0200;
constexpr UINT TVHT_TORIGHT = 0x0400;
constexpr UINT TVHT_TOLEFT = 0x0800;

// TVM_GETITEMRECT takes the item in the rectangle's first bytes.
inline void PutItemInRect(RECT* r, HTREEITEM item) {
  std::memcpy(static_cast<void*>(r), &item, sizeof item);
}
inline HTREEITEM ItemInRect(const RECT* r) {
  HTREEITEM item;
  std::memcpy(&item, static_cast<const void*>(r), sizeof item);
  return item;
}

struct TVHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  HTREEITEM hItem = nullptr;
};

using PFNTVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);
struct TVSORTCB {
  HTREEITEM hParent = nullptr;
  PFNTVCOMPARE lpfnCompare = nullptr;
  LPARAM lParam = 0;
};

constexpr UINT TVM_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEM = TVM_FIRST + 0;   // lParam TVINSERTSTRUCT*; the new item
constexpr UINT TVM_DELETEITEM = TVM_FIRST + 1;   // lParam item (TVI_ROOT: all)
constexpr UINT TVM_EXPAND = TVM_FIRST + 2;       // wParam TVE_*, lParam item
// wParam TRUE: the text only; lParam RECT* whose first bytes hold the item.
constexpr UINT TVM_GETITEMRECT = TVM_FIRST + 4;
constexpr UINT TVM_GETCOUNT = TVM_FIRST + 5;
constexpr UINT TVM_GETINDENT = TVM_FIRST + 6;
constexpr UINT TVM_SETINDENT = TVM_FIRST + 7;
constexpr UINT TVM_GETIMAGELIST = TVM_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TVM_FIRST + 9;
constexpr UINT TVM_GETNEXTITEM = TVM_FIRST + 10;  // wParam TVGN_*, lParam item
constexpr UINT TVM_SELECTITEM = TVM_FIRST + 11;   // wParam TVGN_CARET/FIRSTVISIBLE/DROPHILITE
constexpr UINT TVM_GETITEM = TVM_FIRST + 12;
constexpr UINT TVM_SETITEM = TVM_FIRST + 13;
constexpr UINT TVM_EDITLABEL = TVM_FIRST + 14;    // lParam item; the edit box
constexpr UINT TVM_GETEDITCONTROL = TVM_FIRST + 15;
constexpr UINT TVM_GETVISIBLECOUNT = TVM_FIRST + 16;
constexpr UINT TVM_HITTEST = TVM_FIRST + 17;
constexpr UINT TVM_SORTCHILDREN = TVM_FIRST + 19;    // wParam recurse, lParam item
constexpr UINT TVM_ENSUREVISIBLE = TVM_FIRST + 20;
constexpr UINT TVM_SORTCHILDRENCB = TVM_FIRST + 21;  // wParam recurse, lParam TVSORTCB*
constexpr UINT TVM_ENDEDITLABELNOW = TVM_FIRST + 22;  // wParam TRUE: cancel
constexpr UINT TVM_SETTOOLTIPS = TVM_FIRST + 24;
constexpr UINT TVM_GETTOOLTIPS = TVM_FIRST + 25;
constexpr UINT TVM_SETITEMHEIGHT = TVM_FIRST + 27;  // wParam height, -1 the default; the old
constexpr UINT TVM_GETITEMHEIGHT = TVM_FIRST + 28;
constexpr UINT TVM_SETBKCOLOR = TVM_FIRST + 29;     // lParam colour, -1 the default
constexpr UINT TVM_SETTEXTCOLOR = TVM_FIRST + 30;
constexpr UINT TVM_GETBKCOLOR = TVM_FIRST + 31;
constexpr UINT TVM_GETTEXTCOLOR = TVM_FIRST + 32;
constexpr UINT TVM_GETITEMSTATE = TVM_FIRST + 39;   // wParam item, lParam mask
constexpr UINT TVM_SETLINECOLOR = TVM_FIRST + 40;
constexpr UINT TVM_GETLINECOLOR = TVM_FIRST + 41;

constexpr UINT TVN_FIRST = 0u - 400u;
constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1;  // nonzero answer refuses the change
constexpr UINT TVN_SELCHANGED = TVN_FIRST - 2;
constexpr UINT TVN_GETDISPINFO = TVN_FIRST - 3;
constexpr UINT TVN_SETDISPINFO = TVN_FIRST - 4;
constexpr UINT TVN_ITEMEXPANDING = TVN_FIRST - 5;  // nonzero answer refuses the change
constexpr UINT TVN_ITEMEXPANDED = TVN_FIRST - 6;
constexpr UINT TVN_BEGINDRAG = TVN_FIRST - 7;
constexpr UINT TVN_BEGINRDRAG = TVN_FIRST - 8;
constexpr UINT TVN_DELETEITEM = TVN_FIRST - 9;
constexpr UINT TVN_BEGINLABELEDIT = TVN_FIRST - 10;  // nonzero answer refuses the edit
constexpr UINT TVN_ENDLABELEDIT = TVN_FIRST - 11;    // nonzero answer takes the new text
constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;

constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;

// Selection: action TVC_*; expansion: action TVE_EXPAND or TVE_COLLAPSE
// with the item in itemNew; deletion: the item in itemOld.
struct NMTREEVIEW {
  NMHDR hdr;
  UINT action = 0;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag;
};

// TVN_GETDISPINFO: the parent fills what item.mask asks for. Label
// edits: item.pszText is the new text, or nullptr when cancelled.
struct NMTVDISPINFO {
  NMHDR hdr;
  TVITEM item;
};

struct NMTVKEYDOWN {
  NMHDR hdr;
  uint16_t wVKey = 0;
  UINT flags = 0;
};

// NM_CUSTOMDRAW: dwItemSpec is the item's HTREEITEM at the item stages.
struct NMTVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText = 0;
  COLORREF clrTextBk = 0;
  int iLevel = 0;
};

// Registers WC_TREEVIEW; called by RegisterListControlClasses.
void RegisterTreeViewClass();

// Whether the tree view measures labels on its measuring thread now (it
// does so when more are new at once than it measures quickly itself; the
// horizontal scroll range grows as the widths come back). For tests and
// benchmarks.
bool TreeViewMeasuringLabels(HWND tree);

}  // namespace qelo::win
