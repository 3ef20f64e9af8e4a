#include "ct_shell_ctrls_dragdrop.h"

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_utils.h"
#include "ct_shell_utils_lists.h"
#include "shell/errors.h"
#include "shell/special_folders.h"
#include "vcl/controls/forms.h"
#include "vcl/types.h"
#include "win/window/scrollbars.h"

namespace qelo::ct {
namespace {

constexpr uint32_t kAllEffects = shell::DROPEFFECT_COPY | shell::DROPEFFECT_MOVE | shell::DROPEFFECT_LINK;

// Frees a medium when it leaves scope.
struct MediumScope {
  STGMEDIUM medium;
  ~MediumScope() { shell::ReleaseStgMedium(&medium); }
};

}  // namespace

// ---- blocks -------------------------------------------------------------------

HRESULT MakeShellIdListArray(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& relatives, HGLOBAL* block) {
  *block = shell::BuildIdListArray(parent, relatives);
  return *block ? shell::S_OK : shell::E_OUTOFMEMORY;
}

HRESULT MakeHDrop(const std::vector<std::string>& names, HGLOBAL* block) {
  *block = shell::BuildDropFiles(names);
  return *block ? shell::S_OK : shell::E_OUTOFMEMORY;
}

HGLOBAL DuplicateGlobal(HGLOBAL block) { return shell::GlobalDuplicate(block); }

// ---- formats ------------------------------------------------------------------

void TCtFormatEtcList::Add(const std::vector<shell::CLIPFORMAT>& formats) {
  for (shell::CLIPFORMAT format : formats) {
    FORMATETC record;
    record.cfFormat = format;
    items_.push_back(record);
  }
}

void TCtFormatEtcList::Clear() {
  for (FORMATETC& record : items_) shell::CoTaskMemFree(record.ptd);
  items_.clear();
}

HRESULT TCtFormatEtcList::QueryGetData(const FORMATETC& format) const {
  if (format.dwAspect != shell::DVASPECT_CONTENT) return shell::DV_E_FORMATETC;
  bool sameFormat = false;
  for (const FORMATETC& record : items_) {
    if (record.cfFormat != format.cfFormat) continue;
    if (record.tymed & format.tymed) return shell::S_OK;
    sameFormat = true;
  }
  return sameFormat ? shell::DV_E_TYMED : shell::DV_E_FORMATETC;
}

TCtFormatEtcList_IEnumFormatEtc::TCtFormatEtcList_IEnumFormatEtc(const TCtFormatEtcList* list,
                                                                 shell::IUnknown* listOwner, std::size_t position)
    : list_(list), owner_(shell::ComPtr<shell::IUnknown>::Share(listOwner)), position_(position) {}

HRESULT TCtFormatEtcList_IEnumFormatEtc::Next(shell::ULONG count, FORMATETC* formats, shell::ULONG* fetched) {
  if (!formats) return shell::E_POINTER;
  shell::ULONG got = 0;
  while (got < count && position_ < static_cast<std::size_t>(list_->Count())) {
    formats[got] = list_->Items(static_cast<int>(position_++));
    formats[got].ptd = nullptr;  // the list keeps what it owns
    ++got;
  }
  if (fetched) *fetched = got;
  return got == count ? shell::S_OK : shell::S_FALSE;
}

HRESULT TCtFormatEtcList_IEnumFormatEtc::Skip(shell::ULONG count) {
  const std::size_t left = static_cast<std::size_t>(list_->Count()) - position_;
  if (left < count) {
    position_ = static_cast<std::size_t>(list_->Count());
    return shell::S_FALSE;
  }
  position_ += count;
  return shell::S_OK;
}

HRESULT TCtFormatEtcList_IEnumFormatEtc::Reset() {
  position_ = 0;
  return shell::S_OK;
}

HRESULT TCtFormatEtcList_IEnumFormatEtc::Clone(shell::IEnumFORMATETC** copy) {
  if (!copy) return shell::E_POINTER;
  *copy = new TCtFormatEtcList_IEnumFormatEtc(list_, owner_.Get(), position_);
  return shell::S_OK;
}

// ---- data objects -------------------------------------------------------------

TCtShellDataObject::TCtShellDataObject(shell::IShellFolder* folder, LPCITEMIDLIST parent,
                                       const std::vector<LPCITEMIDLIST>& items) {
  std::vector<shell::CLIPFORMAT> offered;
  if (SUCCEEDED(MakeShellIdListArray(parent, items, &idListArray_))) offered.push_back(ShellIdListFormat());
  std::vector<std::string> names;
  for (LPCITEMIDLIST item : items) names.push_back(GetDisplayNameOf(folder, item, TCtNameKind::nkForParsing));
  if (SUCCEEDED(MakeHDrop(names, &hDrop_))) offered.push_back(shell::CF_HDROP);
  formats_.Add(offered);
}

TCtShellDataObject::~TCtShellDataObject() {
  shell::GlobalFree(idListArray_);
  shell::GlobalFree(hDrop_);
}

HRESULT TCtShellDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return shell::E_INVALIDARG;
  if (HRESULT hr = QueryGetData(format); FAILED(hr)) return hr;
  HGLOBAL stored = format->cfFormat == shell::CF_HDROP ? hDrop_
                   : format->cfFormat == ShellIdListFormat() ? idListArray_
                                                             : nullptr;
  if (!stored) return shell::DV_E_FORMATETC;
  HGLOBAL copy = DuplicateGlobal(stored);
  if (!copy) return shell::E_OUTOFMEMORY;
  *medium = STGMEDIUM{shell::TYMED_HGLOBAL, copy, nullptr};
  return shell::S_OK;
}

