#include "ct_shell_utils_lists.h"

#include <algorithm>
#include <cstring>

#include "ct_shell_intf.h"
#include "vcl/types.h"

namespace qelo::ct {

shell::LPCITEMIDLIST TCtIdListArray::Keep(shell::LPITEMIDLIST list) {
  last_.Reset(list);
  return last_.Get();
}

shell::LPCITEMIDLIST TCtIdListArray::Ancestor(int n) {
  if (!list_ || n < 0 || n > Count()) return Keep(nullptr);
  return Keep(shell::ILCloneFirstN(list_, Count() - n, ShellMalloc()));
}

shell::LPCITEMIDLIST TCtIdListArray::Item(int i) {
  if (!list_ || i < 0) return Keep(nullptr);
  if (Count() == 0) return Keep(i == 0 ? shell::ILClone(nullptr, ShellMalloc()) : nullptr);
  if (i >= Count()) return Keep(nullptr);
  shell::LPCITEMIDLIST item = list_;
  for (int k = 0; k < i; ++k) item = shell::ILNext(item);
  return Keep(shell::ILCloneFirst(item, ShellMalloc()));
}

TCtPidlList::~TCtPidlList() { Clear(); }

void TCtPidlList::SetCapacity(int capacity) {
  if (capacity >= Count()) entries_.reserve(static_cast<std::size_t>(capacity));
}

void TCtPidlList::CheckIndex(int i) const {
  if (i < 0 || i >= Count()) throw vcl::Exception("List index out of bounds (" + std::to_string(i) + ")");
}

shell::LPITEMIDLIST TCtPidlList::Pidls(int i) const {
  CheckIndex(i);
  return entries_[static_cast<std::size_t>(i)].list;
}

void* TCtPidlList::Objects(int i) const {
  CheckIndex(i);
  return entries_[static_cast<std::size_t>(i)].data;
}

int TCtPidlList::Add(shell::LPITEMIDLIST list) { return AddObject(list, nullptr); }

int TCtPidlList::AddObject(shell::LPITEMIDLIST list, void* data) {
  if (!sorted_) {
    entries_.push_back({list, data});
    return Count() - 1;
  }
  int index = 0;
  if (Find(list, &index)) {
    if (duplicates_ == vcl::dupIgnore) return index;
    if (duplicates_ == vcl::dupError) throw vcl::Exception("TCtPidlList: Duplicate PIDL");
  }
  entries_.insert(entries_.begin() + index, {list, data});
  return index;
}

void TCtPidlList::Delete(int i) {
  CheckIndex(i);
  if (malloc_) malloc_->Free(entries_[static_cast<std::size_t>(i)].list);
  entries_.erase(entries_.begin() + i);
}

void TCtPidlList::Clear() {
  while (!entries_.empty()) Delete(Count() - 1);
}

// A folder's order as a signed 16-bit code; without a folder the bytes over
// both full sizes, then the sizes.
int TCtPidlList::Compare(shell::LPCITEMIDLIST a, shell::LPCITEMIDLIST b) const {
  if (folder_) return shell::CompareResultOrder(folder_->CompareIDs(0, a, b));
  const std::size_t sa = shell::ILGetSize(a), sb = shell::ILGetSize(b);
  const auto* pa = reinterpret_cast<const unsigned char*>(a);
  const auto* pb = reinterpret_cast<const unsigned char*>(b);
  for (std::size_t i = 0; i < std::min(sa, sb); ++i)
    if (pa[i] != pb[i]) return pa[i] - pb[i];
  return static_cast<int>(sa) - static_cast<int>(sb);
}

bool TCtPidlList::Find(shell::LPCITEMIDLIST list, int* index) const {
  int low = 0, high = Count() - 1;
  bool found = false;
  while (low <= high) {
    const int middle = (low + high) / 2;
    const int order = Compare(entries_[static_cast<std::size_t>(middle)].list, list);
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (order == 0) {
        found = true;
        if (duplicates_ != vcl::dupAccept) low = middle;
      }
    }
  }
  *index = low;
  return found;
}

int TCtPidlList::IndexOf(shell::LPCITEMIDLIST list) const {
  if (sorted_) {
    int index = 0;
    return Find(list, &index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(entries_[static_cast<std::size_t>(i)].list, list) == 0) return i;
  return -1;
}

void TCtPidlList::Sort() {
  std::stable_sort(entries_.begin(), entries_.end(),
                   [this](const Entry& x, const Entry& y) { return Compare(x.list, y.list) < 0; });
}

void TCtPidlList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

shell::HRESULT CollectItems(shell::IEnumIDList& enumerator, std::vector<shell::IdListPtr>& items,
                            std::size_t growStep) {
  for (;;) {
    shell::LPITEMIDLIST raw = nullptr;
    shell::ULONG fetched = 0;
    const shell::HRESULT next = enumerator.Next(1, &raw, &fetched);
    shell::IdListPtr item(raw);
    if (next != shell::S_OK) return next;
    if (growStep && items.size() == items.capacity()) items.reserve(items.size() + growStep);
    items.push_back(std::move(item));
  }
}

}  // namespace qelo::ct
