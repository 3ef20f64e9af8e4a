// What the user does to the shell list's items: opening and going up, the
// default keys, renaming in place, the shell's context menu and Send To.
#include "ct_shell_ctrls_keys.h"
#include "ct_shell_ctrls_menus.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_ctrls_list.h"
#include "shell/errors.h"
#include "shell/shell_link.h"
#include "vcl/controls/forms.h"
#include "win/window/scrollbars.h"

namespace qelo::ct {

using namespace vcl;

namespace {

constexpr shell::UINT kRenameCommand = kFirstShellCommand + shell::kVerbRename;
constexpr shell::DWORD kRenameFlags = 0x20;
constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;

// Network folders ("\\server\share", "//server/share") are not read again
// after a command: it may take long and the shell tells of no change there.
bool IsNetworkPath(const std::string& path) {
  return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && path[1] == path[0];
}

}  // namespace

// ---- opening and going up --------------------------------------------------------------

// The folder's change event moves a linked tree. A folder the tree cannot
// reach (outside its base folder) is still shown; the folder the list
// showed already is read again.
void TCtCustomShellList::BrowseTo(LPCITEMIDLIST absolute) {
  if (options_.Contains(sloNoBrowse)) return;
  const shell::IdListPtr wanted(CopyIdList(ShellMalloc(), absolute));
  ClearSelection();
  ClearItems();
  if (CompareIdLists(folder_->IdList(), wanted.Get()) != 0) folder_->SetIdList(wanted.Get());
  else if (Items()->Count() == 0) FillFolder();
}

void TCtCustomShellList::OpenItem(TListItem* item) {
  if (tree_) tree_->FlushDelayedChange(false);
  TCtShellListData* data = ListData(item);
  if (!data) return;
  if (data->IsFolder()) return BrowseTo(data->AbsoluteIdList());
  if (data->IsLink()) {
    TLinkData link;
    if (SUCCEEDED(ReadLinkData(data->PathName(), &link, false)) &&
        (link.findData.dwFileAttributes & shell::FILE_ATTRIBUTE_DIRECTORY)) {
      shell::IdListPtr target;
      if (SUCCEEDED(PathToIdList(link.path, target.Put()))) return BrowseTo(target.Get());
    }
  }
  if (CanOpenDefault()) RunDefaultCommand({data->RelativeIdList()});
}

void TCtCustomShellList::OpenSelection() {
  const std::vector<LPCITEMIDLIST> selected = SelectedIdLists();
  if (selected.size() == 1) return OpenItem(Selected());
  if (selected.size() > 1 && CanOpenDefault()) RunDefaultCommand(selected);
}

bool TCtCustomShellList::CanOpenDefault() {
  bool allow = true;
  if (OnOpenDefault) OnOpenDefault(this, allow);
  return allow;
}

// The default command of the items' menu (the one a double click runs).
void TCtCustomShellList::RunDefaultCommand(const std::vector<LPCITEMIDLIST>& items) {
  if (!shellFolder_ || items.empty()) return;
  const win::HWND owner = ShellOwnerWindow();
  shell::ComPtr<IContextMenu> menuObject;
  HMENU menu = nullptr;
  if (FAILED(GetContextMenu(owner, shellFolder_.Get(), static_cast<shell::UINT>(items.size()), items.data(),
                            &menuObject, &menu, shell::CMF_EXPLORE)))
    return;
  const shell::UINT id = shell::GetMenuDefaultItem(menu, 0, 0);
  shell::DestroyMenu(menu);
  if (id != 0xFFFFFFFF && id >= kFirstShellCommand)
    InvokeContextCommand(owner, menuObject.Get(), shell::MAKEINTRESOURCE(id - kFirstShellCommand));
}

void TCtCustomShellList::GoUp(int levels) {
  if (options_.Contains(sloNoBrowse) || levels <= 0) return;
  if (tree_) return tree_->GoUp(levels);
  TCtIdListArray view(folderList_.Get());
  if (view.Count() == 0) return;
  const shell::IdListPtr ancestor(CopyIdList(ShellMalloc(), view.Ancestor(std::min(levels, view.Count()))));
  folder_->SetIdList(ancestor.Get());
}

// ---- commands ----------------------------------------------------------------------------

std::vector<LPCITEMIDLIST> TCtCustomShellList::SelectedIdLists() {
  std::vector<LPCITEMIDLIST> lists;
  for (int i = 0; i < Items()->Count(); ++i) {
    TListItem* item = Items()->Item(i);
    if (TCtShellListData* data = ListData(item); data && item->Selected()) lists.push_back(data->RelativeIdList());
  }
  return lists;
}

HRESULT TCtCustomShellList::CommandOnItems(IShellFolder* folder, const std::vector<LPCITEMIDLIST>& items,
                                           const char* verb) {
  if (!folder || items.empty()) return shell::S_FALSE;
  const win::HWND owner = ShellOwnerWindow();
  shell::ComPtr<IContextMenu> menuObject;
  const HRESULT hr = folder->GetUIObjectOf(owner, static_cast<shell::UINT>(items.size()), items.data(),
                                           shell::IID_IContextMenu, nullptr, menuObject.PutVoid());
  if (FAILED(hr)) return hr;
  return InvokeContextCommand(owner, menuObject.Get(), verb);
}

HRESULT TCtCustomShellList::DoCommandOnSelection(const char* verb) {
  if (SelectedIdLists().empty()) return shell::S_FALSE;
  shell::ComPtr<IContextMenu> menuObject;
  if (HRESULT hr = GetSelectionUIObject(shell::IID_IContextMenu, menuObject.PutVoid()); FAILED(hr)) return hr;
  return InvokeContextCommand(ShellOwnerWindow(), menuObject.Get(), verb);
}

// The folder's own menu comes from its parent; the desktop, which has
// none, offers its background menu.
HRESULT TCtCustomShellList::DoCommandOnFolder(const char* verb) {
  if (!shellFolder_) return shell::E_FAIL;
  TCtIdListArray view(folderList_.Get());
  if (view.Count() == 0) {
    shell::ComPtr<IContextMenu> menuObject;
    const win::HWND owner = ShellOwnerWindow();
    const HRESULT hr = shellFolder_->CreateViewObject(owner, shell::IID_IContextMenu, menuObject.PutVoid());
    return FAILED(hr) ? hr : InvokeContextCommand(owner, menuObject.Get(), verb);
  }
  shell::ComPtr<IShellFolder> parent;
  if (HRESULT hr = BindToShellFolder(view.Ancestor(1), &parent); FAILED(hr)) return hr;
  const shell::IdListPtr last(CopyIdList(ShellMalloc(), view.Item(view.Count() - 1)));
  return CommandOnItems(parent.Get(), {last.Get()}, verb);
}

void TCtCustomShellList::RefreshAfterVerb() {
  if (!IsNetworkPath(FolderPath())) RefreshItems();
}

int TCtCustomShellList::SelectedEffects() {
  const std::vector<LPCITEMIDLIST> selected = SelectedIdLists();
  shell::ULONG attributes = shell::DROPEFFECT_COPY | shell::DROPEFFECT_MOVE | shell::DROPEFFECT_LINK;
  if (!shellFolder_ || selected.empty() ||
      FAILED(shellFolder_->GetAttributesOf(static_cast<shell::UINT>(selected.size()), selected.data(), &attributes)))
    return shell::DROPEFFECT_NONE;
  return static_cast<int>(attributes & 7);
}

void TCtCustomShellList::SelectAll() {
  if (!HandleAllocated()) return;
  Items()->BeginUpdate();
  win::LVITEM all;
  all.state = all.stateMask = win::LVIS_SELECTED;
  win::SendMessage(WindowHandle(), win::LVM_SETITEMSTATE, static_cast<win::WPARAM>(-1),
                   reinterpret_cast<win::LPARAM>(&all));
  Items()->EndUpdate();
}

// ---- keys and the mouse ------------------------------------------------------------------

bool TCtCustomShellList::HandleDefaultKey(TShortCut shortCut) {
  if (IsDefaultKey(dkSelectAll, shortCut)) {
    SelectAll();
  } else if (IsDefaultKey(dkRefresh, shortCut)) {
    RefreshItems();
  } else if (IsDefaultKey(dkCopy, shortCut)) {
    DoCommandOnSelection("copy");
  } else if (IsDefaultKey(dkCut, shortCut)) {
    DoCommandOnSelection("cut");
  } else if (IsDefaultKey(dkPaste, shortCut)) {
    DoCommandOnFolder("paste");
    RefreshAfterVerb();
  } else if (IsDefaultKey(dkRename, shortCut)) {
    if (TListItem* focused = ItemFocused()) focused->EditCaption();
  } else if (IsDeleteKey(shortCut)) {  // Shift+Del deletes as Del does: to the Trash, once asked
    DoCommandOnSelection("delete");
    RefreshAfterVerb();
  } else {
    return false;
  }
  return true;
}

void TCtCustomShellList::KeyDown(uint16_t& key, TShiftState shift) {
  TCtCustomListView::KeyDown(key, shift);
  if (key == 0 || IsEditing() || Designing() || !options_.Contains(sloDefaultKeyHandling)) return;
  const uint16_t pressed = key;
  key = 0;
  if (!HandleDefaultKey(ShellKeyShortCut(pressed, shift))) key = pressed;
}

void TCtCustomShellList::KeyPress(char16_t& key) {
  TCtCustomListView::KeyPress(key);
  if (IsEditing() || !options_.Contains(sloDefaultKeyHandling)) return;
  if (key == kBackspace) {
    key = 0;
    GoUp(1);
  } else if (key == kEnter) {
    key = 0;
    OpenSelection();
  }
}

// The list opens the selection once the window has handled the double
// click, so that the click does not land on the items of the new folder.
void TCtCustomShellList::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCtCustomListView::MouseDown(button, shift, x, y);
  if (button == mbLeft && shift.Contains(ssDouble) && HandleAllocated())
    win::PostMessage(WindowHandle(), kOpenSelectionMessage, 0, 0);
}