HRESULT TCtShellDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return shell::E_NOTIMPL; }

HRESULT TCtShellDataObject::QueryGetData(FORMATETC* format) {
  return format ? formats_.QueryGetData(*format) : shell::E_INVALIDARG;
}

HRESULT TCtShellDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return shell::E_NOTIMPL;
}

HRESULT TCtShellDataObject::SetData(FORMATETC*, STGMEDIUM*, int) { return shell::E_NOTIMPL; }

HRESULT TCtShellDataObject::EnumFormatEtc(uint32_t direction, shell::IEnumFORMATETC** formats) {
  if (!formats) return shell::E_POINTER;
  *formats = nullptr;
  if (direction != shell::DATADIR_GET) return shell::E_NOTIMPL;
  *formats = new TCtFormatEtcList_IEnumFormatEtc(&formats_, this, 0);
  return shell::S_OK;
}

HRESULT TCtShellDataObject::DAdvise(FORMATETC*, uint32_t, void*, uint32_t*) { return shell::OLE_E_ADVISENOTSUPPORTED; }
HRESULT TCtShellDataObject::DUnadvise(uint32_t) { return shell::OLE_E_ADVISENOTSUPPORTED; }
HRESULT TCtShellDataObject::EnumDAdvise(void**) { return shell::OLE_E_ADVISENOTSUPPORTED; }

shell::ComPtr<IDataObject> TDataObject_shtv::Create(shell::IShellFolder* parentFolder, LPCITEMIDLIST parentList,
                                                    LPCITEMIDLIST nodeRelative) {
  return shell::ComPtr<IDataObject>::Adopt(new TDataObject_shtv(parentFolder, parentList, {nodeRelative}));
}

shell::ComPtr<IDataObject> TDataObject_shlv::Create(shell::IShellFolder* folder, LPCITEMIDLIST folderList,
                                                    const std::vector<LPCITEMIDLIST>& selected) {
  return shell::ComPtr<IDataObject>::Adopt(new TDataObject_shlv(folder, folderList, selected));
}

// ---- drop source and targets ------------------------------------------------

TDropSource_shlvtv::TDropSource_shlvtv(int buttonKind)
    : button_(buttonKind == 1 ? win::MK_RBUTTON : buttonKind == 2 ? win::MK_MBUTTON : win::MK_LBUTTON) {}

HRESULT TDropSource_shlvtv::QueryContinueDrag(win::BOOL escapePressed, uint32_t keyState) {
  constexpr uint32_t kButtons = win::MK_LBUTTON | win::MK_RBUTTON | win::MK_MBUTTON;  // 0x13
  if (escapePressed || (keyState & (button_ ^ kButtons))) return shell::DRAGDROP_S_CANCEL;
  return (keyState & button_) ? shell::S_OK : shell::DRAGDROP_S_DROP;
}

HRESULT TDropSource_shlvtv::GiveFeedback(uint32_t) { return shell::DRAGDROP_S_USEDEFAULTCURSORS; }

shell::ComPtr<shell::IDropSource> CreateDropSource(int buttonKind) {
  shell::ComPtr<shell::IDropSource> source;
  auto* made = new TDropSource_shlvtv(buttonKind);
  made->QueryInterface(shell::IID_IDropSource, source.PutVoid());
  made->Release();
  return source;
}

HRESULT TCtDropTargetForwarder::DragEnter(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) {
  return control_->DragEnter(data, keys, point, effect);
}
HRESULT TCtDropTargetForwarder::DragOver(uint32_t keys, win::POINT point, uint32_t* effect) {
  return control_->DragOver(keys, point, effect);
}
HRESULT TCtDropTargetForwarder::DragLeave() { return control_->DragLeave(); }
HRESULT TCtDropTargetForwarder::Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) {
  return control_->Drop(data, keys, point, effect);
}

void TCtShellDragOver::Enter(IDataObject* data, uint32_t keys) {
  autoScroll_.Restart();
  data_ = shell::ComPtr<IDataObject>::Share(data);
  keysAtEnter_ = keys;
}

void TCtShellDragOver::Ask(shell::IDropTarget& target, uint32_t keys, win::POINT point, uint32_t* effect) const {
  uint32_t entered = *effect;
  target.DragEnter(data_.Get(), keys, point, &entered);
  target.DragOver(keys, point, effect);
  target.DragLeave();
}

