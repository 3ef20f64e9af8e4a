#include "shell/ole_data.h"

#include <strings.h>

#include <cstring>

#include <mutex>
#include <vector>

#include "shell/drop_blocks.h"
#include "win/window/window.h"

namespace qelo::shell {
namespace {

constexpr uint32_t kFirstRegisteredFormat = 0xC000;

std::mutex formatsLock;
std::vector<std::string>& RegisteredFormats() {
  static auto* names = new std::vector<std::string>;  // formats stay registered to the end
  return *names;
}

// The clipboard's object and the text that stood for it when it was set.
struct ClipboardHolder {
  std::mutex lock;
  ComPtr<IDataObject> data;
  std::string text;
};

ClipboardHolder& Holder() {
  static ClipboardHolder holder;
  return holder;
}

std::string NamesAsText(IDataObject* data) {
  HGLOBAL block = GetGlobalData(data, CF_HDROP);
  if (!block) return {};
  std::optional<std::vector<std::string>> names = ReadDropFiles(block);
  GlobalFree(block);
  std::string text;
  if (names)
    for (const std::string& name : *names) text += (text.empty() ? "" : "\n") + name;
  return text;
}

}  // namespace

uint32_t RegisterClipboardFormat(const std::string& name) {
  if (name.empty()) return 0;
  std::lock_guard<std::mutex> hold(formatsLock);
  std::vector<std::string>& names = RegisteredFormats();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (strcasecmp(names[i].c_str(), name.c_str()) == 0) return kFirstRegisteredFormat + static_cast<uint32_t>(i);
  names.push_back(name);
  return kFirstRegisteredFormat + static_cast<uint32_t>(names.size() - 1);
}

std::string GetClipboardFormatName(uint32_t format) {
  std::lock_guard<std::mutex> hold(formatsLock);
  const std::vector<std::string>& names = RegisteredFormats();
  if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= names.size()) return {};
  return names[format - kFirstRegisteredFormat];
}

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (!medium) return;
  if (medium->pUnkForRelease) medium->pUnkForRelease->Release();
  else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal) GlobalFree(medium->hGlobal);
  *medium = STGMEDIUM();
}

HGLOBAL GetGlobalData(IDataObject* data, CLIPFORMAT format) {
  if (!data) return nullptr;
  FORMATETC wanted;
  wanted.cfFormat = format;
  STGMEDIUM medium;
  if (FAILED(data->GetData(&wanted, &medium))) return nullptr;
  if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) {
    ReleaseStgMedium(&medium);
    return nullptr;
  }
  if (!medium.pUnkForRelease) return medium.hGlobal;
  // The block belongs to another object: copy it for the caller.
  HGLOBAL copy = GlobalDuplicate(medium.hGlobal);
  ReleaseStgMedium(&medium);
  return copy;
}

HRESULT OleSetClipboard(IDataObject* data) {
  std::string text = data ? NamesAsText(data) : std::string();
  ClipboardHolder& h = Holder();
  std::lock_guard<std::mutex> hold(h.lock);
  h.data = ComPtr<IDataObject>::Share(data);
  h.text = text;
  if (!text.empty()) win::SetClipboardText(text);
  return S_OK;
}

HRESULT OleGetClipboard(IDataObject** data) {
  if (!data) return E_POINTER;
  *data = nullptr;
  ClipboardHolder& h = Holder();
  std::lock_guard<std::mutex> hold(h.lock);
  if (h.data && !h.text.empty() && win::GetClipboardText() != h.text) h.data.Reset();  // replaced by other text
  if (!h.data) return E_FAIL;
  *data = ComPtr<IDataObject>(h.data).Detach();
  return S_OK;
}

HRESULT OleIsCurrentClipboard(IDataObject* data) {
  ClipboardHolder& h = Holder();
  std::lock_guard<std::mutex> hold(h.lock);
  return data && h.data.Get() == data ? S_OK : S_FALSE;
}

}  // namespace qelo::shell
