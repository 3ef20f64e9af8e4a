// Folder objects of the namespace: enumerating a folder's items, binding to
// a child folder, comparing, attributes, display names, renaming, detail
// columns, and the objects (context menus, drop targets, data objects) that
// act on items. Items are passed as lists relative to the folder; a folder
// compares and names lists of several items too, level by level.
//
// Text is UTF-8 where it is meant for people; a name "for parsing" carries
// the file system's own bytes, so paths that are not valid UTF-8 survive.
#pragma once

#include <cstdint>

#include "shell/com.h"
#include "shell/idlist.h"
#include "win/window/window.h"

namespace qelo::shell {

using win::DWORD;
using win::HWND;
using win::LPARAM;
using win::UINT;

inline constexpr IID IID_IShellFolder{"IShellFolder"};
inline constexpr IID IID_IShellFolder2{"IShellFolder2"};
inline constexpr IID IID_IEnumIDList{"IEnumIDList"};
inline constexpr IID IID_IShellDetails{"IShellDetails"};

// EnumObjects flags.
constexpr DWORD SHCONTF_FOLDERS = 0x0020;
constexpr DWORD SHCONTF_NONFOLDERS = 0x0040;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x0080;

// Attributes (GetAttributesOf, ParseDisplayName).
constexpr ULONG SFGAO_CANCOPY = 0x00000001;
constexpr ULONG SFGAO_CANMOVE = 0x00000002;
constexpr ULONG SFGAO_CANLINK = 0x00000004;
constexpr ULONG SFGAO_STORAGE = 0x00000008;
constexpr ULONG SFGAO_CANRENAME = 0x00000010;
constexpr ULONG SFGAO_CANDELETE = 0x00000020;
constexpr ULONG SFGAO_HASPROPSHEET = 0x00000040;
constexpr ULONG SFGAO_DROPTARGET = 0x00000100;
constexpr ULONG SFGAO_CAPABILITYMASK = 0x00000177;
constexpr ULONG SFGAO_GHOSTED = 0x00008000;
constexpr ULONG SFGAO_LINK = 0x00010000;
constexpr ULONG SFGAO_SHARE = 0x00020000;
constexpr ULONG SFGAO_READONLY = 0x00040000;
constexpr ULONG SFGAO_HIDDEN = 0x00080000;
constexpr ULONG SFGAO_STREAM = 0x00400000;
constexpr ULONG SFGAO_VALIDATE = 0x01000000;
constexpr ULONG SFGAO_REMOVABLE = 0x02000000;
constexpr ULONG SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr ULONG SFGAO_FOLDER = 0x20000000;
constexpr ULONG SFGAO_FILESYSTEM = 0x40000000;
constexpr ULONG SFGAO_HASSUBFOLDER = 0x80000000;

// Display-name flags.
constexpr DWORD SHGDN_NORMAL = 0x0000;
constexpr DWORD SHGDN_INFOLDER = 0x0001;
constexpr DWORD SHGDN_FOREDITING = 0x1000;
constexpr DWORD SHGDN_FORADDRESSBAR = 0x4000;
constexpr DWORD SHGDN_FORPARSING = 0x8000;

// A returned name: STRRET_WSTR hands over text allocated with
// CoTaskMemAlloc (UTF-8 here, the receiver frees it), STRRET_OFFSET names
// text inside the item, STRRET_CSTR holds it inline (cut to 259 bytes).
constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1;
constexpr UINT STRRET_CSTR = 2;
constexpr std::size_t kStrRetInlineBytes = 260;
struct STRRET {
  UINT uType = STRRET_CSTR;
  union {
    char* pOleStr;
    UINT uOffset;
    char cStr[kStrRetInlineBytes];
  };
  STRRET() : cStr{} {}
};

// Detail columns.
constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;
struct SHELLDETAILS {
  int fmt = LVCFMT_LEFT;
  int cxChar = 0;  // width in average characters
  STRRET str;
};
constexpr DWORD SHCOLSTATE_TYPE_STR = 0x1;
constexpr DWORD SHCOLSTATE_TYPE_INT = 0x2;
constexpr DWORD SHCOLSTATE_TYPE_DATE = 0x3;
constexpr DWORD SHCOLSTATE_ONBYDEFAULT = 0x10;

// CompareIDs: the low 16 bits of lParam name the column (0 name, 1 size,
// 2 type, 3 modified); the result's code, read as a signed 16-bit number,
// is negative, 0 or positive.
constexpr HRESULT MakeCompareResult(int order) {
  return static_cast<HRESULT>(static_cast<uint16_t>(static_cast<int16_t>(order < 0 ? -1 : order > 0 ? 1 : 0)));
}
constexpr int CompareResultOrder(HRESULT result) { return static_cast<int16_t>(result & 0xFFFF); }

class IEnumIDList : public IUnknown {
 public:
  // Up to `count` items, each a new one-item list for the caller; S_OK when
  // all were delivered, S_FALSE when fewer (the end).
  virtual HRESULT Next(ULONG count, LPITEMIDLIST* items, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumIDList** copy) = 0;

 protected:
  ~IEnumIDList() = default;
};

class IShellFolder : public IUnknown {
 public:
  // A path (the desktop and Computer take absolute ones; a folder takes
  // names relative to itself, "a/b" for several levels). Every part must
  // exist. `attributes` (optional) asks for attributes of the result.
  virtual HRESULT ParseDisplayName(HWND owner, void* bindContext, const char* name, ULONG* eaten,
                                   LPITEMIDLIST* list, ULONG* attributes) = 0;
  virtual HRESULT EnumObjects(HWND owner, DWORD flags, IEnumIDList** items) = 0;
  virtual HRESULT BindToObject(LPCITEMIDLIST list, void* bindContext, REFIID iid, void** object) = 0;
  virtual HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST a, LPCITEMIDLIST b) = 0;
  // IDropTarget and IContextMenu of the folder itself (its background).
  virtual HRESULT CreateViewObject(HWND owner, REFIID iid, void** object) = 0;
  // On entry the attributes asked for; on return those that every item has.
  // With no items and SFGAO_VALIDATE, cached volume facts are dropped.
  virtual HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST const* items, ULONG* attributes) = 0;
  // IContextMenu and IDataObject for the items, IDropTarget for one item.
  virtual HRESULT GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST const* items, REFIID iid,
                                UINT* reserved, void** object) = 0;
  virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST item, DWORD flags, STRRET* name) = 0;
  // Renames one item; never replaces an item that has the new name
  // (HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS)). With an owner window a
  // failure is also shown to the user.
  virtual HRESULT SetNameOf(HWND owner, LPCITEMIDLIST item, const char* name, DWORD flags,
                            LPITEMIDLIST* newItem) = 0;

 protected:
  ~IShellFolder() = default;
};

class IShellFolder2 : public IShellFolder {
 public:
  virtual HRESULT GetDefaultColumnState(UINT column, DWORD* state) = 0;
  // With a null item, the column's heading.
  virtual HRESULT GetDetailsOf(LPCITEMIDLIST item, UINT column, SHELLDETAILS* details) = 0;

 protected:
  ~IShellFolder2() = default;
};

class IShellDetails : public IUnknown {
 public:
  virtual HRESULT GetDetailsOf(LPCITEMIDLIST item, UINT column, SHELLDETAILS* details) = 0;
  virtual HRESULT ColumnClick(UINT column) = 0;

 protected:
  ~IShellDetails() = default;
};

}  // namespace qelo::shell
