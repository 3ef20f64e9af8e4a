#include <sys/stat.h>

#include <string>
#include <vector>

#include "shell/drag_drop.h"
#include "shell/errors.h"
#include "shell/file_operations.h"
#include "shell/menu_handles.h"
#include "owner_messages.h"
#include "shell/shell_data_object.h"
#include "ui_objects.h"

namespace qelo::shell::detail {
namespace {

bool SameDevice(const std::vector<std::string>& sources, const std::string& folder) {
  struct stat target;
  if (stat(folder.c_str(), &target) != 0) return false;
  for (const std::string& source : sources) {
    struct stat st;
    if (lstat(source.c_str(), &st) != 0 || st.st_dev != target.st_dev) return false;
  }
  return true;
}

bool HoldsAny(const std::vector<std::string>& sources, const std::string& folder) {
  for (const std::string& s : sources)
    if (folder == s || (folder.size() > s.size() && folder.compare(0, s.size(), s) == 0 && folder[s.size()] == '/'))
      return true;
  return false;
}

// What a right-button drop offers, by menu id: the effect each stands for.
constexpr UINT kCopyHere = 1, kMoveHere = 2, kLinkHere = 3;

// Drops on a folder: Ctrl copies, Shift moves, both link; without keys the
// items move within one volume and are copied across volumes. What the
// source does not allow falls back to the first effect it does allow. A
// drop with the right button asks what to do, that effect the default.
class FolderDropTarget final : public ComObject<IDropTarget, IID_IDropTarget> {
 public:
  FolderDropTarget(std::string folder, HWND owner) : folder_(std::move(folder)), owner_(owner) {}

  HRESULT DragEnter(IDataObject* data, uint32_t keys, win::POINT, uint32_t* effect) override {
    if (!effect) return E_INVALIDARG;
    sources_ = data ? DataObjectPaths(data) : std::vector<std::string>();
    sameDevice_ = SameDevice(sources_, folder_);
    *effect = Choose(keys, *effect);
    return S_OK;
  }
  HRESULT DragOver(uint32_t keys, win::POINT, uint32_t* effect) override {
    if (!effect) return E_INVALIDARG;
    *effect = Choose(keys, *effect);
    return S_OK;
  }
  HRESULT DragLeave() override {
    sources_.clear();
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) override {
    if (!effect) return E_INVALIDARG;
    const uint32_t allowed = *effect;
    DragEnter(data, keys, point, effect);
    uint32_t chosen = *effect;
    *effect = DROPEFFECT_NONE;
    if (chosen != DROPEFFECT_NONE && (keys & win::MK_RBUTTON)) chosen = AskWhatToDo(allowed, chosen, point);
    if (chosen == DROPEFFECT_NONE) {
      sources_.clear();
      return S_OK;
    }
    Transfer kind = chosen == DROPEFFECT_MOVE ? Transfer::kMove : chosen == DROPEFFECT_LINK ? Transfer::kLink
                                                                                          : Transfer::kCopy;
    HRESULT hr = TransferItems(sources_, folder_, kind, nullptr);
    sources_.clear();
    if (FAILED(hr)) {
      ShowShellError(owner_, "Cannot place the items in \"" + folder_ + "\".\n\n" + SystemErrorText(hr));
      return S_OK;  // the drop was taken; nothing happened
    }
    *effect = chosen;
    return S_OK;
  }

 private:
  ~FolderDropTarget() = default;

  // The effects the source allows, each a command; Cancel (or dismissing
  // the menu) drops nothing.
  uint32_t AskWhatToDo(uint32_t allowed, uint32_t proposed, win::POINT point) {
    struct Offer {
      UINT id;
      uint32_t effect;
      const char* text;
    };
    static constexpr Offer kOffers[] = {{kCopyHere, DROPEFFECT_COPY, "&Copy Here"},
                                        {kMoveHere, DROPEFFECT_MOVE, "&Move Here"},
                                        {kLinkHere, DROPEFFECT_LINK, "Create &Link Here"}};
    HMENU menu = CreatePopupMenu();
    for (const Offer& offer : kOffers)
      if (allowed & offer.effect) AppendMenu(menu, MF_STRING, offer.id, offer.text);
    AppendMenu(menu, MF_SEPARATOR, 0, "");
    AppendMenu(menu, MF_STRING, 0xFFFF, "Cancel");
    for (const Offer& offer : kOffers)
      if (offer.effect == proposed) SetMenuDefaultItem(menu, offer.id, 0);
    const UINT id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, owner_, nullptr);
    DestroyMenu(menu);
    for (const Offer& offer : kOffers)
      if (offer.id == id) return offer.effect;
    return DROPEFFECT_NONE;
  }

  uint32_t Choose(uint32_t keys, uint32_t allowed) const {
    if (sources_.empty() || HoldsAny(sources_, folder_)) return DROPEFFECT_NONE;  // never into itself
    const bool ctrl = (keys & win::MK_CONTROL) != 0, shift = (keys & win::MK_SHIFT) != 0;
    uint32_t wanted = ctrl && shift ? DROPEFFECT_LINK
                      : ctrl        ? DROPEFFECT_COPY
                      : shift       ? DROPEFFECT_MOVE
                      : sameDevice_ ? DROPEFFECT_MOVE
                                    : DROPEFFECT_COPY;
    if (allowed & wanted) return wanted;
    for (uint32_t e : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
      if (allowed & e) return e;
    return DROPEFFECT_NONE;
  }

  std::string folder_;
  HWND owner_;
  std::vector<std::string> sources_;
  bool sameDevice_ = false;
};

}  // namespace

HRESULT CreateFolderDropTarget(const std::string& path, HWND owner, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsDirectoryPath(path)) return E_INVALIDARG;
  auto* target = new FolderDropTarget(path, owner);
  HRESULT hr = target->QueryInterface(iid, object);
  target->Release();
  return hr;
}

}  // namespace qelo::shell::detail