// ---- renaming ------------------------------------------------------------------------

// The edit box offers the name as it is edited (with its extension, say).
bool TCtCustomShellList::CanEdit(TListItem* item) {
  TCtShellListData* data = ListData(item);
  if (!data) return TCtCustomListView::CanEdit(item);
  if (!data->CanRename() || !TCtCustomListView::CanEdit(item) || Designing()) return false;
  auto edit = reinterpret_cast<win::HWND>(win::SendMessage(WindowHandle(), win::LVM_GETEDITCONTROL, 0, 0));
  if (edit)
    win::SetWindowText(edit, GetDisplayNameOf(shellFolder_.Get(), data->RelativeIdList(), TCtNameKind::nkForEditing));
  return true;
}

void TCtCustomShellList::EndLabelEdit(TMessage& m) {
  auto& info = *reinterpret_cast<win::NMLVDISPINFO*>(m.LParam);
  m.Result = 0;
  const int index = info.item.iItem;
  TListItem* item = index >= 0 && index < Items()->Count() ? Items()->Item(index) : nullptr;
  if (!ListData(item)) return TCtCustomListView::Dispatch(m);
  if (info.item.pszText) RenameItem(item, TrimmedText(info.item.pszText));
  RunPendingRefresh();
}

// A name the shell refuses (one in use, one the file system cannot hold)
// leaves the old caption.
void TCtCustomShellList::RenameItem(TListItem* item, std::string text) {
  TCtShellListData* data = ListData(item);
  if (OnEdited) OnEdited(this, item, text);
  TScreenCursorScope hourglass;
  ignoreNextChange_ = true;
  shell::IdListPtr renamed;
  const HRESULT hr = shellFolder_->SetNameOf(ShellOwnerWindow(), data->RelativeIdList(), text.c_str(), kRenameFlags,
                                             renamed.Put());
  if (FAILED(hr)) {
    ignoreNextChange_ = false;  // nothing changed that the change thread could tell
    return;
  }
  if (renamed) data->SetRelIdList(renamed.Release());
  item->SetCaption(data->DisplayName());
  SortItems();
}

