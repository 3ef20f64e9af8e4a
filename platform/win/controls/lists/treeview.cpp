#include "win/controls/lists/treeview.h"

#include <utility>

#include "controls/lists/label_edit.h"
#include "controls/lists/treeview_state.h"

namespace qelo::win {
namespace lists {
namespace {

HTREEITEM ItemOf(LPARAM l) { return reinterpret_cast<HTREEITEM>(l); }

COLORREF Swap(COLORREF* field, LPARAM l) {
  const auto colour = static_cast<COLORREF>(l);
  return std::exchange(*field, colour == 0xFFFFFFFF ? CLR_NONE : colour);
}

}  // namespace

LRESULT TreeView::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_DESTROY: if (edit_) EndLabelEdit(edit_, false); return 0;
    case WM_PAINT: Paint(reinterpret_cast<HDC>(w)); return 0;
    case WM_PRINTCLIENT: if (w) Paint(reinterpret_cast<HDC>(w)); return 0;
    case WM_ERASEBKGND: return 1;  // painting fills the background
    case WM_SIZE: ClampScroll(); InvalidateRect(window_, nullptr, 1); return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      fontHeight_.reset();
      measurer_.reset();  // it measures with the old font
      for (TreeNode* node : nodes_) node->textWidth = TreeNode::kUnmeasured;
      LayoutChanged();
      return 0;
    case kLabelsMeasured: TakeMeasuredWidths(); return 0;
    case WM_SETREDRAW:
      redraw_ = w != 0;
      if (redraw_ && std::exchange(layoutPending_, false)) LayoutChanged();
      return DefWindowProc(window_, message, w, l);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: case WM_KILLFOCUS: {
      InvalidateRect(window_, nullptr, 1);
      NMHDR n;
      Notify(message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS, &n);
      return 0;
    }
    case WM_ENABLE: InvalidateRect(window_, nullptr, 1); return 0;
    case WM_LBUTTONDOWN: ButtonDown(PointOf(l), false); return 0;
    case WM_LBUTTONDBLCLK: ButtonDown(PointOf(l), true); return 0;
    case WM_LBUTTONUP: ButtonUp(); return 0;
    case WM_RBUTTONDOWN: RightButtonDown(PointOf(l)); return 0;
    case WM_RBUTTONUP: RightButtonUp(PointOf(l)); return 0;
    case WM_MOUSEMOVE: MouseMove(PointOf(l), w); return 0;
    case WM_CAPTURECHANGED: leftDown_ = rightDown_ = editOnUp_ = false; return 0;
    case WM_VSCROLL: case WM_HSCROLL:
      ScrollBarRequest(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(w), HIWORD(w));
      return 0;
    case WM_MOUSEWHEEL: Scroll(-GET_WHEEL_DELTA_WPARAM(w) * kWheelRows / WHEEL_DELTA); return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      if (message == WM_SYSKEYDOWN && w != static_cast<WPARAM>(VK_F10))
        return DefWindowProc(window_, message, w, l);
      KeyDown(static_cast<int>(w));
      return 0;
    case WM_CONTEXTMENU: return ForwardContextMenu(window_, w, l);

