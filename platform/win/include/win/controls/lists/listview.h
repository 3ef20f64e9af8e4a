// The list view control in report layout: columns (kept in a header
// child), items with sub-items, images and 32-bit data, selection and
// focus, check boxes as state images, hit tests, scrolling, sorting,
// custom and owner drawing, label editing and the notifications in the
// order the platform sends them. Text is UTF-8. The icon, small-icon and
// list views lay their items out in rows as the report view does, without
// a header.
//
// Groups: with the group view on, the items show under a header row of
// their group, group by group in the groups' order (items of no group do
// not show; a collapsed group shows its header only, a hidden one
// nothing). Owner data (LVS_OWNERDATA): the parent keeps the items; the
// list keeps a count (LVM_SETITEMCOUNT) and the items' states, and asks for
// every text and image (LVN_GETDISPINFO), says which items it is about to
// paint (LVN_ODCACHEHINT), lets the parent find items (LVN_ODFINDITEM) and
// tells a range selected at once in one LVN_ODSTATECHANGED; it shows no
// groups (LVM_ENABLEGROUPVIEW answers -1).
#pragma once

#include "win/controls/commctrl.h"
#include "win/controls/lists/header.h"
#include "win/controls/lists/imagelist.h"
#include "win/controls/lists/text_callback.h"

namespace qelo::win {

inline const char* const WC_LISTVIEW = "SysListView32";

constexpr DWORD LVS_ICON = 0x0000;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_TYPEMASK = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_SORTASCENDING = 0x0010;
constexpr DWORD LVS_SORTDESCENDING = 0x0020;
constexpr DWORD LVS_SHAREIMAGELISTS = 0x0040;
constexpr DWORD LVS_NOLABELWRAP = 0x0080;
constexpr DWORD LVS_AUTOARRANGE = 0x0100;
constexpr DWORD LVS_EDITLABELS = 0x0200;
constexpr DWORD LVS_OWNERDRAWFIXED = 0x0400;
constexpr DWORD LVS_OWNERDATA = 0x1000;
constexpr DWORD LVS_NOSCROLL = 0x2000;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;

constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
constexpr DWORD LVS_EX_SUBITEMIMAGES = 0x00000002;
constexpr DWORD LVS_EX_CHECKBOXES = 0x00000004;
constexpr DWORD LVS_EX_TRACKSELECT = 0x00000008;
constexpr DWORD LVS_EX_HEADERDRAGDROP = 0x00000010;  // columns dragged to another place
constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;
constexpr DWORD LVS_EX_INFOTIP = 0x00000400;
constexpr DWORD LVS_EX_LABELTIP = 0x00004000;
constexpr DWORD LVS_EX_DOUBLEBUFFER = 0x00010000;

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIF_INDENT = 0x0010;
constexpr UINT LVIF_GROUPID = 0x0100;
constexpr UINT LVIF_DI_SETITEM = 0x1000;

constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_CUT = 0x0004;
constexpr UINT LVIS_DROPHILITED = 0x0008;
constexpr UINT LVIS_OVERLAYMASK = 0x0F00;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(int i) { return static_cast<UINT>(i) << 12; }
// Check boxes: state image 1 unchecked, 2 checked.
constexpr UINT LVIS_UNCHECKED = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT LVIS_CHECKED = INDEXTOSTATEIMAGEMASK(2);

// An item that belongs to no group.
constexpr int I_GROUPIDNONE = -2;

// pszText may be LPSTR_TEXTCALLBACK (the parent answers LVN_GETDISPINFO).
struct LVITEM {
  UINT mask = 0;
  int iItem = 0;
  int iSubItem = 0;
  UINT state = 0;
  UINT stateMask = 0;
  char* pszText = nullptr;
  int cchTextMax = 0;
  int iImage = 0;
  LPARAM lParam = 0;
  int iIndent = 0;
  int iGroupId = I_GROUPIDNONE;
};

constexpr UINT LVGF_HEADER = 0x0001;
constexpr UINT LVGF_FOOTER = 0x0002;
constexpr UINT LVGF_STATE = 0x0004;
constexpr UINT LVGF_ALIGN = 0x0008;
constexpr UINT LVGF_GROUPID = 0x0010;
constexpr UINT LVGF_TITLEIMAGE = 0x1000;
constexpr UINT LVGS_NORMAL = 0x0000;
constexpr UINT LVGS_COLLAPSED = 0x0001;
constexpr UINT LVGS_HIDDEN = 0x0002;
constexpr UINT LVGA_HEADER_LEFT = 0x0001;
constexpr UINT LVGA_HEADER_CENTER = 0x0002;
constexpr UINT LVGA_HEADER_RIGHT = 0x0004;
constexpr UINT LVGA_FOOTER_LEFT = 0x0008;
constexpr UINT LVGA_FOOTER_CENTER = 0x0010;
constexpr UINT LVGA_FOOTER_RIGHT = 0x0020;

// A group: its header (and footer) texts, alignment, state and the image
// of the group-header image list shown before the header (-1 none).
struct LVGROUP {
  UINT mask = 0;
  const char* pszHeader = nullptr;
  const char* pszFooter = nullptr;
  int iGroupId = 0;
  UINT stateMask = 0;
  UINT state = 0;
  UINT uAlign = 0;
  int iTitleImage = -1;
};

constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;
constexpr UINT LVCF_IMAGE = 0x0010;
constexpr UINT LVCF_ORDER = 0x0020;

constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr int LVCFMT_JUSTIFYMASK = 0x0003;
constexpr int LVCFMT_IMAGE = 0x0800;
constexpr int LVCFMT_BITMAP_ON_RIGHT = 0x1000;
constexpr int LVCFMT_COL_HAS_IMAGES = 0x8000;

struct LVCOLUMN {
  UINT mask = 0;
  int fmt = 0;
  int cx = 0;
  char* pszText = nullptr;
  int cchTextMax = 0;
  int iSubItem = 0;
  int iImage = 0;
  int iOrder = 0;
};

constexpr int LVSCW_AUTOSIZE = -1;
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;
constexpr UINT LVNI_ABOVE = 0x0100;
constexpr UINT LVNI_BELOW = 0x0200;

constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVIR_SELECTBOUNDS = 3;

constexpr UINT LVHT_NOWHERE = 0x0001;
constexpr UINT LVHT_ONITEMICON = 0x0002;
constexpr UINT LVHT_ONITEMLABEL = 0x0004;
constexpr UINT LVHT_ONITEMSTATEICON = 0x0008;
constexpr UINT LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;
constexpr UINT LVHT_ABOVE = 0x0008;
constexpr UINT LVHT_BELOW = 0x0010;
constexpr UINT LVHT_TORIGHT = 0x0020;
constexpr UINT LVHT_TOLEFT = 0x0040;

struct LVHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  int iItem = -1;
  int iSubItem = 0;
};

