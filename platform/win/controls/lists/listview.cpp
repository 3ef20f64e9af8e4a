#include "win/controls/lists/listview.h"

#include "controls/lists/label_edit.h"
#include "controls/lists/listview_state.h"

namespace qelo::win {
namespace lists {
namespace {

template <typename T>
T* As(LPARAM l) {
  return reinterpret_cast<T*>(l);
}

}  // namespace

// The header's notifications go on to the list's parent, whose answer
// counts (so it can refuse a change); a click on a column becomes
// LVN_COLUMNCLICK.
LRESULT ListView::HeaderNotify(WPARAM w, NMHDR* n) {
  const LRESULT answer = SendMessage(GetParent(window_), WM_NOTIFY, w, reinterpret_cast<LPARAM>(n));
  const auto* h = reinterpret_cast<const NMHEADER*>(n);
  switch (n->code) {
    case HDN_ITEMCHANGED: ClampScroll(); InvalidateRect(window_, nullptr, 1); break;
    case HDN_ITEMCLICK: NotifyItem(LVN_COLUMNCLICK, -1, h->iItem); break;
    case HDN_DIVIDERDBLCLICK:
      if (answer == 0) SetColumnWidth(h->iItem, LVSCW_AUTOSIZE);
      break;
    default: break;
  }
  return answer;
}

LRESULT ListView::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CREATE: CreateHeader(); return 0;
    case WM_DESTROY:
      CancelEdit();
      if (!(Style() & LVS_SHAREIMAGELISTS))
        for (HIMAGELIST& list : images_) ImageList_Destroy(std::exchange(list, nullptr));
      return 0;
    case WM_PAINT: Paint(reinterpret_cast<HDC>(w)); return 0;
    case WM_PRINTCLIENT: if (w) Paint(reinterpret_cast<HDC>(w)); return 0;
    case WM_ERASEBKGND: return 1;  // painting fills the background
    case WM_SIZE: LayoutHeader(); ClampScroll(); InvalidateRect(window_, nullptr, 1); return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      SendMessage(header_, WM_SETFONT, w, 0);
      LayoutHeader();
      if (LOWORD(static_cast<uintptr_t>(l))) InvalidateRect(window_, nullptr, 1);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      InvalidateRect(window_, nullptr, 1);
      NMHDR n;
      Notify(message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS, &n);
      return 0;
    }
    case WM_ENABLE: InvalidateRect(window_, nullptr, 1); return 0;
    case WM_LBUTTONDOWN: ButtonDown(PointOf(l), w, false); return 0;
    case WM_LBUTTONDBLCLK: ButtonDown(PointOf(l), w, true); return 0;
    case WM_LBUTTONUP: ButtonUp(PointOf(l)); return 0;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: RightButtonDown(PointOf(l)); return 0;
    case WM_RBUTTONUP: RightButtonUp(PointOf(l)); return 0;
    case WM_MOUSEMOVE: MouseMove(PointOf(l), w); return 0;
    case WM_CAPTURECHANGED: leftDown_ = rightDown_ = editOnUp_ = false; return 0;
    case WM_CANCELMODE:
      leftDown_ = rightDown_ = editOnUp_ = false;
      if (GetCapture() == window_) ReleaseCapture();
      return 0;
    case WM_VSCROLL: case WM_HSCROLL:
      ScrollBarRequest(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(w), HIWORD(w));
      return 0;
    case WM_MOUSEWHEEL: Scroll(0, -GET_WHEEL_DELTA_WPARAM(w) * kWheelRows / WHEEL_DELTA); return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      if (message == WM_SYSKEYDOWN && w != static_cast<WPARAM>(VK_F10))
        return DefWindowProc(window_, message, w, l);
      KeyDown(static_cast<int>(w));
      return 0;
    case WM_CONTEXTMENU: return ForwardContextMenu(window_, w, l);
    case WM_NOTIFY: {
      auto* n = As<NMHDR>(l);
      if (n->hwndFrom == header_) return HeaderNotify(w, n);
      return SendMessage(GetParent(window_), WM_NOTIFY, w, l);
    }
    case WM_DRAWITEM: return SendMessage(GetParent(window_), WM_DRAWITEM, w, l);

