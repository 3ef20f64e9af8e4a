#include "controls/lists/label_edit.h"

#include <map>
#include <mutex>

#include "win/controls/basic_common.h"
#include "win/controls/edit.h"

namespace qelo::win::lists {
namespace {

struct Editing {
  WNDPROC previous = nullptr;
  LabelEditDone done;
  bool ending = false;
};

// Edits in progress by window; any thread may ask, each edit is used on
// its own (the GUI) thread.
std::mutex g_lock;
std::map<HWND, Editing>& Edits() {
  static auto* edits = new std::map<HWND, Editing>;
  return *edits;
}

WNDPROC PreviousProc(HWND edit) {
  std::lock_guard lock(g_lock);
  auto it = Edits().find(edit);
  return it == Edits().end() ? nullptr : it->second.previous;
}

LRESULT EditProc(HWND edit, UINT message, WPARAM w, LPARAM l) {
  WNDPROC previous = PreviousProc(edit);
  if (previous == nullptr) return DefWindowProc(edit, message, w, l);
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (w == VK_RETURN || w == VK_ESCAPE) {
        EndLabelEdit(edit, w == VK_RETURN);
        return 0;
      }
      break;
    case WM_CHAR:
      if (w == '\r' || w == 0x1B) return 0;
      break;
    case WM_KILLFOCUS: {
      const LRESULT result = CallWindowProc(previous, edit, message, w, l);
      EndLabelEdit(edit, true);
      return result;
    }
    case WM_NCDESTROY: {
      // Destroyed from outside (with its owner, say): the edit is cancelled.
      LabelEditDone done;
      std::string text = GetWindowText(edit);
      {
        std::lock_guard lock(g_lock);
        auto it = Edits().find(edit);
        if (!it->second.ending) done = std::move(it->second.done);
        Edits().erase(it);
      }
      const LRESULT result = CallWindowProc(previous, edit, message, w, l);
      if (done) done(false, text);
      return result;
    }
    default: break;
  }
  return CallWindowProc(previous, edit, message, w, l);
}

}  // namespace

HWND CreateLabelEdit(HWND owner, RECT where, const std::string& text, HFONT font,
                     LabelEditDone done) {
  HWND edit = CreateWindowEx(0, WC_EDIT, text, WS_CHILD | WS_BORDER | ES_AUTOHSCROLL,
                             where.left, where.top, where.right - where.left,
                             where.bottom - where.top, owner, nullptr);
  if (edit == nullptr) return nullptr;
  SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  std::lock_guard lock(g_lock);
  Editing& e = Edits()[edit];
  e.done = std::move(done);
  e.previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
  return edit;
}

void ShowLabelEdit(HWND edit) {
  SendMessage(edit, EM_SETSEL, 0, -1);
  ShowWindow(edit, SW_SHOW);
  SetFocus(edit);
}

void DiscardLabelEdit(HWND edit) {
  {
    std::lock_guard lock(g_lock);
    auto it = Edits().find(edit);
    if (it == Edits().end()) return;
    it->second.ending = true;
    it->second.done = nullptr;
  }
  DestroyWindow(edit);
}

void EndLabelEdit(HWND edit, bool accept) {
  LabelEditDone done;
  {
    std::lock_guard lock(g_lock);
    auto it = Edits().find(edit);
    if (it == Edits().end() || it->second.ending) return;
    it->second.ending = true;
    done = std::move(it->second.done);
  }
  if (done) done(accept, GetWindowText(edit));
  if (GetFocus() == edit) SetFocus(GetParent(edit));
  DestroyWindow(edit);
}

}  // namespace qelo::win::lists
