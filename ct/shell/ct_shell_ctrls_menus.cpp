#include "ct_shell_ctrls_menus.h"

#include <dirent.h>
#include <sys/stat.h>

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_utils.h"
#include "shell/drag_drop.h"
#include "shell/errors.h"
#include "shell/special_folders.h"
#include "vcl/controls/forms.h"
#include "vcl/dialogs/message_dlg.h"

namespace qelo::ct {
namespace {

constexpr const char* kNewFolderName = "New Folder";
constexpr const char* kNewFolderNumbered = " (%d)";
constexpr const char* kShortFolderName = "fldr";
constexpr const char* kUnableToCreateFolder = "Unable to create the folder '%2'\n\n%1";
constexpr int kNamesPerScheme = 50;
constexpr int kIconLeft = 8, kTextLeft = 32, kItemTop = 2;

std::string WithoutExtension(const std::string& name) {
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// The Send To entry of an owner-drawn item id (1 up to the count).
bool EntryOf(win::UINT id, std::string* name, int* icon) {
  vcl::TStringList* list = SendToList();
  if (id < 1 || static_cast<int>(id) > list->Count()) return false;
  *name = list->Get(static_cast<int>(id) - 1);
  *icon = static_cast<int>(reinterpret_cast<intptr_t>(list->GetObject(static_cast<int>(id) - 1)));
  return true;
}

bool IsSendToPlaceholder(HMENU popup) {
  return shell::GetMenuItemCount(popup) == 1 &&
         (shell::GetMenuState(popup, 0, shell::MF_BYPOSITION) & shell::MF_GRAYED) == shell::MF_GRAYED &&
         !shell::GetSubMenu(popup, 0);
}

// The Send To list read afresh from the folder.
void ReadSendToFolder() {
  vcl::TStringList* list = SendToList();
  list->Clear();
  const std::string folder = SpecialFolderPath(nullptr, shell::CSIDL_SENDTO);
  DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    struct stat st;
    if (name.empty() || name[0] == '.' || lstat((folder + "/" + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
      continue;
    shell::IdListPtr item;
    int icon = -1;
    if (SUCCEEDED(PathToIdList(folder + "/" + name, item.Put())))
      icon = GetSystemIconIndex(item.Get(), shell::SHGFI_SMALLICON);
    list->AddObject(name, reinterpret_cast<vcl::TObject*>(static_cast<intptr_t>(icon)));
  }
  closedir(dir);
}

win::HFONT MenuFont() {
  win::NONCLIENTMETRICS metrics;
  win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  return win::CreateFontIndirect(&metrics.lfMenuFont);
}

void MeasureEntry(win::MEASUREITEMSTRUCT* measure) {
  std::string name;
  int icon = -1;
  if (!EntryOf(measure->itemID, &name, &icon)) return;
  win::HDC dc = win::GetDC(nullptr);
  win::HFONT font = MenuFont();
  win::HGDIOBJ old = win::SelectObject(dc, font);
  win::SIZE size;
  win::GetTextExtentPoint32(dc, WithoutExtension(name), &size);
  win::SelectObject(dc, old);
  win::DeleteObject(font);
  win::ReleaseDC(nullptr, dc);
  measure->itemWidth = static_cast<win::UINT>(size.cx + kTextLeft);
  measure->itemHeight = static_cast<win::UINT>(win::GetSystemMetrics(win::SM_CYMENU) + 2);
}

void DrawEntry(win::DRAWITEMSTRUCT* draw, win::HIMAGELIST images) {
  const bool selected = (draw->itemState & win::ODS_SELECTED) != 0;
  win::FillRect(draw->hDC, &draw->rcItem, win::GetSysColorBrush(selected ? win::COLOR_HIGHLIGHT : win::COLOR_MENU));
  std::string name;
  int icon = -1;
  if (static_cast<int>(draw->itemID) < 0 || !EntryOf(draw->itemID, &name, &icon)) return;
  win::HFONT font = MenuFont();
  win::HGDIOBJ old = win::SelectObject(draw->hDC, font);
  win::SetBkMode(draw->hDC, win::TRANSPARENT);
  win::SetTextColor(draw->hDC, win::GetSysColor(selected ? win::COLOR_HIGHLIGHTTEXT : win::COLOR_MENUTEXT));
  win::RECT text = draw->rcItem;
  text.left += kTextLeft;
  text.top += kItemTop;
  win::DrawText(draw->hDC, WithoutExtension(name), &text, win::DT_SINGLELINE | win::DT_NOPREFIX);
  win::SelectObject(draw->hDC, old);
  win::DeleteObject(font);
  if (icon >= 0 && images)
    win::ImageList_Draw(images, icon, draw->hDC, draw->rcItem.left + kIconLeft, draw->rcItem.top + kItemTop,
                        win::ILD_TRANSPARENT);
}

bool HoldsSendToEntries(HMENU menu) {
  const int count = shell::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const win::UINT id = shell::GetMenuItemID(menu, i);
    if (id < 1 || id >= kFirstShellCommand) return false;
  }
  return count > 0;
}

// A typed letter among the entries' first letters, from after the
// highlighted entry round to it.
win::LRESULT EntryForLetter(HMENU menu, char16_t typed) {
  if (!HoldsSendToEntries(menu)) return shell::MakeMenuCharResult(0, shell::MNC_IGNORE);
  const int count = shell::GetMenuItemCount(menu);
  int highlighted = -1;
  for (int i = 0; i < count; ++i)
    if (shell::GetMenuState(menu, static_cast<win::UINT>(i), shell::MF_BYPOSITION) & shell::MF_HILITE) highlighted = i;
  const int letter = typed < 0x80 ? std::toupper(static_cast<int>(typed)) : static_cast<int>(typed);
  int first = -1, matches = 0;
  for (int step = 1; step <= count; ++step) {
    const int i = (highlighted + step + count) % count;
    std::string name;
    int icon = -1;
    if (!EntryOf(shell::GetMenuItemID(menu, i), &name, &icon) || name.empty()) continue;
    if (std::toupper(static_cast<unsigned char>(name[0])) != letter) continue;
    if (first < 0) first = i;
    ++matches;
  }
  if (first < 0) return shell::MakeMenuCharResult(0, shell::MNC_CLOSE);
  return shell::MakeMenuCharResult(first, matches == 1 ? shell::MNC_EXECUTE : shell::MNC_SELECT);
}

std::string HintFor(IContextMenu* menuObject, win::WPARAM w) {
  const win::UINT id = win::LOWORD(w), flags = win::HIWORD(w);
  if (id < kFirstShellCommand || (flags & (shell::MF_POPUP | shell::MF_SYSMENU)) || flags == 0xFFFF) return {};
  char text[260] = {};
  if (FAILED(menuObject->GetCommandString(id - kFirstShellCommand, shell::GCS_HELPTEXTA, nullptr, text, sizeof text)))
    return {};
  return text;
}

void ShowCreateFolderFailure(uint32_t error, const std::string& name) {
  vcl::MessageDlg(FormatStrPos(kUnableToCreateFolder, {shell::SystemErrorText(error), name}), vcl::mtWarning,
                  {vcl::mbOK});
}

}  // namespace

win::HWND ShellOwnerWindow(vcl::TControl* control) {
  if (!control) return nullptr;
  vcl::TControl* top = control;
  while (top->Parent()) top = top->Parent();
  auto* form = dynamic_cast<vcl::TCustomForm*>(top);
  return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

HRESULT GetContextMenu(win::HWND owner, shell::IShellFolder* folder, shell::UINT count,
                       shell::LPCITEMIDLIST const* items, shell::ComPtr<IContextMenu>* menuObject, HMENU* menu,
                       shell::UINT flags, shell::UINT firstId) {
  *menu = nullptr;
  HRESULT hr = folder->GetUIObjectOf(owner, count, items, shell::IID_IContextMenu, nullptr, menuObject->PutVoid());
  if (FAILED(hr)) return hr;
  *menu = shell::CreatePopupMenu();
  hr = (*menuObject)->QueryContextMenu(*menu, 0, firstId, kLastShellCommand, flags);
  if (FAILED(hr)) {
    menuObject->Reset();
    shell::DestroyMenu(*menu);
    *menu = nullptr;
    throw vcl::Exception(shell::SystemErrorText(hr));
  }
  return hr;
}

int FindVerbCommand(IContextMenu* menuObject, const std::string& verb) {
  HMENU scratch = shell::CreatePopupMenu();
  int found = -1;
  if (SUCCEEDED(menuObject->QueryContextMenu(scratch, 0, kFirstShellCommand, kLastShellCommand, shell::CMF_EXPLORE))) {
    for (int i = 0; i < shell::GetMenuItemCount(scratch) && found < 0; ++i) {
      const win::UINT id = shell::GetMenuItemID(scratch, i);
      if (id == 0xFFFFFFFF || id < kFirstShellCommand) continue;
      char text[260] = {};
      if (SUCCEEDED(menuObject->GetCommandString(id - kFirstShellCommand, shell::GCS_VERBA, nullptr, text, sizeof text)) &&
          strcasecmp(text, verb.c_str()) == 0)
        found = static_cast<int>(id - kFirstShellCommand);
    }
  }
  shell::DestroyMenu(scratch);
  return found;
}

HRESULT InvokeContextCommand(win::HWND owner, IContextMenu* menuObject, const char* command) {
  // A null command is offset 0 (MAKEINTRESOURCE(0)), the first command.
  if (!menuObject) return shell::E_INVALIDARG;
  shell::UINT_PTR offset = reinterpret_cast<shell::UINT_PTR>(command);
  if (!shell::IS_INTRESOURCE(command)) {
    const int found = FindVerbCommand(menuObject, command);
    if (found < 0) return shell::E_FAIL;  // the menu does not carry the verb: nothing is run
    offset = static_cast<shell::UINT_PTR>(found);
  }
  shell::CMINVOKECOMMANDINFO info;
  info.hwnd = owner;
  info.lpVerb = shell::MAKEINTRESOURCE(offset);
  info.nShow = win::SW_SHOWNORMAL;
  return menuObject->InvokeCommand(&info);
}

void FillSendToMenu(HMENU popup) {
  if (!IsSendToPlaceholder(popup)) return;
  shell::DeleteMenu(popup, 0, shell::MF_BYPOSITION);
  ReadSendToFolder();
  vcl::TStringList* list = SendToList();
  for (int i = 0; i < list->Count(); ++i) {
    shell::MENUITEMINFO item;
    item.fMask = shell::MIIM_ID | shell::MIIM_FTYPE | shell::MIIM_STRING;
    item.fType = shell::MFT_OWNERDRAW;
    item.wID = static_cast<win::UINT>(i + 1);
    item.text = WithoutExtension(list->Get(i));
    shell::InsertMenuItem(popup, static_cast<win::UINT>(i), 1, &item);
  }
}

shell::UINT TCtShellMenuTracker::Track(win::HWND owner, HMENU menu, IContextMenu* menuObject, vcl::TPoint screen,
                                       bool& modal) {
  shell::UINT id = 0;
  {
    vcl::TFlagScope modalScope(modal);
    current_ = shell::ComPtr<IContextMenu>::Share(menuObject);
    try {
      id = shell::TrackPopupMenu(menu, shell::TPM_RETURNCMD | shell::TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner,
                                 nullptr);
    } catch (...) {
      current_.Reset();
      shell::DestroyMenu(menu);
      throw;
    }
    current_.Reset();
  }
  shell::DestroyMenu(menu);
  return id;
}

bool TCtShellMenuTracker::IsMenuMessage(win::UINT message) {
  return message == shell::WM_INITMENUPOPUP || message == win::WM_DRAWITEM || message == win::WM_MEASUREITEM ||
         message == shell::WM_MENUCHAR || message == shell::WM_MENUSELECT;
}

void TCtShellMenuTracker::PassMenuMessage(vcl::TMessage& m,
                                          const std::function<void(const std::string&)>& onPopupHint) {
  if (!current_ || !IsMenuMessage(m.Msg)) return;
  TCtShellMenuSite site;
  site.menuObject = current_.Get();
  site.smallImages = GetSystemImageList(TCtImageListSize::ilsSmall);
  site.onPopupHint = onPopupHint;
  win::LRESULT result = 0;
  if (HandleShellMenuMessage(site, m.Msg, m.WParam, m.LParam, &result)) m.Result = result;
}

bool HandleShellMenuMessage(const TCtShellMenuSite& site, win::UINT message, win::WPARAM w, win::LPARAM l,
                            win::LRESULT* result) {
  shell::ComPtr<shell::IContextMenu2> menu2;
  if (site.menuObject) site.menuObject->QueryInterface(shell::IID_IContextMenu2, menu2.PutVoid());
  try {
    switch (message) {
      case shell::WM_INITMENUPOPUP:
        if (menu2) menu2->HandleMenuMsg(message, w, l);
        else FillSendToMenu(reinterpret_cast<HMENU>(w));
        *result = 0;
        return true;
      case win::WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<win::MEASUREITEMSTRUCT*>(l);
        if (!measure || measure->CtlType != shell::ODT_MENU) return false;
        if (menu2) menu2->HandleMenuMsg(message, w, l);
        else if (measure->itemID < kFirstShellCommand) MeasureEntry(measure);
        *result = 1;
        return true;
      }
      case win::WM_DRAWITEM: {
        auto* draw = reinterpret_cast<win::DRAWITEMSTRUCT*>(l);
        if (!draw || draw->CtlType != shell::ODT_MENU) return false;
        if (menu2) menu2->HandleMenuMsg(message, w, l);
        else if (draw->itemID < kFirstShellCommand || static_cast<int>(draw->itemID) < 0) DrawEntry(draw, site.smallImages);
        *result = 1;
        return true;
      }
      case shell::WM_MENUCHAR:
        *result = 0;
        if (menu2) menu2->HandleMenuMsg(message, w, l);
        else if (win::HIWORD(w) & shell::MF_POPUP) *result = EntryForLetter(reinterpret_cast<HMENU>(l), win::LOWORD(w));
        return true;
      case shell::WM_MENUSELECT:
        if (site.onPopupHint) site.onPopupHint(site.menuObject ? HintFor(site.menuObject, w) : std::string());
        *result = 0;
        return true;
      default:
        return false;
    }
  } catch (const std::exception&) {
    *result = 0;  // a failing menu message leaves the menu as it is
    return true;
  }
}

void DropOnSendToEntry(const std::string& name, shell::IDataObject* data) {
  shell::IdListPtr sendTo;
  shell::ComPtr<shell::IShellFolder> folder;
  HRESULT hr = GetSpecialFolderIdList(nullptr, shell::CSIDL_SENDTO, sendTo.Put());
  if (SUCCEEDED(hr)) hr = BindToShellFolder(sendTo.Get(), &folder);
  shell::IdListPtr entry;
  if (SUCCEEDED(hr)) hr = folder->ParseDisplayName(nullptr, nullptr, name.c_str(), nullptr, entry.Put(), nullptr);
  shell::ComPtr<shell::IDropTarget> target;
  shell::LPCITEMIDLIST one = entry.Get();
  if (SUCCEEDED(hr)) hr = folder->GetUIObjectOf(nullptr, 1, &one, shell::IID_IDropTarget, nullptr, target.PutVoid());
  if (FAILED(hr)) throw vcl::Exception("Cannot send to \"" + name + "\": " + shell::SystemErrorText(hr));
  uint32_t effect = shell::DROPEFFECT_COPY;
  if (FAILED(hr = target->DragEnter(data, win::MK_LBUTTON, {0, 0}, &effect)))
    throw vcl::Exception(shell::SystemErrorText(hr));
  effect = shell::DROPEFFECT_COPY;
  if (FAILED(hr = target->DragOver(win::MK_LBUTTON, {0, 0}, &effect))) throw vcl::Exception(shell::SystemErrorText(hr));
  vcl::TCursor before = vcl::Screen()->Cursor();
  vcl::Screen()->SetCursor(vcl::crHourGlass);
  effect = shell::DROPEFFECT_COPY;
  hr = target->Drop(data, win::MK_LBUTTON, {0, 0}, &effect);
  vcl::Screen()->SetCursor(before);
  if (FAILED(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
}

int CreateFolderIn(const std::string& path, std::string* name) {
  name->clear();
  if (path.empty()) {
    ShowCreateFolderFailure(shell::ERROR_PATH_NOT_FOUND, kNewFolderName);
    return 0;
  }
  const std::string folder = EnsureTrailingChar(path, '/');
  auto tryName = [&](const std::string& candidate, bool* stop) {
    if (mkdir((folder + candidate).c_str(), 0777) == 0) {
      *name = candidate;
      return true;
    }
    if (errno != EEXIST) {
      ShowCreateFolderFailure(shell::ErrorFromErrno(errno), candidate);
      *stop = true;
    }
    return false;
  };
  bool stop = false;
  const std::string schemes[] = {kNewFolderName, kShortFolderName};
  for (int scheme = 0; scheme < 2 && !stop; ++scheme) {
    for (int n = 1; n <= kNamesPerScheme && !stop; ++n) {
      std::string candidate = schemes[scheme];
      if (n > 1) {
        char number[16];
        std::snprintf(number, sizeof number, scheme == 0 ? kNewFolderNumbered : "%d", n);
        candidate += number;
      }
      if (tryName(candidate, &stop)) return 1;
    }
  }
  if (!stop) ShowCreateFolderFailure(shell::ERROR_ALREADY_EXISTS, kNewFolderName);
  return 0;
}

void WaitWithHourglass(unsigned ms) {
  vcl::TCursor before = vcl::Screen()->Cursor();
  vcl::Screen()->SetCursor(vcl::crHourGlass);
  const win::DWORD end = win::GetTickCount() + ms;
  for (win::DWORD now = win::GetTickCount(); static_cast<int32_t>(end - now) > 0; now = win::GetTickCount()) {
    win::MsgWaitForMultipleObjects(0, nullptr, 0, end - now, win::QS_ALLINPUT);
    vcl::Application()->ProcessMessages();
  }
  vcl::Screen()->SetCursor(before);
}

}  // namespace qelo::ct
