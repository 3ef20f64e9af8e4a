// The OLE objects the shell tree and list hand out for drag and drop,
// written by hand: the list of offered formats and its enumerator, the data
// object of a tree node and of a list selection, the drop source both use,
// the drop targets that pass every call on to their control, and the
// helpers that make the two item blocks, find a folder's drop target and
// work out what a dragged set of items allows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/drag_drop.h"
#include "shell/drop_blocks.h"
#include "shell/ole_data.h"
#include "shell/shell_folder.h"
#include "vcl/classes.h"
#include "vcl/graphics/graphics.h"

namespace qelo::ct {

using shell::DWORD;
using shell::FORMATETC;
using shell::HGLOBAL;
using shell::HRESULT;
using shell::IDataObject;
using shell::LPCITEMIDLIST;
using shell::STGMEDIUM;

// ---- blocks -------------------------------------------------------------------

// The "Shell IDList Array" of a parent's absolute list and its children's
// relative lists (a null parent is the empty list).
HRESULT MakeShellIdListArray(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& relatives, HGLOBAL* block);
// The file-drop list: each name as bytes with a zero, then a zero. The
// block is as large as the names need, however long they are.
HRESULT MakeHDrop(const std::vector<std::string>& names, HGLOBAL* block);
// A copy of the block; null when it cannot be made.
HGLOBAL DuplicateGlobal(HGLOBAL block);

// ---- formats ------------------------------------------------------------------

// Owned format records with the fixed fields {format, no target device,
// content, lindex -1, global memory}.
class TCtFormatEtcList : public vcl::TObject {
 public:
  ~TCtFormatEtcList() override { Clear(); }
  void Add(const std::vector<shell::CLIPFORMAT>& formats);
  int Count() const { return static_cast<int>(items_.size()); }
  const FORMATETC& Items(int i) const { return items_.at(static_cast<std::size_t>(i)); }
  // Frees every record with the target device it owns.
  void Clear();
  // S_OK, DV_E_TYMED (the format in other media only) or DV_E_FORMATETC.
  HRESULT QueryGetData(const FORMATETC& format) const;

 private:
  std::vector<FORMATETC> items_;
};

// An enumerator of a format list. It holds a reference to the object that
// owns the list, so the list lives as long as any enumerator of it.
class TCtFormatEtcList_IEnumFormatEtc final
    : public shell::ComObject<shell::IEnumFORMATETC, shell::IID_IEnumFORMATETC> {
 public:
  TCtFormatEtcList_IEnumFormatEtc(const TCtFormatEtcList* list, shell::IUnknown* listOwner, std::size_t position);

  HRESULT Next(shell::ULONG count, FORMATETC* formats, shell::ULONG* fetched) override;
  HRESULT Skip(shell::ULONG count) override;
  HRESULT Reset() override;
  HRESULT Clone(shell::IEnumFORMATETC** copy) override;

 private:
  ~TCtFormatEtcList_IEnumFormatEtc() = default;
  const TCtFormatEtcList* list_;
  shell::ComPtr<shell::IUnknown> owner_;
  std::size_t position_;
};

// ---- data objects -------------------------------------------------------------

// What a tree node's and a list selection's data objects share: the two
// blocks (each offered only when it could be made), the format list, and
// the IDataObject answers.
class TCtShellDataObject : public shell::ComObject<IDataObject, shell::IID_IDataObject> {
 public:
  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT QueryGetData(FORMATETC* format) override;
  HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, int release) override;
  HRESULT EnumFormatEtc(uint32_t direction, shell::IEnumFORMATETC** formats) override;
  HRESULT DAdvise(FORMATETC* format, uint32_t flags, void* sink, uint32_t* connection) override;
  HRESULT DUnadvise(uint32_t connection) override;
  HRESULT EnumDAdvise(void** advisers) override;

 protected:
  // `folder` names the items (for parsing); `parent` is its absolute list.
  TCtShellDataObject(shell::IShellFolder* folder, LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& items);
  virtual ~TCtShellDataObject();

 private:
  HGLOBAL idListArray_ = nullptr;
  HGLOBAL hDrop_ = nullptr;
  TCtFormatEtcList formats_;
};

// A tree node's: the parent node's absolute list and the node's relative
// list, and the node's name for parsing in the parent's folder.
class TDataObject_shtv final : public TCtShellDataObject {
 public:
  static shell::ComPtr<IDataObject> Create(shell::IShellFolder* parentFolder, LPCITEMIDLIST parentList,
                                           LPCITEMIDLIST nodeRelative);

 private:
  using TCtShellDataObject::TCtShellDataObject;
};

// A list selection's: the list's folder and the selected items in
// selection order.
class TDataObject_shlv final : public TCtShellDataObject {
 public:
  static shell::ComPtr<IDataObject> Create(shell::IShellFolder* folder, LPCITEMIDLIST folderList,
                                           const std::vector<LPCITEMIDLIST>& selected);

