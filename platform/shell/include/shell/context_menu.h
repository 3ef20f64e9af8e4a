// Context menus of the namespace's items and of a folder's background: the
// IContextMenu objects that folders hand out (GetUIObjectOf,
// CreateViewObject), their commands and verbs:
//
//   offset  verb        what it does
//   0       open        opens each item with the desktop's default handler
//   1       explore     the same, offered first for folders (CMF_EXPLORE)
//   10      cut         puts the items on the clipboard to be moved
//   11      copy        puts the items on the clipboard to be copied
//   12      paste       copies (or, after a cut, moves) the clipboard's items
//                       into the folder, never replacing anything
//   17      delete      after the user confirms, moves the items to the
//                       Trash; an item the Trash cannot take is deleted
//                       only after a second confirmation
//   18      rename      left to the view (it edits the name in place)
//   20      newfolder   makes a folder with a free name ("New Folder")
//
// Item menus also carry a "Send To" sub-menu holding one grayed
// placeholder item: its owner fills it (these menus offer no
// IContextMenu2).
#pragma once

#include <cstdint>

#include "shell/menu_handles.h"
#include "shell/com.h"

namespace qelo::shell {

inline constexpr IID IID_IContextMenu{"IContextMenu"};
inline constexpr IID IID_IContextMenu2{"IContextMenu2"};

constexpr UINT CMF_NORMAL = 0x00;
constexpr UINT CMF_DEFAULTONLY = 0x01;
constexpr UINT CMF_VERBSONLY = 0x02;
constexpr UINT CMF_EXPLORE = 0x04;
constexpr UINT CMF_NOVERBS = 0x08;
constexpr UINT CMF_CANRENAME = 0x10;

constexpr UINT GCS_VERBA = 0x0;
constexpr UINT GCS_HELPTEXTA = 0x1;
constexpr UINT GCS_VALIDATEA = 0x2;

constexpr UINT kVerbOpen = 0, kVerbExplore = 1, kVerbCut = 10, kVerbCopy = 11, kVerbPaste = 12, kVerbDelete = 17,
               kVerbRename = 18, kVerbNewFolder = 20;

// A command named by a small number (its offset) instead of a verb text.
inline const char* MAKEINTRESOURCE(UINT_PTR offset) { return reinterpret_cast<const char*>(offset); }
inline bool IS_INTRESOURCE(const char* verb) { return (reinterpret_cast<uintptr_t>(verb) >> 16) == 0; }

struct CMINVOKECOMMANDINFO {
  uint32_t cbSize = 36;
  uint32_t fMask = 0;
  HWND hwnd = nullptr;
  const char* lpVerb = nullptr;  // a verb, or an offset made by MAKEINTRESOURCE
  const char* lpParameters = nullptr;
  const char* lpDirectory = nullptr;
  int nShow = win::SW_SHOWNORMAL;
  uint32_t dwHotKey = 0;
  void* hIcon = nullptr;
};

class IContextMenu : public IUnknown {
 public:
  // Adds the commands at `index`, ids from `firstId` (none above `lastId`);
  // the result's code is the largest offset used plus one.
  virtual HRESULT QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) = 0;
  virtual HRESULT InvokeCommand(CMINVOKECOMMANDINFO* info) = 0;
  // The verb or help text of a command by offset, into `text` of `size`
  // bytes (always terminated).
  virtual HRESULT GetCommandString(UINT_PTR offset, UINT type, UINT* reserved, char* text, UINT size) = 0;

 protected:
  ~IContextMenu() = default;
};

class IContextMenu2 : public IContextMenu {
 public:
  virtual HRESULT HandleMenuMsg(UINT message, win::WPARAM w, win::LPARAM l) = 0;

 protected:
  ~IContextMenu2() = default;
};

}  // namespace qelo::shell
