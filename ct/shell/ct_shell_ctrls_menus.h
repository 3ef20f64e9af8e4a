// The shell tree's and list's context-menu helpers: the menu of items of a
// folder, commands run by offset or by verb, the control's own owner-drawn
// Send To sub-menu with its menu messages, dropping on a Send To entry, the
// owner window for shell calls, and making a new folder.
#pragma once

#include <functional>
#include <string>

#include "shell/context_menu.h"
#include "shell/ole_data.h"
#include "shell/shell_folder.h"
#include "vcl/controls/controls.h"
#include "win/controls/lists/imagelist.h"

namespace qelo::ct {

using shell::HMENU;
using shell::HRESULT;
using shell::IContextMenu;

constexpr shell::UINT kFirstShellCommand = 1000;
constexpr shell::UINT kLastShellCommand = 0x7FFF;

// The window of the control's top-level form; null when it has none.
win::HWND ShellOwnerWindow(vcl::TControl* control);

// The folder's context menu for the items in a new popup menu, commands
// from `firstId`. A failing query raises vcl::Exception; on any failure the
// menu object is released and the menu destroyed.
HRESULT GetContextMenu(win::HWND owner, shell::IShellFolder* folder, shell::UINT count,
                       shell::LPCITEMIDLIST const* items, shell::ComPtr<IContextMenu>* menuObject, HMENU* menu,
                       shell::UINT flags, shell::UINT firstId = kFirstShellCommand);
// Runs a command given as a verb or as an offset (MAKEINTRESOURCE); a verb
// the menu does not carry runs nothing and gives E_FAIL.
HRESULT InvokeContextCommand(win::HWND owner, IContextMenu* menuObject, const char* command);
// The offset of the menu's command with that verb (any case); -1 when none.
int FindVerbCommand(IContextMenu* menuObject, const std::string& verb);

// ---- the control's Send To sub-menu ---------------------------------------------

// What the menu messages need of the control: its shell menu object, its
// small image list, and its popup-hint event.
struct TCtShellMenuSite {
  IContextMenu* menuObject = nullptr;
  win::HIMAGELIST smallImages = nullptr;
  std::function<void(const std::string& hint)> onPopupHint;
};

// The shell menu a control shows: while it is tracked the control counts
// as in a modal operation, and the menu messages its window gets go to the
// menu object.
class TCtShellMenuTracker {
 public:
  // Tracks `menu` at the screen point, owned by `owner`, and destroys it;
  // the chosen id, 0 for none.
  shell::UINT Track(win::HWND owner, HMENU menu, IContextMenu* menuObject, vcl::TPoint screen, bool& modal);
  // After the control's own handling of a message: a menu message goes to
  // the menu being tracked; `onPopupHint` gets the hint of the item under
  // the cursor.
  void PassMenuMessage(vcl::TMessage& m, const std::function<void(const std::string&)>& onPopupHint);
  static bool IsMenuMessage(win::UINT message);

 private:
  shell::ComPtr<IContextMenu> current_;
};

// Handles WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR and
// WM_MENUSELECT for the control's shell menu; true when the message was one
// of them (`result` then holds the answer). Exceptions are swallowed.
bool HandleShellMenuMessage(const TCtShellMenuSite& site, win::UINT message, win::WPARAM w, win::LPARAM l,
                            win::LRESULT* result);
// Fills a Send To placeholder menu (one grayed item) with the user's Send
// To entries, read afresh: entries that vanished are dropped.
void FillSendToMenu(HMENU popup);

// Drops the data object on the Send To entry named `name`: its drop target
// hears enter, over and drop with the left button and a copy. Raises
// vcl::Exception when the entry cannot be parsed or has no drop target.
void DropOnSendToEntry(const std::string& name, shell::IDataObject* data);

// ---- new folders ----------------------------------------------------------------

// Makes a new folder in `path`: "New Folder", "New Folder (2)" ... "(50)",
// then "fldr", "fldr2" ... "fldr50"; 1 with its name in `name`, else 0
// after a warning message. An empty path makes nothing (there is no folder
// to make it in).
int CreateFolderIn(const std::string& path, std::string* name);

// The hourglass cursor for `ms` milliseconds while messages go on being
// handled (the GUI never stops answering), then the cursor as it was.
void WaitWithHourglass(unsigned ms);

}  // namespace qelo::ct
