// Data objects as OLE describes them: formats (FORMATETC), storage media
// (STGMEDIUM, global memory only), the IDataObject and IEnumFORMATETC
// interfaces, registered clipboard formats, and the clipboard that holds a
// data object for cut, copy and paste between the program's windows.
#pragma once

#include <cstdint>
#include <string>

#include "shell/com.h"
#include "shell/global_memory.h"

namespace qelo::shell {

using CLIPFORMAT = uint16_t;

constexpr CLIPFORMAT CF_TEXT = 1;
constexpr CLIPFORMAT CF_UNICODETEXT = 13;
constexpr CLIPFORMAT CF_HDROP = 15;

// The same name (without regard to case) gives the same number, from
// 0xC000 up; 0 for an empty name.
uint32_t RegisterClipboardFormat(const std::string& name);
// The name of a registered format; empty for others.
std::string GetClipboardFormatName(uint32_t format);

// Formats the shell itself uses.
inline constexpr const char* CFSTR_SHELLIDLIST = "Shell IDList Array";
inline constexpr const char* CFSTR_PREFERREDDROPEFFECT = "Preferred DropEffect";

constexpr uint32_t DVASPECT_CONTENT = 1;
constexpr uint32_t TYMED_NULL = 0;
constexpr uint32_t TYMED_HGLOBAL = 1;
constexpr uint32_t TYMED_FILE = 2;
constexpr uint32_t TYMED_ISTREAM = 4;
constexpr uint32_t TYMED_ISTORAGE = 8;
constexpr uint32_t DATADIR_GET = 1;
constexpr uint32_t DATADIR_SET = 2;

constexpr HRESULT DV_E_FORMATETC = MakeResult(0x80040064);
constexpr HRESULT DV_E_LINDEX = MakeResult(0x80040068);
constexpr HRESULT DV_E_TYMED = MakeResult(0x80040069);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = MakeResult(0x80040003);

// A target device description; a FORMATETC that has one owns it
// (allocated with CoTaskMemAlloc).
struct DVTARGETDEVICE {
  uint32_t tdSize = 0;
};

struct FORMATETC {
  CLIPFORMAT cfFormat = 0;
  DVTARGETDEVICE* ptd = nullptr;
  uint32_t dwAspect = DVASPECT_CONTENT;
  int32_t lindex = -1;
  uint32_t tymed = TYMED_HGLOBAL;
};

struct STGMEDIUM {
  uint32_t tymed = TYMED_NULL;
  HGLOBAL hGlobal = nullptr;
  IUnknown* pUnkForRelease = nullptr;
};
// Frees the medium's block (or releases the object that owns it).
void ReleaseStgMedium(STGMEDIUM* medium);

inline constexpr IID IID_IDataObject{"IDataObject"};
inline constexpr IID IID_IEnumFORMATETC{"IEnumFORMATETC"};

class IEnumFORMATETC : public IUnknown {
 public:
  virtual HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumFORMATETC** copy) = 0;

 protected:
  ~IEnumFORMATETC() = default;
};

class IDataObject : public IUnknown {
 public:
  virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT QueryGetData(FORMATETC* format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;
  virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, int release) = 0;
  virtual HRESULT EnumFormatEtc(uint32_t direction, IEnumFORMATETC** formats) = 0;
  // Advise sinks and their enumerators are not part of this system.
  virtual HRESULT DAdvise(FORMATETC* format, uint32_t flags, void* sink, uint32_t* connection) = 0;
  virtual HRESULT DUnadvise(uint32_t connection) = 0;
  virtual HRESULT EnumDAdvise(void** advisers) = 0;

 protected:
  ~IDataObject() = default;
};

// A copy of the data object's block in `format` (TYMED_HGLOBAL), for the
// caller to free; null when it has none.
HGLOBAL GetGlobalData(IDataObject* data, CLIPFORMAT format);

// The program's clipboard: one data object at a time. Setting one also puts
// its file names (when it has any) on the text clipboard, one a line; when
// other text has replaced those names since, the object counts as gone.
HRESULT OleSetClipboard(IDataObject* data);
// S_OK with a reference for the caller; E_FAIL (and null) when empty.
HRESULT OleGetClipboard(IDataObject** data);
HRESULT OleIsCurrentClipboard(IDataObject* data);

}  // namespace qelo::shell