constexpr UINT LVFI_PARAM = 0x0001;
constexpr UINT LVFI_STRING = 0x0002;
constexpr UINT LVFI_PARTIAL = 0x0008;
constexpr UINT LVFI_WRAP = 0x0020;
struct LVFINDINFO {
  UINT flags = 0;
  const char* psz = nullptr;
  LPARAM lParam = 0;
  POINT pt;
  UINT vkDirection = 0;
};

constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;
constexpr int LVSIL_GROUPHEADER = 3;

constexpr DWORD LV_VIEW_ICON = 0;
constexpr DWORD LV_VIEW_DETAILS = 1;
constexpr DWORD LV_VIEW_SMALLICON = 2;
constexpr DWORD LV_VIEW_LIST = 3;

// Answers <0, 0, >0 for (lParam1, lParam2, the caller's lParamSort).
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETBKCOLOR = LVM_FIRST + 0;
constexpr UINT LVM_SETBKCOLOR = LVM_FIRST + 1;
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_GETITEM = LVM_FIRST + 5;
constexpr UINT LVM_SETITEM = LVM_FIRST + 6;
constexpr UINT LVM_INSERTITEM = LVM_FIRST + 7;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_FINDITEM = LVM_FIRST + 13;
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_GETITEMPOSITION = LVM_FIRST + 16;
constexpr UINT LVM_GETSTRINGWIDTH = LVM_FIRST + 17;
constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
constexpr UINT LVM_SCROLL = LVM_FIRST + 20;
constexpr UINT LVM_REDRAWITEMS = LVM_FIRST + 21;
constexpr UINT LVM_ARRANGE = LVM_FIRST + 22;
constexpr UINT LVM_EDITLABEL = LVM_FIRST + 23;
constexpr UINT LVM_GETEDITCONTROL = LVM_FIRST + 24;
constexpr UINT LVM_GETCOLUMN = LVM_FIRST + 25;
constexpr UINT LVM_SETCOLUMN = LVM_FIRST + 26;
constexpr UINT LVM_INSERTCOLUMN = LVM_FIRST + 27;
constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
constexpr UINT LVM_GETVIEWRECT = LVM_FIRST + 34;
constexpr UINT LVM_GETTEXTCOLOR = LVM_FIRST + 35;
constexpr UINT LVM_SETTEXTCOLOR = LVM_FIRST + 36;
constexpr UINT LVM_GETTEXTBKCOLOR = LVM_FIRST + 37;
constexpr UINT LVM_SETTEXTBKCOLOR = LVM_FIRST + 38;
constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
constexpr UINT LVM_GETORIGIN = LVM_FIRST + 41;
constexpr UINT LVM_UPDATE = LVM_FIRST + 42;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;  // wParam item (-1: all), lParam LVITEM*
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;  // wParam item, lParam mask
constexpr UINT LVM_GETITEMTEXT = LVM_FIRST + 45;   // wParam item, lParam LVITEM*; length
constexpr UINT LVM_SETITEMTEXT = LVM_FIRST + 46;
constexpr UINT LVM_SETITEMCOUNT = LVM_FIRST + 47;
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;     // wParam lParamSort, lParam PFNLVCOMPARE
constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;  // wParam mask (0 all), lParam
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
constexpr UINT LVM_GETSUBITEMRECT = LVM_FIRST + 56;  // lParam RECT*: top sub-item, left LVIR_*
constexpr UINT LVM_SUBITEMHITTEST = LVM_FIRST + 57;
// The columns by place, left to right: wParam count, lParam int[count].
constexpr UINT LVM_SETCOLUMNORDERARRAY = LVM_FIRST + 58;
constexpr UINT LVM_GETCOLUMNORDERARRAY = LVM_FIRST + 59;
constexpr UINT LVM_SETHOTITEM = LVM_FIRST + 60;
constexpr UINT LVM_GETHOTITEM = LVM_FIRST + 61;
constexpr UINT LVM_GETSELECTIONMARK = LVM_FIRST + 66;
constexpr UINT LVM_SETSELECTIONMARK = LVM_FIRST + 67;
constexpr UINT LVM_SETHOVERTIME = LVM_FIRST + 71;
constexpr UINT LVM_GETHOVERTIME = LVM_FIRST + 72;
constexpr UINT LVM_INSERTGROUP = LVM_FIRST + 145;   // wParam place (-1 last), lParam LVGROUP*; the id or -1
constexpr UINT LVM_SETGROUPINFO = LVM_FIRST + 147;  // wParam id, lParam LVGROUP*
constexpr UINT LVM_GETGROUPINFO = LVM_FIRST + 149;  // wParam id, lParam LVGROUP*
constexpr UINT LVM_REMOVEGROUP = LVM_FIRST + 150;   // wParam id
constexpr UINT LVM_GETGROUPCOUNT = LVM_FIRST + 152;
constexpr UINT LVM_ENABLEGROUPVIEW = LVM_FIRST + 157;  // wParam on; 1 changed, 0 as it was
constexpr UINT LVM_REMOVEALLGROUPS = LVM_FIRST + 160;
constexpr UINT LVM_HASGROUP = LVM_FIRST + 161;      // wParam id
constexpr UINT LVM_ISGROUPVIEWENABLED = LVM_FIRST + 175;
constexpr UINT LVM_SETVIEW = LVM_FIRST + 142;
constexpr UINT LVM_GETVIEW = LVM_FIRST + 143;

