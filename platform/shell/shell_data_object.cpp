#include "shell/shell_data_object.h"

#include <cstring>

#include "shell/drop_blocks.h"
#include "shell/namespace.h"

namespace qelo::shell {
namespace {

CLIPFORMAT ShellIdListFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormat(CFSTR_SHELLIDLIST)); }
CLIPFORMAT PreferredEffectFormat() {
  return static_cast<CLIPFORMAT>(RegisterClipboardFormat(CFSTR_PREFERREDDROPEFFECT));
}

class FormatEnumerator final : public ComObject<IEnumFORMATETC, IID_IEnumFORMATETC> {
 public:
  FormatEnumerator(std::vector<CLIPFORMAT> formats, std::size_t at) : formats_(std::move(formats)), at_(at) {}
  HRESULT Next(ULONG count, FORMATETC* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG got = 0;
    for (; got < count && at_ < formats_.size(); ++got) {
      out[got] = FORMATETC();
      out[got].cfFormat = formats_[at_++];
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    if (formats_.size() - at_ < count) {
      at_ = formats_.size();
      return S_FALSE;
    }
    at_ += count;
    return S_OK;
  }
  HRESULT Reset() override {
    at_ = 0;
    return S_OK;
  }
  HRESULT Clone(IEnumFORMATETC** copy) override {
    if (!copy) return E_POINTER;
    *copy = new FormatEnumerator(formats_, at_);
    return S_OK;
  }

 private:
  ~FormatEnumerator() = default;
  std::vector<CLIPFORMAT> formats_;
  std::size_t at_;
};

// Holds one block per format it offers; hands out copies.
class ShellDataObject final : public ComObject<IDataObject, IID_IDataObject> {
 public:
  void Offer(CLIPFORMAT format, HGLOBAL block) {
    if (block) blocks_.push_back({format, block});
  }

  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_INVALIDARG;
    if (HRESULT hr = QueryGetData(format); FAILED(hr)) return hr;
    HGLOBAL copy = GlobalDuplicate(Find(format->cfFormat));
    if (!copy) return E_OUTOFMEMORY;
    *medium = STGMEDIUM{TYMED_HGLOBAL, copy, nullptr};
    return S_OK;
  }
  HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT QueryGetData(FORMATETC* format) override {
    if (!format) return E_INVALIDARG;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
    if (!Find(format->cfFormat)) return DV_E_FORMATETC;
    return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
  }
  HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT SetData(FORMATETC*, STGMEDIUM*, int) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(uint32_t direction, IEnumFORMATETC** formats) override {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<CLIPFORMAT> offered;
    for (const Entry& e : blocks_) offered.push_back(e.format);
    *formats = new FormatEnumerator(std::move(offered), 0);
    return S_OK;
  }
  HRESULT DAdvise(FORMATETC*, uint32_t, void*, uint32_t*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(uint32_t) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(void**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  struct Entry {
    CLIPFORMAT format;
    HGLOBAL block;
  };
  ~ShellDataObject() {
    for (const Entry& e : blocks_) GlobalFree(e.block);
  }
  HGLOBAL Find(CLIPFORMAT format) const {
    for (const Entry& e : blocks_)
      if (e.format == format) return e.block;
    return nullptr;
  }

  std::vector<Entry> blocks_;
};

HGLOBAL EffectBlock(uint32_t effect) {
  return GlobalAllocFilled(sizeof effect, [&](unsigned char* bytes) { std::memcpy(bytes, &effect, sizeof effect); });
}

}  // namespace

HRESULT CreateShellDataObject(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& items,
                              uint32_t preferredEffect, IDataObject** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  std::vector<std::string> paths;
  for (LPCITEMIDLIST item : items) {
    IdListPtr absolute(ILCombine(parent, item));
    std::string path = SHPathOfIdList(absolute.Get());
    if (!path.empty()) paths.push_back(path);
  }
  auto* data = new ShellDataObject;
  data->Offer(ShellIdListFormat(), BuildIdListArray(parent, items));
  if (!paths.empty()) data->Offer(CF_HDROP, BuildDropFiles(paths));
  if (preferredEffect) data->Offer(PreferredEffectFormat(), EffectBlock(preferredEffect));
  *object = data;
  return S_OK;
}

std::vector<std::string> DataObjectPaths(IDataObject* data) {
  std::vector<std::string> paths;
  if (HGLOBAL block = GetGlobalData(data, ShellIdListFormat())) {
    std::optional<IdListArray> array = ReadIdListArray(block);
    GlobalFree(block);
    if (array) {
      for (const IdListPtr& item : array->items) {
        IdListPtr absolute(ILCombine(array->parent.Get(), item.Get()));
        std::string path = SHPathOfIdList(absolute.Get());
        if (!path.empty()) paths.push_back(path);
      }
      if (!paths.empty()) return paths;
    }
  }
  if (HGLOBAL block = GetGlobalData(data, CF_HDROP)) {
    std::optional<std::vector<std::string>> names = ReadDropFiles(block);
    GlobalFree(block);
    if (names)
      for (std::string& name : *names)
        if (!name.empty() && name.front() == '/') paths.push_back(std::move(name));
  }
  return paths;
}

uint32_t PreferredDropEffect(IDataObject* data) {
  HGLOBAL block = GetGlobalData(data, PreferredEffectFormat());
  if (!block) return 0;
  uint32_t effect = 0;
  {
    GlobalLockScope lock(block);
    if (lock.size() >= sizeof effect) std::memcpy(&effect, lock.bytes(), sizeof effect);
  }
  GlobalFree(block);
  return effect;
}

bool OffersItems(IDataObject* data) {
  if (!data) return false;
  for (CLIPFORMAT format : {ShellIdListFormat(), CF_HDROP}) {
    FORMATETC wanted;
    wanted.cfFormat = format;
    if (data->QueryGetData(&wanted) == S_OK) return true;
  }
  return false;
}

}  // namespace qelo::shell