    case TVM_INSERTITEM: return reinterpret_cast<LRESULT>(Insert(reinterpret_cast<const TVINSERTSTRUCT*>(l)));
    case TVM_DELETEITEM: return Delete(ItemOf(l));
    case TVM_EXPAND: return Expand(ItemOf(l), static_cast<UINT>(w));
    case TVM_GETITEMRECT: return GetItemRect(w != 0, reinterpret_cast<RECT*>(l));
    case TVM_GETCOUNT: return static_cast<LRESULT>(nodes_.size());
    case TVM_GETINDENT: return indent_;
    case TVM_SETINDENT: indent_ = std::max(static_cast<int>(w), 4); LayoutChanged(); return 1;
    case TVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(w == TVSIL_STATE ? stateImages_ : w == TVSIL_NORMAL ? images_ : nullptr);
    case TVM_SETIMAGELIST: {
      if (w != TVSIL_NORMAL && w != TVSIL_STATE) return 0;
      HIMAGELIST& slot = w == TVSIL_STATE ? stateImages_ : images_;
      HIMAGELIST old = std::exchange(slot, reinterpret_cast<HIMAGELIST>(l));
      LayoutChanged();
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM: return reinterpret_cast<LRESULT>(Next(static_cast<UINT>(w), ItemOf(l)));
    case TVM_SELECTITEM:
      switch (w) {
        case TVGN_CARET: return Select(ItemOf(l), TVC_UNKNOWN);
        case TVGN_DROPHILITE:
          dropHilite_ = Valid(ItemOf(l)) ? ItemOf(l) : nullptr;
          InvalidateRect(window_, nullptr, 1);
          return 1;
        case TVGN_FIRSTVISIBLE: {
          if (!Valid(ItemOf(l))) return 0;
          EnsureVisible(ItemOf(l));
          Scroll(Row(ItemOf(l)) - top_);
          return 1;
        }
        default: return 0;
      }
    case TVM_GETITEM: return GetItem(reinterpret_cast<TVITEM*>(l));
    case TVM_SETITEM: return SetItem(reinterpret_cast<const TVITEM*>(l));
    case TVM_GETITEMSTATE: return Valid(reinterpret_cast<HTREEITEM>(w)) ? reinterpret_cast<HTREEITEM>(w)->state & static_cast<UINT>(l) : 0;
    case TVM_EDITLABEL: return reinterpret_cast<LRESULT>(EditLabel(ItemOf(l)));
    case TVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(edit_);
    case TVM_ENDEDITLABELNOW:
      if (!edit_) return 0;
      EndLabelEdit(edit_, w == 0);
      return 1;
    case TVM_GETVISIBLECOUNT: return RowsPerPage();
    case TVM_HITTEST: {
      auto* hit = reinterpret_cast<TVHITTESTINFO*>(l);
      if (hit == nullptr) return 0;
      *hit = HitTest(hit->pt);
      return reinterpret_cast<LRESULT>(hit->hItem);
    }
    case TVM_SORTCHILDREN: return Sort(ItemOf(l), w != 0, nullptr);
    case TVM_SORTCHILDRENCB: {
      const auto* sort = reinterpret_cast<const TVSORTCB*>(l);
      if (sort == nullptr || sort->lpfnCompare == nullptr) return 0;
      return Sort(sort->hParent, w != 0, sort);
    }
    case TVM_ENSUREVISIBLE: EnsureVisible(ItemOf(l)); return Valid(ItemOf(l));
    case TVM_SETTOOLTIPS: return reinterpret_cast<LRESULT>(std::exchange(tooltips_, reinterpret_cast<HWND>(w)));
    case TVM_GETTOOLTIPS: return reinterpret_cast<LRESULT>(tooltips_);
    case TVM_SETITEMHEIGHT: {
      const int old = ItemHeight();
      int height = static_cast<int16_t>(LOWORD(w));
      if (height > 0 && height % 2 && !(Style() & TVS_NONEVENHEIGHT)) --height;
      itemHeight_ = height == -1 ? -1 : std::max(height, 1);
      LayoutChanged();
      return old;
    }
    case TVM_GETITEMHEIGHT: return ItemHeight();
    case TVM_SETBKCOLOR: { LRESULT old = Swap(&background_, l); InvalidateRect(window_, nullptr, 1); return old == CLR_NONE ? -1 : old; }
    case TVM_GETBKCOLOR: return background_ == CLR_NONE ? -1 : background_;
    case TVM_SETTEXTCOLOR: { LRESULT old = Swap(&textColour_, l); InvalidateRect(window_, nullptr, 1); return old == CLR_NONE ? -1 : old; }
    case TVM_GETTEXTCOLOR: return textColour_ == CLR_NONE ? -1 : textColour_;
    case TVM_SETLINECOLOR: { LRESULT old = Swap(&lineColour_, l); InvalidateRect(window_, nullptr, 1); return old == CLR_NONE ? -1 : old; }
    case TVM_GETLINECOLOR: return lineColour_ == CLR_NONE ? -1 : lineColour_;
    default: return DefWindowProc(window_, message, w, l);
  }
}

}  // namespace lists

void RegisterTreeViewClass() {
  lists::RegisterDoubleClickClass(WC_TREEVIEW, &lists::StateWindowProc<lists::TreeView>);
}

bool TreeViewMeasuringLabels(HWND tree) {
  const lists::TreeView* state = lists::StatesOf<lists::TreeView>().Find(tree);
  return state && state->Measuring();
}

}  // namespace qelo::win