HRESULT TCtShellDragOver::DropOn(shell::IDropTarget& target, IDataObject* data, uint32_t keys, win::POINT point,
                                 uint32_t* effect) const {
  keys |= keysAtEnter_ & (win::MK_LBUTTON | win::MK_RBUTTON);
  return DeliverDrop(target, data, keys, point, effect);
}

// ---- helpers ------------------------------------------------------------------

HRESULT DeliverDrop(shell::IDropTarget& target, IDataObject* data, uint32_t keys, win::POINT point,
                    uint32_t* effect) {
  uint32_t scratch = *effect;
  target.DragEnter(data, keys, point, &scratch);
  scratch = *effect;
  target.DragOver(keys, point, &scratch);
  *effect &= static_cast<uint32_t>(AllowedDropEffects(data));
  vcl::TScreenCursorScope hourglass;
  return target.Drop(data, keys, point, effect);
}

int AllowedDropEffects(IDataObject* data) {
  int effects = static_cast<int>(kAllEffects);
  if (!data) return effects;
  FORMATETC wanted;
  wanted.cfFormat = ShellIdListFormat();
  MediumScope scope;
  if (data->QueryGetData(&wanted) != shell::S_OK || FAILED(data->GetData(&wanted, &scope.medium))) return effects;
  std::optional<shell::IdListArray> array = shell::ReadIdListArray(scope.medium.hGlobal);
  if (!array) return effects;  // a block that does not hold what its counts claim is not read
  shell::ComPtr<shell::IShellFolder> folder;
  if (HRESULT hr = BindToShellFolder(array->parent.Get(), &folder); FAILED(hr))
    throw vcl::Exception(shell::SystemErrorText(hr));
  std::vector<LPCITEMIDLIST> items;
  for (const shell::IdListPtr& item : array->items) items.push_back(item.Get());
  shell::ULONG attributes = kAllEffects;
  if (!items.empty()) {
    HRESULT hr = folder->GetAttributesOf(static_cast<shell::UINT>(items.size()), items.data(), &attributes);
    if (FAILED(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
  }
  return effects & static_cast<int>(attributes);
}

HRESULT GetItemDropTarget(LPCITEMIDLIST absolute, shell::REFIID iid, void** object) {
  *object = nullptr;
  shell::IdListPtr desktopDirectory;
  if (shell::ILIsEmpty(absolute)) {
    HRESULT hr = PathToIdList(SpecialFolderPath(nullptr, shell::CSIDL_DESKTOP), desktopDirectory.Put());
    if (FAILED(hr)) return hr;
    absolute = desktopDirectory.Get();
  }
  TCtIdListArray view(absolute);
  shell::ComPtr<shell::IShellFolder> folder;
  LPCITEMIDLIST item = absolute;
  if (view.Count() > 1) {
    if (HRESULT hr = BindToShellFolder(view.Ancestor(1), &folder); FAILED(hr)) return hr;
    item = shell::ILFindLastID(absolute);
  } else if (HRESULT hr = DesktopFolder(&folder); FAILED(hr)) {
    return hr;
  }
  return folder->GetUIObjectOf(nullptr, 1, &item, iid, nullptr, object);
}

HRESULT GetDesktopDropTarget(shell::IDropTarget** target) {
  shell::IdListPtr list;
  HRESULT hr = PathToIdList(SpecialFolderPath(nullptr, shell::CSIDL_DESKTOP), list.Put());
  if (FAILED(hr)) return hr;
  return GetItemDropTarget(list.Get(), shell::IID_IDropTarget, reinterpret_cast<void**>(target));
}

// ---- scrolling while dragging ------------------------------------------------

namespace {

constexpr win::DWORD kScrollCheckMs = 100;
constexpr int kScrollZoneX = 26;
constexpr int kScrollZoneY = 20;

}  // namespace

bool TCtDragAutoScroll::Step(win::HWND window, const vcl::TRect& client, vcl::TPoint p, bool vertical) {
  const win::DWORD now = win::GetTickCount();
  if (now - lastCheck_ <= kScrollCheckMs) return false;
  lastCheck_ = now;
  bool moved = false;
  auto scroll = [&](win::UINT message, int bar, win::WPARAM code) {
    const int before = win::GetScrollPos(window, bar);
    win::SendMessage(window, message, code, 0);
    moved = moved || win::GetScrollPos(window, bar) != before;
  };
  if (p.x < client.left + kScrollZoneX) scroll(win::WM_HSCROLL, win::SB_HORZ, win::SB_LINELEFT);
  else if (p.x > client.right - kScrollZoneX) scroll(win::WM_HSCROLL, win::SB_HORZ, win::SB_LINERIGHT);
  if (!vertical) return moved;
  if (p.y < client.top + kScrollZoneY) scroll(win::WM_VSCROLL, win::SB_VERT, win::SB_LINEUP);
  else if (p.y > client.bottom - kScrollZoneY) scroll(win::WM_VSCROLL, win::SB_VERT, win::SB_LINEDOWN);
  return moved;
}

}  // namespace qelo::ct