    case LVM_GETBKCOLOR: return background_;
    case LVM_SETBKCOLOR: background_ = static_cast<COLORREF>(l); InvalidateRect(window_, nullptr, 1); return 1;
    case LVM_GETTEXTCOLOR: return textColour_;
    case LVM_SETTEXTCOLOR: textColour_ = static_cast<COLORREF>(l); InvalidateRect(window_, nullptr, 1); return 1;
    case LVM_GETTEXTBKCOLOR: return textBackground_;
    case LVM_SETTEXTBKCOLOR: textBackground_ = static_cast<COLORREF>(l); InvalidateRect(window_, nullptr, 1); return 1;
    case LVM_GETIMAGELIST:
      if (w == LVSIL_GROUPHEADER) return reinterpret_cast<LRESULT>(groupImages_);
      return w <= LVSIL_STATE ? reinterpret_cast<LRESULT>(images_[w]) : 0;
    case LVM_SETIMAGELIST: {
      if (w == LVSIL_GROUPHEADER) {
        HIMAGELIST old = std::exchange(groupImages_, reinterpret_cast<HIMAGELIST>(l));
        InvalidateRect(window_, nullptr, 1);
        return reinterpret_cast<LRESULT>(old);
      }
      if (w > LVSIL_STATE) return 0;
      HIMAGELIST old = std::exchange(images_[w], reinterpret_cast<HIMAGELIST>(l));
      ClampScroll();
      InvalidateRect(window_, nullptr, 1);
      return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETITEMCOUNT: return Count();
    case LVM_SETITEMCOUNT: return SetItemCount(static_cast<int>(w));
    case LVM_GETITEM: return GetItem(As<LVITEM>(l));
    case LVM_SETITEM: return SetItem(As<const LVITEM>(l));
    case LVM_INSERTITEM: return InsertItem(As<const LVITEM>(l));
    case LVM_DELETEITEM: return DeleteItem(static_cast<int>(w));
    case LVM_DELETEALLITEMS: return DeleteAllItems();
    case LVM_GETITEMTEXT: return GetItemText(static_cast<int>(w), As<LVITEM>(l));
    case LVM_SETITEMTEXT: return SetItemText(static_cast<int>(w), As<const LVITEM>(l));
    case LVM_SETITEMSTATE: return SetItemStates(w, As<const LVITEM>(l));
    case LVM_GETITEMSTATE:
      return ValidItem(static_cast<int>(w)) ? items_[w].state & static_cast<UINT>(l) : 0;
    case LVM_GETNEXTITEM: return NextItem(static_cast<int>(w), static_cast<UINT>(l));
    case LVM_FINDITEM:
      if (OwnerData()) return FindOwnerDataItem(static_cast<int>(w), As<const LVFINDINFO>(l));
      return FindItem(static_cast<int>(w), As<const LVFINDINFO>(l));
    case LVM_INSERTGROUP: return InsertGroup(static_cast<int>(w), As<const LVGROUP>(l));
    case LVM_SETGROUPINFO: return SetGroupInfo(static_cast<int>(w), As<const LVGROUP>(l));
    case LVM_GETGROUPINFO: return GetGroupInfo(static_cast<int>(w), As<LVGROUP>(l));
    case LVM_REMOVEGROUP: return RemoveGroup(static_cast<int>(w));
    case LVM_REMOVEALLGROUPS: return RemoveAllGroups();
    case LVM_GETGROUPCOUNT: return static_cast<LRESULT>(groups_.size());
    case LVM_HASGROUP: return GroupIndex(static_cast<int>(w)) >= 0;
    case LVM_ENABLEGROUPVIEW: return EnableGroupView(w != 0);
    case LVM_ISGROUPVIEWENABLED: return groupView_;
    case LVM_GETSELECTEDCOUNT: return SelectedCount();
    case LVM_GETSELECTIONMARK: return anchor_;
    case LVM_SETSELECTIONMARK: return std::exchange(anchor_, static_cast<int>(l));
    case LVM_GETHOTITEM: return hot_;
    case LVM_SETHOTITEM: return std::exchange(hot_, static_cast<int>(w));
    case LVM_GETHOVERTIME: return hoverTime_;
    case LVM_SETHOVERTIME: return std::exchange(hoverTime_, static_cast<int>(l));
    case LVM_SORTITEMS: return SortItems(static_cast<LPARAM>(w), reinterpret_cast<PFNLVCOMPARE>(l));
    case LVM_GETITEMRECT: return GetItemRect(static_cast<int>(w), As<RECT>(l));
    case LVM_GETSUBITEMRECT: return GetSubItemRect(static_cast<int>(w), As<RECT>(l));
    case LVM_GETITEMPOSITION: {
      auto* p = As<POINT>(l);
      if (p == nullptr || !ValidItem(static_cast<int>(w))) return 0;
      const RECT r = RowRect(static_cast<int>(w));
      *p = POINT{r.left, r.top};
      return 1;
    }
    case LVM_GETSTRINGWIDTH: return TextWidth(ReadText(As<const char>(l)));
    case LVM_HITTEST: case LVM_SUBITEMHITTEST: {
      auto* hit = As<LVHITTESTINFO>(l);
      if (hit == nullptr) return -1;
      *hit = HitTest(hit->pt);
      if (message == LVM_HITTEST) hit->iSubItem = 0;
      return hit->iItem;
    }
    case LVM_ENSUREVISIBLE: EnsureVisible(static_cast<int>(w)); return ValidItem(static_cast<int>(w));
    case LVM_SCROLL: {
      const int dy = static_cast<int>(l);
      const int rows = dy / RowHeight() + (dy % RowHeight() > 0) - (dy % RowHeight() < 0);
      Scroll(static_cast<int>(w), rows);
      return 1;
    }
    case LVM_GETTOPINDEX: return top_;
    case LVM_GETCOUNTPERPAGE: return RowsPerPage();
    case LVM_GETORIGIN: return 0;  // report layout has no origin
    case LVM_GETVIEWRECT: {
      auto* r = As<RECT>(l);
      if (r == nullptr) return 0;
      *r = RECT{-scrollX_, HeaderHeight() - top_ * RowHeight(), TotalWidth() - scrollX_,
                HeaderHeight() + (RowCount() - top_) * RowHeight()};
      return 1;
    }
    case LVM_REDRAWITEMS: case LVM_UPDATE: case LVM_ARRANGE:
      InvalidateRect(window_, nullptr, 1);
      return 1;
    case LVM_EDITLABEL: return reinterpret_cast<LRESULT>(EditLabel(static_cast<int>(w)));
    case LVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(edit_);
    case LVM_GETCOLUMN: return GetColumn(static_cast<int>(w), As<LVCOLUMN>(l));
    case LVM_SETCOLUMN: return SetColumn(static_cast<int>(w), As<const LVCOLUMN>(l));
    case LVM_INSERTCOLUMN: return InsertColumn(static_cast<int>(w), As<const LVCOLUMN>(l));
    case LVM_DELETECOLUMN: return DeleteColumn(static_cast<int>(w));
    case LVM_GETCOLUMNWIDTH: return ColumnWidth(static_cast<int>(w));
    case LVM_GETCOLUMNORDERARRAY: return SendMessage(header_, HDM_GETORDERARRAY, w, l);
    case LVM_SETCOLUMNORDERARRAY:
      if (!SendMessage(header_, HDM_SETORDERARRAY, w, l)) return 0;
      InvalidateRect(window_, nullptr, 1);
      return 1;
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(static_cast<int>(w), static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(l))));
    case LVM_GETHEADER: return reinterpret_cast<LRESULT>(header_);
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return exStyle_;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: return SetExtendedStyle(static_cast<DWORD>(w), static_cast<DWORD>(l));
    case LVM_GETVIEW: return Style() & LVS_TYPEMASK;
    case LVM_SETVIEW:
      if (w > LV_VIEW_LIST) return -1;
      SetWindowLongPtr(window_, GWL_STYLE, static_cast<LONG_PTR>((Style() & ~LVS_TYPEMASK) | w));
      LayoutHeader();
      InvalidateRect(window_, nullptr, 1);
      return 1;
    default: return DefWindowProc(window_, message, w, l);
  }
}

}  // namespace lists

void RegisterListViewClass() {
  lists::RegisterDoubleClickClass(WC_LISTVIEW, &lists::StateWindowProc<lists::ListView>);
}

}  // namespace qelo::win