// ---- context menus ----------------------------------------------------------------------

// Not during the list's own drag: a right-button drag ends with the
// button going up over the list.
void TCtCustomShellList::DoItemContextMenu(TListItem* item, TPoint& p, TPopupMenu*& menu) {
  TCtCustomListView::DoItemContextMenu(item, p, menu);
  if (!options_.Contains(sloContextMenus) || Designing() || dragging_ || SelectedIdLists().empty()) return;
  ShowShellContextMenu(p);
  menu = nullptr;
}

void TCtCustomShellList::ShowShellContextMenu(TPoint clientPoint) {
  const std::vector<LPCITEMIDLIST> selected = SelectedIdLists();
  if (!shellFolder_ || selected.empty()) return;
  const shell::ComPtr<IShellFolder> held = shellFolder_;
  shell::ComPtr<IContextMenu> menuObject;
  HMENU menu = nullptr;
  // Renaming is offered for an item with a path only: the rename
  // command renames the focused item.
  TCtShellListData* focused = ListData(ItemFocused());
  const bool renames = !ReadOnly() && focused && !focused->PathName().empty();
  const shell::UINT flags = renames ? shell::CMF_EXPLORE | shell::CMF_CANRENAME : shell::CMF_EXPLORE;
  if (FAILED(GetContextMenu(ShellOwnerWindow(), held.Get(), static_cast<shell::UINT>(selected.size()),
                            selected.data(), &menuObject, &menu, flags)))
    return;
  menuShown_ = true;
  const shell::UINT id =
      menuTracker_.Track(WindowHandle(), menu, menuObject.Get(), ClientToScreen(clientPoint), modalOperation_);
  // The command runs once the menu is gone, so that the refresh it asks
  // for is not held back as one asked for during the menu.
  RunMenuCommand(menuObject.Get(), id);
  RunPendingRefresh();
}

