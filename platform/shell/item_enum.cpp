#include <dirent.h>

#include <cstring>
#include <vector>

#include "shell/change_notify.h"
#include "shell/errors.h"
#include "folder.h"
#include "item_facts.h"
#include "shell/volumes.h"

namespace qelo::shell::detail {
namespace {

// Hands out first the fixed items (the desktop's special items, the
// volumes), then the entries of the folder's directory as it is read.
class ItemEnumerator final : public ComObject<IEnumIDList, IID_IEnumIDList> {
 public:
  // Takes over the open directory (null: none).
  ItemEnumerator(std::vector<IdListPtr> fixed, DIR* directory, DWORD flags)
      : fixed_(std::move(fixed)), flags_(flags), dir_(directory) {}
  ~ItemEnumerator() {
    if (dir_) closedir(dir_);
  }

  HRESULT Next(ULONG count, LPITEMIDLIST* items, ULONG* fetched) override {
    if (!items || (count > 1 && !fetched)) return E_INVALIDARG;
    ULONG got = 0;
    while (got < count) {
      LPITEMIDLIST item = NextItem();
      if (!item) break;
      items[got++] = item;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    for (ULONG i = 0; i < count; ++i) {
      IdListPtr skipped(NextItem());
      if (!skipped) return S_FALSE;
    }
    return S_OK;
  }
  HRESULT Reset() override {
    nextFixed_ = 0;
    if (dir_) rewinddir(dir_);
    return S_OK;
  }
  HRESULT Clone(IEnumIDList** copy) override {
    if (copy) *copy = nullptr;
    return E_NOTIMPL;
  }

 private:
  LPITEMIDLIST NextItem() {
    if (nextFixed_ < fixed_.size()) return ILClone(fixed_[nextFixed_++].Get());
    return NextEntry();
  }

  bool Wanted(const char* name, uint8_t entryFlags) const {
    if (name[0] == '.' && !(flags_ & SHCONTF_INCLUDEHIDDEN)) return false;
    bool folder = (entryFlags & kItemFolder) != 0;
    return folder ? (flags_ & SHCONTF_FOLDERS) != 0 : (flags_ & SHCONTF_NONFOLDERS) != 0;
  }

  LPITEMIDLIST NextEntry() {
    if (!dir_) return nullptr;
    while (dirent* entry = readdir(dir_)) {
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      std::optional<uint8_t> flags = EntryFlagsAt(dirfd(dir_), entry->d_name, entry->d_type);
      if (!flags || !Wanted(entry->d_name, *flags)) continue;  // gone since it was listed, or filtered
      if (LPITEMIDLIST item = MakeEntryItem(entry->d_name, *flags)) return item;
    }
    return nullptr;
  }

  std::vector<IdListPtr> fixed_;
  std::size_t nextFixed_ = 0;
  DWORD flags_;
  DIR* dir_ = nullptr;
};

std::vector<IdListPtr> DesktopItems() {
  std::vector<IdListPtr> items;
  items.emplace_back(MakeComputerItem());
  items.emplace_back(MakeHomeItem());
  return items;
}

std::vector<IdListPtr> VolumeItems() {
  std::vector<IdListPtr> items;
  for (const Volume& v : MountedVolumes())
    if (LPITEMIDLIST item = MakeVolumeItem(v.root)) items.emplace_back(item);
  return items;
}

}  // namespace

HRESULT CreateItemEnumerator(const Location& folder, DWORD flags, IEnumIDList** items) {
  if (!items) return E_INVALIDARG;
  *items = nullptr;
  std::vector<IdListPtr> fixed;
  bool folders = (flags & SHCONTF_FOLDERS) != 0;
  DIR* directory = nullptr;
  if (folder.kind == Location::kComputer) {
    if (folders) fixed = VolumeItems();
  } else if (folder.kind == Location::kDesktop) {
    if (folders) fixed = DesktopItems();
    if (folder.HasPath()) directory = opendir(folder.path.c_str());  // without it, the special items only
  } else if (!(directory = opendir(folder.path.c_str()))) {
    return HResultFromErrno(errno);
  }
  if (directory) NoteFolderListed(folder.path);
  *items = new ItemEnumerator(std::move(fixed), directory, flags);
  return S_OK;
}

}  // namespace qelo::shell::detail