constexpr UINT LVN_FIRST = 0u - 100u;
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;  // nonzero answer refuses the change
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;  // nonzero: no LVN_DELETEITEM per item
constexpr UINT LVN_BEGINLABELEDIT = LVN_FIRST - 5;  // nonzero answer refuses the edit
constexpr UINT LVN_ENDLABELEDIT = LVN_FIRST - 6;    // nonzero answer takes the new text
constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
constexpr UINT LVN_BEGINDRAG = LVN_FIRST - 9;
constexpr UINT LVN_BEGINRDRAG = LVN_FIRST - 11;
constexpr UINT LVN_ITEMACTIVATE = LVN_FIRST - 14;
constexpr UINT LVN_ODCACHEHINT = LVN_FIRST - 13;
constexpr UINT LVN_ODSTATECHANGED = LVN_FIRST - 15;
constexpr UINT LVN_HOTTRACK = LVN_FIRST - 21;
constexpr UINT LVN_GETDISPINFO = LVN_FIRST - 50;
constexpr UINT LVN_SETDISPINFO = LVN_FIRST - 51;
constexpr UINT LVN_KEYDOWN = LVN_FIRST - 55;
constexpr UINT LVN_ODFINDITEM = LVN_FIRST - 52;   // answers the index found, or -1
constexpr UINT LVN_GETINFOTIP = LVN_FIRST - 57;

