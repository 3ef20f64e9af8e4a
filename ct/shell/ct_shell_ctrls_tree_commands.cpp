// What the user does to the shell tree's items: renaming in place, new
// folders, the default keys, the shell's context menu and Send To.
#include "ct_shell_ctrls_tree.h"

#include "ct_shell_ctrls_keys.h"
#include "ct_shell_ctrls_menus.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_utils.h"
#include "shell/errors.h"
#include "vcl/controls/forms.h"

namespace qelo::ct {

using namespace vcl;

namespace {

constexpr shell::UINT kRenameCommand = kFirstShellCommand + shell::kVerbRename;
constexpr shell::DWORD kRenameFlags = 0x20;

// Blanks and control characters at both ends go: the user did not mean them.
std::string Trimmed(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

TShortCut ModifiersOf(TShiftState shift) {
  TShortCut modifiers = 0;
  if (shift.Contains(ssShift)) modifiers |= scShift;
  if (shift.Contains(ssCtrl)) modifiers |= scCtrl;
  if (shift.Contains(ssAlt)) modifiers |= scAlt;
  return modifiers;
}

}  // namespace

// ---- renaming ------------------------------------------------------------------------

// The edit box offers the name as it is edited (with its extension, say),
// not the node's text.
bool TCtCustomShellTree::CanEdit(TTreeNode* node) {
  TCtShellTreeData* data = TreeData(node);
  if (!data) return TCtCustomTreeView::CanEdit(node);
  if (!data->CanRename() || !TCtCustomTreeView::CanEdit(node) || Designing()) return false;
  auto edit = reinterpret_cast<win::HWND>(win::SendMessage(WindowHandle(), win::TVM_GETEDITCONTROL, 0, 0));
  if (edit)
    win::SetWindowText(edit,
                       GetDisplayNameOf(data->ParentShellFolder(), data->RelativeIdList(), TCtNameKind::nkForEditing));
  return true;
}

void TCtCustomShellTree::ResetBelow(TTreeNode* node) {
  for (int i = 0; i < node->Count(); ++i) {
    TTreeNode* child = node->Item(i);
    if (TCtShellTreeData* data = TreeData(child)) data->ResetAbsolute();
    ResetBelow(child);
  }
}

// A rename the shell refuses (a name in use, a name the file system cannot
// hold) leaves the old label: the node's text is not changed.
void TCtCustomShellTree::Edit(TTreeNode* node, std::string& text) {
  text = Trimmed(text);
  TCtShellTreeData* data = TreeData(node);
  if (!data) return TCtCustomTreeView::Edit(node, text);
  if (OnEdited) OnEdited(this, node, text);
  IShellFolder* parentFolder = data->ParentShellFolder();
  // The name as it was: nothing to rename (the shell would refuse the name
  // as taken).
  if (parentFolder && text == GetDisplayNameOf(parentFolder, data->RelativeIdList(), TCtNameKind::nkForEditing)) return;
  {
    TScreenCursorScope hourglass;
    CountScope quiet(suppress_);
    ignoreNextChange_ = true;
    IShellFolder* parent = data->ParentShellFolder();
    shell::IdListPtr renamed;
    const HRESULT hr = parent ? parent->SetNameOf(ShellOwnerWindow(), data->RelativeIdList(), text.c_str(),
                                                  kRenameFlags, renamed.Put())
                              : shell::E_FAIL;
    if (SUCCEEDED(hr)) {
      if (renamed) {
        ResetBelow(node);
        node->SetText(GetDisplayNameOf(parent, renamed.Get(), TCtNameKind::nkInFolder));
        data->ReplaceRelIdList(renamed.Get());
        // The selected folder is the renamed one or lies below it.
        if (TCtShellTreeData* selected = TreeData(Selected())) selectedFolder_->SetIdList(selected->AbsoluteIdList());
        if (shellList_) shellList_->TreeFolderChanged(*selectedFolder_);
      } else {
        node->SetText(GetDisplayNameOf(parent, data->RelativeIdList(), TCtNameKind::nkInFolder));
      }
      SortChildren(node->Parent());
    } else {
      ignoreNextChange_ = false;  // nothing changed that the change thread could tell
    }
  }
  if (refreshPending_) {
    refreshPending_ = false;
    RefreshNodes();
  }
}

// ---- new folders -------------------------------------------------------------------------

bool TCtCustomShellTree::EditChildNamed(TTreeNode* parent, const std::string& name) {
  for (int i = 0; i < parent->Count(); ++i) {
    if (parent->Item(i)->Text() != name) continue;
    parent->Item(i)->EditText();
    return true;
  }
  return false;
}

// The namespace reads the file system as it is, so the new folder is
// there at once: the tree refreshes without waiting, and the change
// message the new folder brings is not another refresh.
bool TCtCustomShellTree::CreateNewFolder() {
  std::string name;
  if (!CreateFolderIn(SelectedPathName(), &name)) return false;
  ignoreNextChange_ = true;
  RefreshNodes();
  if (TTreeNode* selected = Selected()) {
    FillNodeIfNeeded(selected);
    FinishPendingFills();
    selected->Expand(false);
    EditChildNamed(selected, name);
  }
  return true;
}

// ---- commands and keys ---------------------------------------------------------------------

HRESULT TCtCustomShellTree::DoCommandForNode(TTreeNode* node, const char* verb) {
  TCtShellTreeData* data = TreeData(node);
  if (!data || data->IsRoot()) return shell::S_FALSE;
  IShellFolder* folder = data->ParentShellFolder();
  if (!folder) return shell::E_FAIL;
  const win::HWND owner = ShellOwnerWindow();
  LPCITEMIDLIST item = data->RelativeIdList();
  shell::ComPtr<IContextMenu> menuObject;
  const HRESULT hr = folder->GetUIObjectOf(owner, 1, &item, shell::IID_IContextMenu, nullptr, menuObject.PutVoid());
  if (FAILED(hr)) return hr;
  return InvokeContextCommand(owner, menuObject.Get(), verb);
}

bool TCtCustomShellTree::HandleDefaultKey(TShortCut shortCut) {
  TTreeNode* node = Selected();
  if (IsDefaultKey(dkRename, shortCut)) {
    if (node) node->EditText();
  } else if (IsDefaultKey(dkRefresh, shortCut)) {
    RefreshNodes();
  } else if (IsDefaultKey(dkCut, shortCut)) {
    DoCommandForNode(node, "cut");
  } else if (IsDefaultKey(dkCopy, shortCut)) {
    DoCommandForNode(node, "copy");
  } else if (IsDefaultKey(dkPaste, shortCut)) {
    DoCommandForNode(node, "paste");
    RefreshNodes();
  } else if (IsDeleteKey(shortCut)) {  // Shift+Del deletes as Del does: to the Trash, once asked
    DoCommandForNode(node, "delete");
    RefreshNodes();
  } else {
    return false;
  }
  return true;
}

void TCtCustomShellTree::KeyDown(uint16_t& key, TShiftState shift) {
  TCtCustomTreeView::KeyDown(key, shift);
  if (key == 0 || IsEditing() || Designing() || !options_.Contains(stoDefaultKeyHandling)) return;
  const uint16_t pressed = key;
  key = 0;
  if (!HandleDefaultKey(ShortCut(pressed, ModifiersOf(shift)))) key = pressed;
}

// ---- context menus --------------------------------------------------------------------------

void TCtCustomShellTree::DoNodeContextMenu(TTreeNode* node, TPoint& p, TPopupMenu*& menu) {
  TCtCustomTreeView::DoNodeContextMenu(node, p, menu);
  if (!options_.Contains(stoContextMenus) || Designing() || !node) return;
  ShowShellContextMenu(node, p);
  menu = nullptr;
}

void TCtCustomShellTree::ShowShellContextMenu(TTreeNode* node, TPoint clientPoint) {
  TCtShellTreeData* data = TreeData(node);
  if (!data || shell::ILIsEmpty(data->AbsoluteIdList())) return;
  IShellFolder* folder = data->ParentShellFolder();
  if (!folder) return;
  const shell::ComPtr<IShellFolder> held = shell::ComPtr<IShellFolder>::Share(folder);
  LPCITEMIDLIST item = data->RelativeIdList();
  shell::ComPtr<IContextMenu> menuObject;
  HMENU menu = nullptr;
  const shell::UINT flags = ReadOnly() ? shell::CMF_EXPLORE : shell::CMF_EXPLORE | shell::CMF_CANRENAME;
  if (FAILED(GetContextMenu(ShellOwnerWindow(), folder, 1, &item, &menuObject, &menu, flags))) return;
  const shell::UINT id =
      menuTracker_.Track(WindowHandle(), menu, menuObject.Get(), ClientToScreen(clientPoint), modalOperation_);
  // The command runs once the menu is gone, so that the refresh it asks
  // for is not held back as one asked for during the menu.
  RunMenuCommand(node, menuObject.Get(), id);
  if (refreshPending_) {
    refreshPending_ = false;
    RefreshNodes();
  }
}

void TCtCustomShellTree::RunMenuCommand(TTreeNode* node, IContextMenu* menuObject, shell::UINT id) {
  if (id == kRenameCommand) {
    node->EditText();
  } else if (id >= kFirstShellCommand) {
    InvokeContextCommand(ShellOwnerWindow(), menuObject, shell::MAKEINTRESOURCE(id - kFirstShellCommand));
    RefreshNodes();
  } else if (id >= 1) {
    DoSendTo(node, static_cast<int>(id) - 1);
  }
}

void TCtCustomShellTree::DoSendTo(TTreeNode* node, int index) {
  vcl::TStringList* entries = SendToList();
  if (index < 0 || index >= entries->Count()) return;
  shell::ComPtr<IDataObject> data = NodeDataObject(node);
  if (!data) return;
  DropOnSendToEntry(entries->Get(index), data.Get());
}

}  // namespace qelo::ct