 private:
  using TCtShellDataObject::TCtShellDataObject;
};

// ---- drop source and targets ------------------------------------------------

// The button a drag runs with: 0 left, 1 right, 2 middle.
class TDropSource_shlvtv final : public shell::ComObject<shell::IDropSource, shell::IID_IDropSource> {
 public:
  explicit TDropSource_shlvtv(int buttonKind);
  HRESULT QueryContinueDrag(win::BOOL escapePressed, uint32_t keyState) override;
  HRESULT GiveFeedback(uint32_t effect) override;

 private:
  ~TDropSource_shlvtv() = default;
  uint32_t button_;
};
// A new drop source queried for IDropSource (one reference).
shell::ComPtr<shell::IDropSource> CreateDropSource(int buttonKind);

// What a shell control does with a drop; its drop target passes each call
// on unchanged and returns the control's answer.
class TCtShellDropSite {
 public:
  virtual HRESULT DragEnter(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) = 0;
  virtual HRESULT DragOver(uint32_t keys, win::POINT point, uint32_t* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) = 0;

 protected:
  ~TCtShellDropSite() = default;
};

class TCtDropTargetForwarder : public shell::ComObject<shell::IDropTarget, shell::IID_IDropTarget> {
 public:
  // The control is not counted.
  explicit TCtDropTargetForwarder(TCtShellDropSite* control) : control_(control) {}
  HRESULT DragEnter(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) override;
  HRESULT DragOver(uint32_t keys, win::POINT point, uint32_t* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) override;

 protected:
  virtual ~TCtDropTargetForwarder() = default;

 private:
  TCtShellDropSite* control_;
};
class TDropTarget_shtv final : public TCtDropTargetForwarder {
  using TCtDropTargetForwarder::TCtDropTargetForwarder;
};
class TDropTarget_shlv final : public TCtDropTargetForwarder {
  using TCtDropTargetForwarder::TCtDropTargetForwarder;
};

// Scrolling while something is dragged over a shell control: every 100 ms
// at most, one line toward the edge the pointer is near (26 pixels from
// the left or right, 20 from the top or bottom; sideways only, when not
// `vertical`).
class TCtDragAutoScroll {
 public:
  void Restart() { lastCheck_ = win::GetTickCount(); }
  // True when the view moved.
  bool Step(win::HWND window, const vcl::TRect& client, vcl::TPoint p, bool vertical);

 private:
  win::DWORD lastCheck_ = 0;
};

// What a shell control keeps while something is dragged over it: the data,
// the mouse buttons held when it entered, and the auto-scroll's timing.
class TCtShellDragOver {
 public:
  // A drag comes in: the data is held and the auto-scroll starts anew.
  void Enter(IDataObject* data, uint32_t keys);
  void Leave() { data_.Reset(); }
  TCtDragAutoScroll& AutoScroll() { return autoScroll_; }
  // What `target` would do with the held data here, without dropping.
  void Ask(shell::IDropTarget& target, uint32_t keys, win::POINT point, uint32_t* effect) const;
  // Drops `data` on `target` with the buttons held when the drag came in.
  HRESULT DropOn(shell::IDropTarget& target, IDataObject* data, uint32_t keys, win::POINT point,
                 uint32_t* effect) const;

 private:
  shell::ComPtr<IDataObject> data_;
  uint32_t keysAtEnter_ = 0;
  TCtDragAutoScroll autoScroll_;
};

// Runs `end` when the scope is left, however it is left: a drop clears its
// highlight and lets the data go even when the target throws.
template <class End>
class TCtDropEnd {
 public:
  explicit TCtDropEnd(End end) : end_(std::move(end)) {}
  ~TCtDropEnd() { end_(); }
  TCtDropEnd(const TCtDropEnd&) = delete;
  TCtDropEnd& operator=(const TCtDropEnd&) = delete;

 private:
  End end_;
};

// ---- helpers ------------------------------------------------------------------

// The drop effects a dragged set allows: 7 (copy, move, link) reduced by
// the attributes its "Shell IDList Array" items have in their folder. A
// block whose counts or offsets do not fit it is not read (7 stays). A
// failing bind or attribute call raises vcl::Exception.
int AllowedDropEffects(IDataObject* data);
// Hands a drop to the shell's drop target of the item under the mouse, as
// a drag entering and moving over it would, its effects held to what the
// dragged set allows; the hourglass shows while the target works.
HRESULT DeliverDrop(shell::IDropTarget& target, IDataObject* data, uint32_t keys, win::POINT point,
                    uint32_t* effect);
// The UI object `iid` of the item an absolute list names (the desktop's
// empty list stands for the desktop directory).
HRESULT GetItemDropTarget(LPCITEMIDLIST absolute, shell::REFIID iid, void** object);
HRESULT GetDesktopDropTarget(shell::IDropTarget** target);

}  // namespace qelo::ct