struct NMLISTVIEW {
  NMHDR hdr;
  int iItem = -1;
  int iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  POINT ptAction;
  LPARAM lParam = 0;
};

// NM_CLICK, NM_DBLCLK, NM_RCLICK and LVN_ITEMACTIVATE.
struct NMITEMACTIVATE {
  NMHDR hdr;
  int iItem = -1;
  int iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  POINT ptAction;
  LPARAM lParam = 0;
  UINT uKeyFlags = 0;
};
constexpr UINT LVKF_ALT = 0x0001;
constexpr UINT LVKF_CONTROL = 0x0002;
constexpr UINT LVKF_SHIFT = 0x0004;

// LVN_GETDISPINFO: the parent fills item.pszText (a buffer of cchTextMax
// bytes, or a pointer to its own text that lives until the next message)
// and item.iImage as item.mask asks. Label edits: item.pszText is the new
// text, or nullptr when the edit was cancelled.
struct NMLVDISPINFO {
  NMHDR hdr;
  LVITEM item;
};

// LVN_ODSTATECHANGED (owner data): the states of the items iFrom to iTo
// changed at once.
struct NMLVODSTATECHANGE {
  NMHDR hdr;
  int iFrom = 0;
  int iTo = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
};

// LVN_ODCACHEHINT: the items iFrom to iTo are about to be painted.
struct NMLVCACHEHINT {
  NMHDR hdr;
  int iFrom = 0;
  int iTo = 0;
};

// LVN_ODFINDITEM: find an item as lvfi says, from iStart on.
struct NMLVFINDITEM {
  NMHDR hdr;
  int iStart = 0;
  LVFINDINFO lvfi;
};

struct NMLVKEYDOWN {
  NMHDR hdr;
  uint16_t wVKey = 0;
  UINT flags = 0;
};

constexpr DWORD LVGIT_UNFOLDED = 0x0001;
// The text starts as the item's label when it does not fit its column
// (dwFlags 0) and empty when it does (LVGIT_UNFOLDED).
struct NMLVGETINFOTIP {
  NMHDR hdr;
  DWORD dwFlags = 0;
  char* pszText = nullptr;
  int cchTextMax = 0;
  int iItem = -1;
  int iSubItem = 0;
  LPARAM lParam = 0;
};

// NM_CUSTOMDRAW: the parent may change the colours at the item and
// sub-item stages; iSubItem names the column's sub-item there.
struct NMLVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText = 0;
  COLORREF clrTextBk = 0;
  int iSubItem = 0;
};

constexpr UINT ODT_LISTVIEW = 102;

// Registers WC_LISTVIEW; called by RegisterListControlClasses.
void RegisterListViewClass();

}  // namespace qelo::win