void TCtCustomShellList::RunMenuCommand(IContextMenu* menuObject, shell::UINT id) {
  if (id == kRenameCommand) {
    if (TListItem* focused = ItemFocused()) focused->EditCaption();
  } else if (id >= kFirstShellCommand) {
    InvokeContextCommand(ShellOwnerWindow(), menuObject, shell::MAKEINTRESOURCE(id - kFirstShellCommand));
    RefreshAfterVerb();
  } else if (id >= 1) {
    DoSendTo(static_cast<int>(id) - 1);
  }
}

// ---- the wheel --------------------------------------------------------------------------

// In list style the columns run sideways: a notch scrolls the horizontal
// bar a line (or a page, when the system scrolls pages per notch).
bool TCtCustomShellList::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  if (ViewStyle() != vsList) return TCtCustomListView::DoMouseWheelDown(shift, mousePos);
  ScrollByWheel(true);
  return true;
}

bool TCtCustomShellList::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  if (ViewStyle() != vsList) return TCtCustomListView::DoMouseWheelUp(shift, mousePos);
  ScrollByWheel(false);
  return true;
}

void TCtCustomShellList::ScrollByWheel(bool down) {
  win::SCROLLINFO bar;
  bar.fMask = win::SIF_RANGE | win::SIF_PAGE;
  if (!HandleAllocated() || !win::GetScrollInfo(WindowHandle(), win::SB_HORZ, &bar)) return;
  if (bar.nMax - bar.nMin + 1 - static_cast<int>(bar.nPage) <= 0) return;
  const bool pages = WheelScrollLines() < 0;
  const win::WPARAM code = pages ? (down ? win::SB_PAGERIGHT : win::SB_PAGELEFT) : (down ? win::SB_LINERIGHT : win::SB_LINELEFT);
  win::SendMessage(WindowHandle(), win::WM_HSCROLL, code, 0);
}

void TCtCustomShellList::DoSendTo(int index) {
  vcl::TStringList* entries = SendToList();
  if (index < 0 || index >= entries->Count()) return;
  shell::ComPtr<IDataObject> data = SelectionDataObject();
  if (data) DropOnSendToEntry(entries->Get(index), data.Get());
}

}  // namespace qelo::ct
